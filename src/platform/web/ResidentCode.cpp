#include "platform/ResidentCode.h"

namespace zepa {

// The browser build starts no threads of its own, and the page's memory is the browser's.
struct CResidentCodeKeeper::Worker {};

CResidentCodeKeeper::CResidentCodeKeeper() = default;
CResidentCodeKeeper::~CResidentCodeKeeper() = default;

size_t ReadLoadedCodePages() {
    return 0;
}

}  // namespace zepa
