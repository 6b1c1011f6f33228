#include "platform/BackgroundThread.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zepa {

// The idle class is the one that never preempts a normal thread when it wakes: a lowered nice
// value alone still lets a thread that slept take the frame loop's core for a scheduler tick.
// Where the idle class is refused, the lowest nice value (which on Linux a thread id takes for that
// thread alone) is the next best.
void LowerThisThreadsPriority() {
    sched_param parameters{};
    if (sched_setscheduler(0, SCHED_IDLE, &parameters) == 0) return;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, 19);
}

}  // namespace zepa
