#include "platform/BackgroundThread.h"

namespace zepa {

// The browser build starts no threads of its own.
void LowerThisThreadsPriority() {}

}  // namespace zepa
