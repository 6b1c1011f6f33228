// The real time source (the steady clock): the window's frame pacing, and headless runs paced
// like it.
#pragma once

#include "platform/Platform.h"

namespace zepa {

class CSteadyClock : public IClock {
  public:
    uint32_t Milliseconds() override;
    int64_t Counter() override;
    int64_t Frequency() override { return 1000000000; }
    void SleepMs(uint32_t ms) override;
    void Yield() override;
};

}  // namespace zepa
