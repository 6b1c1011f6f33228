// The twelve logical buttons, refreshed once per frame from the input devices; scenes, scripts and
// windows read only this block.
#pragma once

#include <cstdint>

namespace zepa {

// Logical button indexes.
enum LogicalButton : int {
    kButtonUp = 0,
    kButtonLeft = 1,
    kButtonRight = 2,
    kButtonDown = 3,
    kButtonStart = 4,
    kButtonSelect = 5,
    kButtonOk = 6,
    kButtonCancel = 7,
    kButtonL = 8,
    kButtonR = 9,
    kButtonX = 10,
    kButtonY = 11,
    kButtonCount = 12,
};

// The frame's input for the engine's own reading aids (the message history, auto-advance, hiding
// the windows): the keys, wheel and clicks that never set a logical button, and whether anything
// at all was pressed.
struct ExtraInput {
    int32_t wheel = 0;        // mouse wheel notches this frame: positive up (away), negative down
    uint8_t pageUp = 0;       // presses of Page Up this frame (auto-repeat included)
    uint8_t pageDown = 0;     // presses of Page Down this frame (auto-repeat included)
    uint8_t autoAdvance = 0;  // presses of the auto-advance switch (F2) this frame
    uint8_t hideWindows = 0;  // presses of H and middle clicks this frame
    uint8_t anyPress = 0;     // 1 when any key, mouse button or joystick button or direction was pressed
};

struct ButtonState {
    uint8_t down[kButtonCount] = {};
    uint8_t pressed[kButtonCount] = {};     // down this frame, up the frame before
    uint8_t released[kButtonCount] = {};    // up this frame, down the frame before
    uint8_t previous[kButtonCount] = {};    // down in the frame before
    uint8_t continuing[kButtonCount] = {};  // down this frame and the frame before
    uint8_t pointerMode = 0;                // 1 while the mouse was used last
    int32_t mouseX = 0;                     // 0..639
    int32_t mouseY = 0;                     // 0..479
    uint8_t leftClick = 0;
    uint8_t rightClick = 0;
    ExtraInput extra;  // read only by the main scene's reading aids
};

}  // namespace zepa
