#include "app/FrameTimer.h"

namespace zepa {

void CFrameTimer::Calibrate() {
    uint32_t lastTick = clock_.Milliseconds();
    int64_t lastCount = clock_.Counter();
    const uint32_t start = clock_.Milliseconds();
    int counterChanges = 0;
    int millisecondChanges = 0;
    while (counterChanges != 60 && clock_.Milliseconds() - start < 1000) {
        int64_t count = clock_.Counter();
        if (count != lastCount) {
            ++counterChanges;
            lastCount = count;
        }
        uint32_t tick = clock_.Milliseconds();
        if (tick != lastTick) ++millisecondChanges;
        lastTick = tick;
        if (millisecondChanges == 60) break;
    }
    SetUseHighResolution(millisecondChanges <= counterChanges);
}

void CFrameTimer::SetUseHighResolution(bool useHighResolution) {
    useHighResolution_ = useHighResolution;
    if (useHighResolution_) {
        frequency_ = clock_.Frequency();
        if (frequency_ <= 0) frequency_ = 1;
    }
}

template <typename RemainingMs>
void CFrameTimer::WaitUntil(RemainingMs remainingMs) {
    for (;;) {
        int64_t remaining = remainingMs();
        if (remaining < 0) return;
        if (remaining > 1) {
            clock_.SleepMs(static_cast<uint32_t>(remaining - 1));
        } else {
            clock_.Yield();
        }
    }
}

void CFrameTimer::WaitFrameMilliseconds() {
    ++frameCount_;
    if (firstFrame_) {
        windowStartMs_ = clock_.Milliseconds();
        drawThisFrame_ = true;
        firstFrame_ = false;
        return;
    }
    const uint32_t now = clock_.Milliseconds();
    const uint32_t nextDeadline =
        static_cast<uint32_t>(windowStartMs_ + static_cast<double>(frameCount_ + 1) * framePeriod_);
    if (now > nextDeadline) {
        ++skippedCount_;
        drawThisFrame_ = false;
    } else {
        const uint32_t dueTime =
            static_cast<uint32_t>(windowStartMs_ + static_cast<double>(frameCount_) * framePeriod_);
        // Released at the first reading greater than the due time.
        WaitUntil(
            [&] { return static_cast<int64_t>(dueTime) - static_cast<int64_t>(clock_.Milliseconds()); });
        drawThisFrame_ = true;
    }
    if (clock_.Milliseconds() - windowStartMs_ >= 1000) {
        windowStartMs_ = clock_.Milliseconds();
        frameCount_ = 0;
        skippedCount_ = 0;
    }
}

// Counter ticks in tenths of a millisecond, rounded down. Whole seconds and the remainder are
// scaled apart: the counter times 10000 would overflow 64 bits after days of uptime, and the
// remainder (below the frequency) times 10000 is taken in 128 bits for any frequency.
int64_t CFrameTimer::TenthsOfMs(int64_t counter) const {
    const int64_t seconds = counter / frequency_;
    const int64_t remainder = counter % frequency_;
    const auto remainderTenths = static_cast<int64_t>(static_cast<__int128>(remainder) * 10000 / frequency_);
    return seconds * 10000 + remainderTenths;
}

int64_t CFrameTimer::FrameOffsetTenths(uint32_t frames) const {
    return static_cast<int64_t>(static_cast<double>(frames) * framePeriod_ * 10.0);
}

void CFrameTimer::WaitFrameHighResolution() {
    frequency_ = clock_.Frequency();
    if (frequency_ <= 0) frequency_ = 1;
    ++frameCount_;
    if (firstFrame_) {
        windowStartCounter_ = clock_.Counter();
        firstFrame_ = false;
        drawThisFrame_ = true;
        return;
    }
    int64_t nowCounter = clock_.Counter();
    int64_t now = TenthsOfMs(nowCounter);
    const int64_t start = TenthsOfMs(windowStartCounter_);
    // The offsets from the window start are taken in floating point and added as integers, so
    // a large counter costs no precision.
    const int64_t nextDeadline = start + FrameOffsetTenths(frameCount_ + 1);
    if (now > nextDeadline) {
        ++skippedCount_;
        drawThisFrame_ = false;
    } else {
        const int64_t dueTime = start + FrameOffsetTenths(frameCount_);
        // Units are 0.1 ms; the wait ends at the first reading past the due time.
        WaitUntil([&] {
            nowCounter = clock_.Counter();
            now = TenthsOfMs(nowCounter);
            return now > dueTime ? int64_t{-1} : (dueTime - now) / 10;
        });
        drawThisFrame_ = true;
    }
    if (TenthsOfMs(nowCounter - windowStartCounter_) >= 10000) {
        windowStartCounter_ = nowCounter;
        frameCount_ = 0;
        skippedCount_ = 0;
    }
}

}  // namespace zepa
