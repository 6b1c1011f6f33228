// The raw state of the keyboard, the mouse and the first joystick (its stick and its hat both give
// the directions), fed by platform events (real
// devices or a replay file alike, through the window procedure) and latched once per frame by
// Poll; also the window's client size, which the fold scales the mouse with.
#pragma once

#include <array>
#include <cstdint>

#include "input/ButtonState.h"
#include "platform/Platform.h"

namespace zepa {

// The first joystick as the button fold sees it in one frame.
struct JoystickState {
    // 1 only in the frame in which the button's press event arrived.
    std::array<uint8_t, 32> buttons{};
    // Direction flags from the axes against the thresholds, or from the hat; they stay set while
    // the stick or the hat is held.
    uint8_t up = 0;
    uint8_t down = 0;
    uint8_t left = 0;
    uint8_t right = 0;
    // -1000..1000, kept from frame to frame.
    int32_t axisX = 0;
    int32_t axisY = 0;
};

// The engine's own keys, which the window procedure hands over as presses instead of key states.
enum class EngineKey {
    PageUp,
    PageDown,
    AutoAdvance,
    HideWindows,
};

class CInputDevices {
  public:
    static constexpr int kJoystickButtons = 32;
    // Button numbers that read the direction flags.
    static constexpr int kJoystickUp = 32;
    static constexpr int kJoystickDown = 33;
    static constexpr int kJoystickLeft = 34;
    static constexpr int kJoystickRight = 35;
    static constexpr int kAxisThreshold = 1000;
    // Wheel notches a frame takes in, either way.
    static constexpr int kMaxWheel = 100;

    // Takes mouse and joystick events; other events are ignored.
    void OnEvent(const PlatformEvent& event);
    // Latches what arrived since the last poll into this frame's view: the joystick events, and
    // the keys and mouse buttons that are down now or were pressed meanwhile.
    void Poll();

    // One byte per Windows virtual-key code, 1 while the key is down; codes outside 0..255 are
    // ignored. A press of a key that was up is also remembered until the next poll, so a tap
    // shorter than a frame still reaches the frame (auto-repeat of a held key is no new press).
    void SetKey(int virtualKey, bool down) {
        if (virtualKey < 0 || virtualKey >= 256) return;
        if (down && keyState_[virtualKey] == 0) {  // not a repeat
            keyPressedSincePoll_[virtualKey] = 1;
            anyPressSincePoll_ = true;
        }
        keyState_[virtualKey] = down ? 1 : 0;
    }
    // One press of an engine key (never a key state: it reaches no logical button).
    void PressEngineKey(EngineKey key);
    // The reading aids' input as the last poll saw it (ExtraInput::anyPress without the logical
    // buttons, which the fold adds).
    const ExtraInput& frameExtra() const { return frameExtra_; }
    // The keys as they are now.
    const std::array<uint8_t, 256>& keyState() const { return keyState_; }
    // The keys as the last poll saw them: down then, or pressed since the poll before.
    const std::array<uint8_t, 256>& frameKeys() const { return frameKeys_; }
    void SetClientSize(int width, int height) {
        clientWidth_ = width;
        clientHeight_ = height;
    }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    int mouseClientX() const { return mouseClientX_; }
    int mouseClientY() const { return mouseClientY_; }
    bool mouseLeft() const { return mouseLeft_; }
    bool mouseRight() const { return mouseRight_; }
    // The mouse buttons as the last poll saw them, taps included (as frameKeys).
    bool frameMouseLeft() const { return frameMouseLeft_; }
    bool frameMouseRight() const { return frameMouseRight_; }
    bool joystickPresent() const { return joystickPresent_; }
    // The first joystick's state of this frame; null when there is no joystick.
    const JoystickState* firstJoystick() const { return joystickPresent_ ? &joystick_ : nullptr; }
    // Button number 0..31 reads a button, 32..35 a direction flag; anything else, or no
    // joystick, reads false.
    bool JoystickReads(int number) const;

  private:
    static constexpr int8_t kNoEvent = -1;

    void PollJoystick();

    std::array<uint8_t, 256> keyState_{};
    std::array<uint8_t, 256> keyPressedSincePoll_{};
    std::array<uint8_t, 256> frameKeys_{};
    int clientWidth_ = kScreenWidth;
    int clientHeight_ = kScreenHeight;
    int mouseClientX_ = 0;
    int mouseClientY_ = 0;
    bool mouseLeft_ = false;
    bool mouseRight_ = false;
    bool mouseMiddle_ = false;
    bool mouseLeftPressedSincePoll_ = false;
    bool mouseRightPressedSincePoll_ = false;
    bool frameMouseLeft_ = false;
    bool frameMouseRight_ = false;
    ExtraInput extraSincePoll_;
    ExtraInput frameExtra_;
    bool anyPressSincePoll_ = false;
    bool joystickPresent_ = false;
    JoystickState joystick_;
    // The last event of each button since the last poll (kNoEvent, 0 up, 1 down).
    std::array<int8_t, kJoystickButtons> buttonEvents_ = MakeNoEvents();
    int axisX_ = 0;
    int axisY_ = 0;
    int hat_ = 0;

    static std::array<int8_t, kJoystickButtons> MakeNoEvents() {
        std::array<int8_t, kJoystickButtons> events{};
        events.fill(kNoEvent);
        return events;
    }
};

}  // namespace zepa
