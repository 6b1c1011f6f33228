// The raw state of the mouse and the first joystick, fed by platform events (real devices or a
// replay file alike). The keyboard lives in the game object's key-state array.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"

namespace zepa {

class CInputDevices {
  public:
    static constexpr int kJoystickButtons = 128;

    // Takes mouse and joystick events; other events are ignored.
    void OnEvent(const PlatformEvent& event);

    int mouseClientX() const { return mouseClientX_; }
    int mouseClientY() const { return mouseClientY_; }
    bool mouseLeft() const { return mouseLeft_; }
    bool mouseRight() const { return mouseRight_; }
    bool joystickPresent() const { return joystickPresent_; }
    // 1 while the button is held.
    uint8_t joystickButton(int index) const {
        return index >= 0 && index < kJoystickButtons ? joystickButtons_[index] : 0;
    }
    int axisX() const { return axisX_; }
    int axisY() const { return axisY_; }

  private:
    int mouseClientX_ = 0;
    int mouseClientY_ = 0;
    bool mouseLeft_ = false;
    bool mouseRight_ = false;
    bool joystickPresent_ = false;
    std::array<uint8_t, kJoystickButtons> joystickButtons_{};
    int axisX_ = 0;
    int axisY_ = 0;
};

}  // namespace zepa
