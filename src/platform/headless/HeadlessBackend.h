// The headless backend: no window, a virtual clock, events only from the engine's replay input,
// message boxes on stderr. Frames run back to back.
//
// Implements: IClock (virtual: sleeping and yielding advance it), IWindow (records the title and
// the presented frames count; the usable bounds are a 1920 x 1080 desktop; a fullscreen toggle or
// RequestRepaint asks for one repaint), IEventSource (a queue
// that tests may fill), IMessageBox (one "message: <text>" line on stderr, never blocks).
#pragma once

#include <deque>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace zepa {

class CVirtualClock : public IClock {
  public:
    uint32_t Milliseconds() override { return static_cast<uint32_t>(micros_ / 1000); }
    int64_t Counter() override { return micros_; }
    int64_t Frequency() override { return 1000000; }
    void SleepMs(uint32_t ms) override { micros_ += static_cast<int64_t>(ms) * 1000; }
    void Yield() override { micros_ += 100; }
    // Moves time forward (tests).
    void Advance(int64_t micros) { micros_ += micros; }

  private:
    int64_t micros_ = 0;
};

class CHeadlessWindow : public IWindow {
  public:
    bool Create(const std::string& titleCp932, int clientWidth, int clientHeight, bool fullscreen) override;
    Rect UsableBounds() override { return usableBounds_; }
    Rect BorderSizes() override { return Rect{0, 0, 0, 0}; }
    void ResizeClient(int clientWidth, int clientHeight) override;
    void SetTitle(const std::string& titleCp932) override { title_ = titleCp932; }
    void SetIcon(const uint32_t* argbPixels, int width, int height) override {
        icon_.assign(argbPixels, argbPixels + static_cast<size_t>(width) * height);
        iconWidth_ = width;
    }
    // The icon last set (ARGB, iconWidth() pixels a row; empty when none was set).
    const std::vector<uint32_t>& icon() const { return icon_; }
    int iconWidth() const { return iconWidth_; }
    void Present(const uint32_t*) override { ++presentedFrames_; }
    bool TakeRepaintRequest() override { return std::exchange(repaintRequested_, false); }
    void ToggleFullscreen() override {
        fullscreen_ = !fullscreen_;
        repaintRequested_ = true;
    }
    bool IsFullscreen() const override { return fullscreen_; }
    void ToClientPixels(int&, int&) const override {}

    void SetUsableBounds(const Rect& bounds) { usableBounds_ = bounds; }
    // As a window system does when the window was uncovered (tests).
    void RequestRepaint() { repaintRequested_ = true; }
    const std::string& title() const { return title_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    int presentedFrames() const { return presentedFrames_; }

  private:
    std::vector<uint32_t> icon_;
    int iconWidth_ = 0;
    Rect usableBounds_{0, 0, 1920, 1080};
    std::string title_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    bool fullscreen_ = false;
    bool repaintRequested_ = false;
    int presentedFrames_ = 0;
};

class CHeadlessEvents : public IEventSource {
  public:
    bool PollEvent(PlatformEvent& event) override;
    void Push(const PlatformEvent& event) { queue_.push_back(event); }

  private:
    std::deque<PlatformEvent> queue_;
};

class CHeadlessMessageBox : public IMessageBox {
  public:
    void Show(const std::string& textCp932, const std::string& captionCp932) override;
};

PlatformBackend CreateHeadlessBackend();

}  // namespace zepa
