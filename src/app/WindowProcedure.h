// Turns platform events into the engine's actions, as a window procedure does: the key-state
// array, the hot keys (Escape quits, F4-F7 resize, F12 returns to the title), the focus flag and
// quitting. Beyond those: F11 and Alt+Enter toggle fullscreen, F9 asks for a screenshot, Tab held
// asks for fast-forward, Page Up, Page Down (the message history's), F2 (auto-advance) and H
// (hiding the windows) go to the input as engine keys, and for authors F3 toggles the debug
// overlay and F10 asks for a reload. None of these extra keys reaches the key-state array.
#pragma once

#include "core/SceneRequests.h"
#include "input/InputDevices.h"
#include "platform/Platform.h"

namespace zepa {

struct ClientSize {
    int width = kScreenWidth;
    int height = kScreenHeight;
};

// The client sizes the engine knows, largest first.
inline constexpr ClientSize kClientSizes[] = {{1280, 960}, {960, 720}, {800, 600}, {640, 480}};

// True when a window with this client size and these borders fits the work area.
bool WindowFits(ClientSize size, const Rect& workArea, const Rect& borders);
// The largest known client size whose window fits the work area; 640 x 480 when none fits.
ClientSize ChooseClientSize(const Rect& workArea, const Rect& borders);

class CWindowProcedure {
  public:
    // Keys, mouse, joystick and the client size go into `input`; F12 asks `sceneRequests` for the
    // title. `window` may be null (no window: resizing only updates the input's client size).
    CWindowProcedure(CInputDevices& input, CSceneRequests& sceneRequests, IWindow* window,
                     const Rect& workArea, const Rect& borders);

    void HandleEvent(const PlatformEvent& event);

    bool hasFocus() const { return focus_; }
    void SetFocus(bool focus) { focus_ = focus; }
    bool quitRequested() const { return quit_; }
    void RequestQuit() { quit_ = true; }
    bool fastForward() const { return fastForward_; }
    // True once after F9 was pressed.
    bool TakeScreenshotRequest();
    // True once after F10 was pressed.
    bool TakeReloadRequest();
    // Toggled by F3.
    bool debugOverlay() const { return debugOverlay_; }

  private:
    void OnKeyDown(const PlatformEvent& event);
    void ResizeTo(ClientSize size);

    CInputDevices& input_;
    CSceneRequests& sceneRequests_;
    IWindow* window_;
    Rect workArea_;
    Rect borders_;
    bool focus_ = false;
    bool quit_ = false;
    bool fastForward_ = false;
    bool screenshotRequested_ = false;
    bool reloadRequested_ = false;
    bool debugOverlay_ = false;
};

}  // namespace zepa
