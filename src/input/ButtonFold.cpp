#include "input/ButtonFold.h"

#include "platform/Platform.h"

namespace zepa {
namespace {

struct ButtonSources {
    int key1;
    int key2;  // -1 when the button has one key
};

// Keys of each logical button, in button order.
constexpr std::array<ButtonSources, kButtonCount> kButtonKeys = {{
    {0x26, -1},    // Up
    {0x25, -1},    // Left
    {0x27, -1},    // Right
    {0x28, -1},    // Down
    {0x20, -1},    // Start: Space
    {0x77, -1},    // Select: F8
    {0x5A, 0x0D},  // OK: Z, Return
    {0x58, 0x08},  // Cancel: X, Backspace
    {0x10, -1},    // L: Shift
    {0x11, -1},    // R: Control
    {0x41, -1},    // X: A
    {0x53, -1},    // Y: S
}};

std::array<int, kButtonCount> JoystickSources(const JoystickButtonMap& map) {
    return {CInputDevices::kJoystickUp,
            CInputDevices::kJoystickLeft,
            CInputDevices::kJoystickRight,
            CInputDevices::kJoystickDown,
            map.start,
            map.select,
            map.ok,
            map.cancel,
            map.l,
            map.r,
            map.x,
            map.y};
}

int ScaleToScreen(int value, int screenSize, int clientSize) {
    if (clientSize <= 0) return value;
    return static_cast<int>(static_cast<long long>(value) * screenSize / clientSize);
}

}  // namespace

void UpdateButtons(ButtonState& state, PointerMemory& memory, const FoldSources& sources) {
    const CInputDevices& devices = sources.devices;
    state.mouseX = ScaleToScreen(devices.mouseClientX(), kScreenWidth, sources.clientWidth);
    state.mouseY = ScaleToScreen(devices.mouseClientY(), kScreenHeight, sources.clientHeight);

    const bool left = devices.frameMouseLeft();
    const bool right = devices.frameMouseRight();
    state.leftClick = left && !memory.lastLeft;
    state.rightClick = right && !memory.lastRight;
    const bool inside =
        state.mouseX >= 0 && state.mouseX < kScreenWidth && state.mouseY >= 0 && state.mouseY < kScreenHeight;
    if (!inside) state.leftClick = state.rightClick = 0;

    const bool moved = state.mouseX != memory.lastX || state.mouseY != memory.lastY || left || right;
    memory.lastX = state.mouseX;
    memory.lastY = state.mouseY;
    memory.lastLeft = left;
    memory.lastRight = right;

    const std::array<int, kButtonCount> joystick = JoystickSources(sources.joystickButtons);
    bool anyDown = false;
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonSources keys = kButtonKeys[i];
        bool down = sources.keyState[keys.key1] != 0 || (keys.key2 >= 0 && sources.keyState[keys.key2] != 0);
        down = down || devices.JoystickReads(joystick[i]);
        state.down[i] = down;
        anyDown = anyDown || down;
    }

    if (moved) {
        state.pointerMode = 1;
    } else if (anyDown) {
        state.pointerMode = 0;
    }

    state.down[kButtonOk] |= state.leftClick;
    state.down[kButtonCancel] |= state.rightClick;

    state.extra = devices.frameExtra();
    for (int i = 0; i < kButtonCount; ++i) {
        const bool down = state.down[i];
        const bool before = state.previous[i];
        state.pressed[i] = down && !before;
        state.released[i] = !down && before;
        state.continuing[i] = down && before;
        state.previous[i] = down;
        if (state.pressed[i]) state.extra.anyPress = 1;
    }
}

}  // namespace zepa
