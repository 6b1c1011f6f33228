#include "platform/SteadyClock.h"

#include <chrono>
#include <thread>

namespace zepa {
namespace {
using Clock = std::chrono::steady_clock;
}

uint32_t CSteadyClock::Milliseconds() {
    const auto since = Clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

int64_t CSteadyClock::Counter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void CSteadyClock::SleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A bare yield returns at once when no other thread wants the processor, so the frame timer's
// last millisecond before the due time would spin a core (about 6% of one at 60 frames a
// second). A sleep of a tenth of a millisecond keeps the release within that of the due time.
void CSteadyClock::Yield() {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
}

}  // namespace zepa
