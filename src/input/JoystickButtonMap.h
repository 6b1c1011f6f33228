// Which joystick button feeds each logical button: 0..31 are physical buttons (0-based), 32..35
// the up, down, left and right direction flags; other numbers never read as pressed.
#pragma once

namespace zepa {

struct JoystickButtonMap {
    int ok = 1;
    int cancel = 2;
    int start = 3;
    int select = 4;
    int x = 5;
    int y = 6;
    int l = 7;
    int r = 8;
};

}  // namespace zepa
