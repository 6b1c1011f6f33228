// The platform layer's contracts. Engine code reaches the operating system only through these
// interfaces; the sdl backend implements them on a real window, the headless backend without one.
//
// Checklist of what a backend provides:
//   - IClock: millisecond and high-resolution time, sleeping and yielding (frame pacing)
//   - IWindow: client size, usable display bounds, title, presentation of the 640 x 480 back buffer,
//     fullscreen, mapping of window positions to client pixels
//   - IEventSource: window, keyboard, mouse and joystick events in engine terms
//   - IMessageBox: modal message boxes
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Audio.h"
#include "platform/ResidentMemory.h"

namespace zepa {

// Size of the engine's logical screen.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Time sources used by the frame timer. Both readings are monotonic.
class IClock {
  public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary origin; wraps at 2^32 like a 32-bit tick count.
    virtual uint32_t Milliseconds() = 0;
    // High-resolution counter reading and its ticks per second.
    virtual int64_t Counter() = 0;
    virtual int64_t Frequency() = 0;
    // Sleeps about `ms` milliseconds (a virtual clock advances instead).
    virtual void SleepMs(uint32_t ms) = 0;
    // Gives up the processor for a moment, at most a fraction of a millisecond, so that the last
    // stretch of a frame wait neither oversleeps nor spins (a virtual clock advances by a small
    // step instead).
    virtual void Yield() = 0;
};

// One event from the platform, already translated into the engine's terms: keys carry Windows
// virtual-key codes, mouse positions are window client pixels.
struct PlatformEvent {
    enum class Kind {
        Quit,  // close box or end of the session
        FocusGained,
        FocusLost,
        KeyDown,      // key = virtual-key code, alt = Alt held
        KeyUp,        // key = virtual-key code
        MouseMove,    // x, y = client pixels
        MouseButton,  // button: 0 left, 1 right, 2 middle; down
        MouseWheel,   // value = notches, positive away from the player (up), negative down
        JoyButton,    // button index; down
        JoyAxis,      // axis 0 = x, 1 = y; value scaled to -1000..1000
        JoyHat,       // value = the directions held (kHatUp | kHatRight | ...), 0 centred
        JoyAdded,
        JoyRemoved,
    };
    Kind kind = Kind::Quit;
    int key = 0;
    bool alt = false;
    bool repeat = false;
    int x = 0;
    int y = 0;
    int button = 0;
    bool down = false;
    int axis = 0;
    int value = 0;
};

// The directions of a joystick hat (a pad's D-pad) in PlatformEvent::value.
inline constexpr int kHatUp = 1;
inline constexpr int kHatRight = 2;
inline constexpr int kHatDown = 4;
inline constexpr int kHatLeft = 8;

class IEventSource {
  public:
    virtual ~IEventSource() = default;
    // Takes the next pending event; false when none is pending (never blocks).
    virtual bool PollEvent(PlatformEvent& event) = 0;
};

// The game window and the presentation of the back buffer.
class IWindow {
  public:
    virtual ~IWindow() = default;
    // Creates the window with the given client size, centred in the usable bounds.
    // False when no window can be created (the reason is printed on stderr).
    virtual bool Create(const std::string& titleCp932, int clientWidth, int clientHeight,
                        bool fullscreen) = 0;
    // The usable area of the primary display (desktop minus task bars).
    virtual Rect UsableBounds() = 0;
    // Sizes of the window decorations around the client area (left, top, right, bottom).
    virtual Rect BorderSizes() = 0;
    // Resizes the client area and centres the window in the usable bounds.
    virtual void ResizeClient(int clientWidth, int clientHeight) = 0;
    virtual void SetTitle(const std::string& titleCp932) = 0;
    // Shows width x height ARGB pixels (row after row) as the window's icon. Backends without a
    // visible window may only remember it.
    virtual void SetIcon(const uint32_t* argbPixels, int width, int height) {
        (void)argbPixels, (void)width, (void)height;
    }
    // Shows a 640 x 480 XRGB back buffer (row pitch 640 pixels) scaled over the client area.
    virtual void Present(const uint32_t* pixels) = 0;
    // True, once, when the shown picture has to be presented again although the frame did not
    // change (the window was exposed, resized, restored or switched to or from fullscreen); the
    // game then presents its unchanged back buffer. Backends that never lose the picture say false.
    virtual bool TakeRepaintRequest() { return false; }
    virtual void ToggleFullscreen() = 0;
    virtual bool IsFullscreen() const = 0;
    // Converts a position reported in window coordinates into client pixels of the chosen client
    // size, whatever the real drawable size (fullscreen letterbox, high-DPI).
    virtual void ToClientPixels(int& x, int& y) const = 0;
};

class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    // Shows a modal box with an OK button and waits for it (headless: prints and returns).
    virtual void Show(const std::string& textCp932, const std::string& captionCp932) = 0;
};

// A complete backend.
struct PlatformBackend {
    std::unique_ptr<IClock> clock;
    std::unique_ptr<IWindow> window;
    std::unique_ptr<IEventSource> events;
    std::unique_ptr<IMessageBox> messageBox;
    // Taken over by the game object's audio channels at start-up (null: silent).
    std::unique_ptr<IAudioDevice> audio;
    // Keeps what a scene change reads at hand between changes (null: frames run back to back, and
    // keep it in use themselves).
    std::unique_ptr<CResidentMemoryKeeper> memoryKeeper;
    bool headless = false;
};

}  // namespace zepa
