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

void CFrameTimer::WaitFrameHighResolution() {
    frequency_ = clock_.Frequency();
    if (frequency_ <= 0) frequency_ = 1;
    ++frameCount_;
    if (firstFrame_) {
        windowStartScaled_ = clock_.Counter() * 10000;
        firstFrame_ = false;
        drawThisFrame_ = true;
        return;
    }
    int64_t nowScaled = clock_.Counter() * 10000;
    int64_t now = nowScaled / frequency_;
    const int64_t start = windowStartScaled_ / frequency_;
    const int64_t nextDeadline =
        static_cast<int64_t>(static_cast<double>(frameCount_ + 1) * framePeriod_ * 10.0 + start);
    if (now > nextDeadline) {
        ++skippedCount_;
        drawThisFrame_ = false;
    } else {
        const int64_t dueTime =
            static_cast<int64_t>(static_cast<double>(frameCount_) * framePeriod_ * 10.0 + start);
        // Units are 0.1 ms; the wait ends at the first reading past the due time.
        WaitUntil([&] {
            nowScaled = clock_.Counter() * 10000;
            now = nowScaled / frequency_;
            return now > dueTime ? int64_t{-1} : (dueTime - now) / 10;
        });
        drawThisFrame_ = true;
    }
    if ((nowScaled - windowStartScaled_) / frequency_ >= 10000) {
        windowStartScaled_ = nowScaled;
        frameCount_ = 0;
        skippedCount_ = 0;
    }
}

}  // namespace zepa
