#include "input/InputDevices.h"

#include <algorithm>

namespace zepa {

void CInputDevices::OnEvent(const PlatformEvent& event) {
    using Kind = PlatformEvent::Kind;
    switch (event.kind) {
        case Kind::MouseMove:
            mouseClientX_ = event.x;
            mouseClientY_ = event.y;
            break;
        case Kind::MouseButton:
            if (event.button == 0 || event.button == 1) {
                bool& down = event.button == 0 ? mouseLeft_ : mouseRight_;
                if (event.down && !down) {
                    (event.button == 0 ? mouseLeftPressedSincePoll_ : mouseRightPressedSincePoll_) = true;
                    anyPressSincePoll_ = true;
                }
                down = event.down;
            } else if (event.button == 2) {  // the middle button: an engine key, never OK or Cancel
                if (event.down && !mouseMiddle_) PressEngineKey(EngineKey::HideWindows);
                mouseMiddle_ = event.down;
            }
            break;
        case Kind::MouseWheel:
            extraSincePoll_.wheel = std::clamp(extraSincePoll_.wheel + event.value, -kMaxWheel, kMaxWheel);
            break;
        case Kind::JoyAdded:
            joystickPresent_ = true;
            break;
        case Kind::JoyRemoved:
            joystickPresent_ = false;
            joystick_ = JoystickState{};
            buttonEvents_ = MakeNoEvents();
            axisX_ = axisY_ = 0;
            hat_ = 0;
            break;
        case Kind::JoyHat:
            joystickPresent_ = true;
            if ((event.value & ~hat_ & 15) != 0) anyPressSincePoll_ = true;
            hat_ = event.value & 15;
            break;
        case Kind::JoyButton:
            joystickPresent_ = true;
            if (event.button >= 0 && event.button < kJoystickButtons)
                buttonEvents_[event.button] = event.down;
            if (event.down) anyPressSincePoll_ = true;
            break;
        case Kind::JoyAxis:
            joystickPresent_ = true;
            // Only X and Y count; other axes change nothing.
            if (event.axis == 0) axisX_ = std::clamp(event.value, -kAxisThreshold, kAxisThreshold);
            if (event.axis == 1) axisY_ = std::clamp(event.value, -kAxisThreshold, kAxisThreshold);
            break;
        default:
            break;
    }
}

void CInputDevices::PressEngineKey(EngineKey key) {
    uint8_t* counts[] = {&extraSincePoll_.pageUp, &extraSincePoll_.pageDown, &extraSincePoll_.autoAdvance,
                         &extraSincePoll_.hideWindows};
    uint8_t& count = *counts[static_cast<int>(key)];
    if (count < 255) ++count;
    anyPressSincePoll_ = true;
}

void CInputDevices::Poll() {
    frameExtra_ = extraSincePoll_;
    frameExtra_.anyPress = anyPressSincePoll_;
    extraSincePoll_ = ExtraInput{};
    anyPressSincePoll_ = false;
    for (size_t key = 0; key < frameKeys_.size(); ++key)
        frameKeys_[key] = keyState_[key] | keyPressedSincePoll_[key];
    keyPressedSincePoll_.fill(0);
    frameMouseLeft_ = mouseLeft_ || mouseLeftPressedSincePoll_;
    frameMouseRight_ = mouseRight_ || mouseRightPressedSincePoll_;
    mouseLeftPressedSincePoll_ = mouseRightPressedSincePoll_ = false;
    PollJoystick();
}

void CInputDevices::PollJoystick() {
    if (!joystickPresent_) return;
    for (int i = 0; i < kJoystickButtons; ++i) joystick_.buttons[i] = buttonEvents_[i] == 1 ? 1 : 0;
    buttonEvents_ = MakeNoEvents();
    joystick_.axisX = axisX_;
    joystick_.axisY = axisY_;
    joystick_.up = axisY_ <= -kAxisThreshold || (hat_ & kHatUp) != 0;
    joystick_.down = axisY_ >= kAxisThreshold || (hat_ & kHatDown) != 0;
    joystick_.left = axisX_ <= -kAxisThreshold || (hat_ & kHatLeft) != 0;
    joystick_.right = axisX_ >= kAxisThreshold || (hat_ & kHatRight) != 0;
}

bool CInputDevices::JoystickReads(int number) const {
    if (!joystickPresent_) return false;
    if (number >= 0 && number < kJoystickButtons) return joystick_.buttons[number] != 0;
    switch (number) {
        case kJoystickUp:
            return joystick_.up;
        case kJoystickDown:
            return joystick_.down;
        case kJoystickLeft:
            return joystick_.left;
        case kJoystickRight:
            return joystick_.right;
        default:
            return false;
    }
}

}  // namespace zepa
