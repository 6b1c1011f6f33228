#include "app/FrameTimer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zepa {
namespace {

// A clock whose time moves only when the timer sleeps or yields (or the test advances it).
class ScriptedClock : public IClock {
  public:
    explicit ScriptedClock(int64_t startMicros) : micros_(startMicros) {}
    uint32_t Milliseconds() override { return static_cast<uint32_t>(micros_ / 1000); }
    int64_t Counter() override { return micros_; }
    int64_t Frequency() override { return 1000000; }
    void SleepMs(uint32_t ms) override {
        micros_ += int64_t{ms} * 1000;
        ++sleeps_;
    }
    void Yield() override {
        micros_ += 50;
        ++yields_;
    }
    void Advance(int64_t micros) { micros_ += micros; }
    int64_t micros() const { return micros_; }
    int sleeps_ = 0;
    int yields_ = 0;

  private:
    int64_t micros_;
};

constexpr int64_t kStart = 5'000'000;  // the clock starts at 5 s

TEST(FrameTimerMilliseconds, FirstCallReturnsAtOnceThenFramesFollowThePeriod) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(false);
    timer.WaitFrame();
    EXPECT_TRUE(timer.drawThisFrame());
    EXPECT_EQ(clock.micros(), kStart);
    // The first call already counts as frame 1: the second waits for truncate(start + 33.33).
    timer.WaitFrame();
    EXPECT_TRUE(timer.drawThisFrame());
    EXPECT_EQ(clock.Milliseconds(), 5000u + 34u);  // the first reading greater than start + 33
    timer.WaitFrame();
    EXPECT_EQ(clock.Milliseconds(), 5000u + 50u);  // truncate(start + 49.99998) = 49, released at 50
}

TEST(FrameTimerMilliseconds, SleepsBeforeYieldingSoAnIdleGameDoesNotBurnACore) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(false);
    timer.WaitFrame();
    timer.WaitFrame();
    EXPECT_GE(clock.sleeps_, 1);
    EXPECT_LT(clock.yields_, 60);  // the last millisecond only
}

TEST(FrameTimerMilliseconds, LateFrameSkipsItsDrawButReturnsAtOnce) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(false);
    timer.WaitFrame();      // frame 1 at 5000
    timer.WaitFrame();      // frame 2 released at 5034
    clock.Advance(40'000);  // a 40 ms frame of work: now 5074
    const int64_t before = clock.micros();
    timer.WaitFrame();  // frame 3: deadline truncate(5000 + 4 * 16.67) = 5066 < 5074
    EXPECT_FALSE(timer.drawThisFrame());
    EXPECT_EQ(clock.micros(), before);
    EXPECT_EQ(timer.skippedCount(), 1u);
    timer.WaitFrame();  // frame 4: due 5066 < now, deadline 5083 >= 5074: drawn without waiting
    EXPECT_TRUE(timer.drawThisFrame());
}

TEST(FrameTimerMilliseconds, FrameSixtyIsReleasedAtOneSecondAndTheWindowReAnchors) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(false);
    for (int frame = 1; frame <= 59; ++frame) timer.WaitFrame();
    // Frame 60's due time is truncate(start + 999.99996) = start + 999: released at start + 1000.
    timer.WaitFrame();
    EXPECT_EQ(clock.Milliseconds(), 6000u);
    EXPECT_EQ(timer.frameCount(), 0u);  // re-anchored: one second has passed
    // The next window starts at 6000: frame 1 of it is released at the first reading > 6016.
    timer.WaitFrame();
    EXPECT_EQ(clock.Milliseconds(), 6017u);
}

TEST(FrameTimerHighResolution, FollowsTheSameScheduleInTenthsOfAMillisecond) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(true);
    timer.WaitFrame();
    EXPECT_TRUE(timer.drawThisFrame());
    timer.WaitFrame();
    // Due time truncate(2 * 166.66666 + 50000) = 50333 tenths: released past 5033.3 ms.
    EXPECT_GT(clock.micros(), kStart + 33'300);
    EXPECT_LE(clock.micros(), kStart + 33'500);
    clock.Advance(40'000);
    timer.WaitFrame();
    EXPECT_FALSE(timer.drawThisFrame());
}

TEST(FrameTimerHighResolution, ReAnchorsAfterOneSecond) {
    ScriptedClock clock(kStart);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(true);
    for (int frame = 1; frame <= 60; ++frame) timer.WaitFrame();
    EXPECT_EQ(timer.frameCount(), 0u);
    EXPECT_GE(clock.micros(), kStart + 1'000'000 - 100);
}

TEST(FrameTimerCalibration, PrefersTheCounterWhenItChangesAtLeastAsOften) {
    // Each counter reading moves time by 10 us: the counter changes on every reading, the
    // millisecond tick only every hundredth.
    class TickingClock : public ScriptedClock {
      public:
        using ScriptedClock::ScriptedClock;
        int64_t Counter() override {
            Advance(10);
            return ScriptedClock::Counter();
        }
    } ticking(kStart);
    CFrameTimer calibrated(ticking);
    calibrated.Calibrate();
    EXPECT_TRUE(calibrated.useHighResolution());
}

// The clock positions after each of `frames` frames, relative to the start, with one late frame
// (40 ms of work) among them.
std::vector<int64_t> HighResolutionSchedule(int64_t startMicros, int frames) {
    ScriptedClock clock(startMicros);
    CFrameTimer timer(clock);
    timer.SetUseHighResolution(true);
    std::vector<int64_t> schedule;
    for (int frame = 1; frame <= frames; ++frame) {
        if (frame == 30) clock.Advance(40'000);
        timer.WaitFrame();
        schedule.push_back((clock.micros() - startMicros) * 2 + (timer.drawThisFrame() ? 1 : 0));
    }
    return schedule;
}

// The counter times 10000 passes the largest 64-bit value about 0.7 s after this start (a
// microsecond counter after some 29 years, a nanosecond one after 10.7 days).
TEST(FrameTimerHighResolution, ScheduleIsUnchangedWhereTheScaledCounterWouldOverflow) {
    constexpr int64_t kNearWrap = 922'337'203'000'000;
    static_assert(kNearWrap < INT64_MAX / 10000 && kNearWrap + 1'000'000 > INT64_MAX / 10000);
    EXPECT_EQ(HighResolutionSchedule(kNearWrap, 180), HighResolutionSchedule(kStart, 180));
}

}  // namespace
}  // namespace zepa
