#include "input/InputDevices.h"

namespace zepa {

void CInputDevices::OnEvent(const PlatformEvent& event) {
    using Kind = PlatformEvent::Kind;
    switch (event.kind) {
        case Kind::MouseMove:
            mouseClientX_ = event.x;
            mouseClientY_ = event.y;
            break;
        case Kind::MouseButton:
            (event.button == 0 ? mouseLeft_ : mouseRight_) = event.down;
            break;
        case Kind::JoyAdded:
            joystickPresent_ = true;
            break;
        case Kind::JoyRemoved:
            joystickPresent_ = false;
            joystickButtons_.fill(0);
            axisX_ = axisY_ = 0;
            break;
        case Kind::JoyButton:
            joystickPresent_ = true;
            if (event.button >= 0 && event.button < kJoystickButtons)
                joystickButtons_[event.button] = event.down;
            break;
        case Kind::JoyAxis:
            joystickPresent_ = true;
            (event.axis == 0 ? axisX_ : axisY_) = event.value;
            break;
        default:
            break;
    }
}

}  // namespace zepa
