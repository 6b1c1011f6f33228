// Paces the main loop at 60 frames per second and decides which frames are drawn. A frame that
// is more than one period late is not waited for and not drawn (its update still runs); the
// schedule re-anchors once a second so lateness never accumulates.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace zepa {

class CFrameTimer {
  public:
    explicit CFrameTimer(IClock& clock) : clock_(clock) {}

    // Chooses the time source: the high-resolution counter unless the millisecond clock proved
    // finer during a short measurement (at most 60 changes or one second).
    void Calibrate();
    // Forces a time source (tests, and clocks known in advance).
    void SetUseHighResolution(bool useHighResolution);

    void WaitFrameHighResolution();
    void WaitFrameMilliseconds();
    // Calls the wait of the chosen time source.
    void WaitFrame() { useHighResolution_ ? WaitFrameHighResolution() : WaitFrameMilliseconds(); }

    bool drawThisFrame() const { return drawThisFrame_; }
    bool useHighResolution() const { return useHighResolution_; }
    uint32_t frameCount() const { return frameCount_; }
    uint32_t skippedCount() const { return skippedCount_; }

  private:
    // Waits until `remainingMs` (milliseconds left, negative once due) turns negative: sleeps while
    // the due time is more than about a millisecond away (so an idle game does not burn a core), then yields.
    template <typename RemainingMs>
    void WaitUntil(RemainingMs remainingMs);
    // A counter reading (or difference) in tenths of a millisecond, exact for any value.
    int64_t TenthsOfMs(int64_t counter) const;
    // Where frame `frames` of the window falls after its start, in tenths of a millisecond.
    int64_t FrameOffsetTenths(uint32_t frames) const;

    IClock& clock_;
    uint32_t windowStartMs_ = 0;
    float framePeriod_ = 1000.0f / 60.0f;
    bool drawThisFrame_ = false;
    bool firstFrame_ = true;
    uint32_t frameCount_ = 0;
    uint32_t skippedCount_ = 0;
    int64_t windowStartCounter_ = 0;  // counter reading at the window start
    bool useHighResolution_ = false;
    int64_t frequency_ = 1;
};

}  // namespace zepa
