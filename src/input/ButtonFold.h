// The per-frame fold of the devices into the logical ButtonState.
#pragma once

#include <array>
#include <cstdint>

#include "input/ButtonState.h"
#include "input/InputDevices.h"
#include "input/JoystickButtonMap.h"

namespace zepa {

// What the fold remembers from the previous frame besides the ButtonState itself.
struct PointerMemory {
    bool lastLeft = false;
    bool lastRight = false;
    int lastX = 0;
    int lastY = 0;
};

struct FoldSources {
    const std::array<uint8_t, 256>& keyState;  // by Windows virtual-key code, as polled this frame
    const CInputDevices& devices;
    int clientWidth = 640;
    int clientHeight = 480;
    JoystickButtonMap joystickButtons;
};

// Scales the mouse, derives the click edges and pointer mode, and computes down, pressed,
// released, continuing and previous for the twelve buttons, from the devices' polled view. Keys
// and joystick directions stay down while held, and a key or mouse button tapped between two
// frames is down in the next one; a joystick button is down only in the frame its press arrived; a click
// counts as OK (left) or Cancel (right) for one frame. The reading aids' input (wheel, engine keys,
// any press) is the devices' view of this frame, a press of any logical button counted as a press.
void UpdateButtons(ButtonState& state, PointerMemory& memory, const FoldSources& sources);

}  // namespace zepa
