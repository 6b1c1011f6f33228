// The browser backend: the 640 x 480 picture on the page's canvas (the page scales it, letterboxed),
// keyboard, mouse and game pads from the page's event queue (web/zepa-web.js), modal message
// boxes as an overlay in the page, and the browser's clock. The engine's loop runs unchanged: its sleeps
// hand control back to the browser (ASYNCIFY), which shows the canvas and delivers events then.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace zepa {

class CWebClock : public IClock {
  public:
    uint32_t Milliseconds() override;
    int64_t Counter() override;
    int64_t Frequency() override { return 1000000; }
    void SleepMs(uint32_t ms) override;
    void Yield() override;
};

class CWebWindow : public IWindow {
  public:
    bool Create(const std::string& titleCp932, int clientWidth, int clientHeight, bool fullscreen) override;
    // The page's own area stands for the display: the engine then chooses the largest scale that
    // fits it, which decides only the client size mouse positions are given in.
    Rect UsableBounds() override;
    Rect BorderSizes() override { return Rect{0, 0, 0, 0}; }
    void ResizeClient(int clientWidth, int clientHeight) override;
    void SetTitle(const std::string& titleCp932) override;
    void Present(const uint32_t* pixels) override;
    void ToggleFullscreen() override;
    bool IsFullscreen() const override;
    // Positions come in CSS pixels of the canvas.
    void ToClientPixels(int& x, int& y) const override;

  private:
    std::vector<uint8_t> rgba_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

class CWebEvents : public IEventSource {
  public:
    bool PollEvent(PlatformEvent& event) override;
};

class CWebMessageBox : public IMessageBox {
  public:
    void Show(const std::string& textCp932, const std::string& captionCp932) override;
};

}  // namespace zepa
