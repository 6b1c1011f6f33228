#include "platform/ResidentMemory.h"

namespace zepa {

// The browser build starts no threads of its own, and the page's memory is the browser's.
struct CResidentMemoryKeeper::Worker {};

CResidentMemoryKeeper::CResidentMemoryKeeper() = default;
CResidentMemoryKeeper::~CResidentMemoryKeeper() = default;

void CResidentMemoryKeeper::KeepData(const std::vector<MemoryRange>&) {}

size_t ReadLoadedCodePages() {
    return 0;
}

size_t ReadDataPages(const std::vector<MemoryRange>&) {
    return 0;
}

}  // namespace zepa
