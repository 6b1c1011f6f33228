#include "platform/BackgroundThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zepa {

// On Linux a nice value given to a thread id applies to that thread alone.
void LowerThisThreadsPriority() {
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, 19);
}

}  // namespace zepa
