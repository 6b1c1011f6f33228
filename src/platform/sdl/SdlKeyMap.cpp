#include "platform/sdl/SdlKeyMap.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/VirtualKeys.h"

namespace zepa {
namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

constexpr KeyPair kKeyTable[] = {
    {SDLK_BACKSPACE, vk::kBack},  {SDLK_TAB, vk::kTab},       {SDLK_RETURN, vk::kReturn},
    {SDLK_KP_ENTER, vk::kReturn}, {SDLK_LSHIFT, vk::kShift},  {SDLK_RSHIFT, vk::kShift},
    {SDLK_LCTRL, vk::kControl},   {SDLK_RCTRL, vk::kControl}, {SDLK_LALT, vk::kMenu},
    {SDLK_RALT, vk::kMenu},       {SDLK_PAUSE, 0x13},         {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, vk::kEscape},   {SDLK_SPACE, vk::kSpace},   {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},        {SDLK_END, 0x23},           {SDLK_HOME, 0x24},
    {SDLK_LEFT, vk::kLeft},       {SDLK_UP, vk::kUp},         {SDLK_RIGHT, vk::kRight},
    {SDLK_DOWN, vk::kDown},       {SDLK_INSERT, 0x2D},        {SDLK_DELETE, 0x2E},
    {SDLK_KP_MULTIPLY, 0x6A},     {SDLK_KP_PLUS, 0x6B},       {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},       {SDLK_KP_DIVIDE, 0x6F},     {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},          {SDLK_COMMA, 0xBC},         {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},          {SDLK_SLASH, 0xBF},         {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB},     {SDLK_BACKSLASH, 0xDC},     {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},
};

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk::kF1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + (key - SDLK_KP_1);
    if (key == SDLK_KP_0) return 0x60;
    for (const KeyPair& pair : kKeyTable) {
        if (pair.sdl == key) return pair.vk;
    }
    return 0;
}

bool MouseButtonEventFromSdl(const SDL_MouseButtonEvent& event, PlatformEvent& out) {
    if (event.button != SDL_BUTTON_LEFT && event.button != SDL_BUTTON_RIGHT &&
        event.button != SDL_BUTTON_MIDDLE)
        return false;
    out = PlatformEvent{};
    out.kind = PlatformEvent::Kind::MouseButton;
    out.button = event.button == SDL_BUTTON_LEFT ? 0 : event.button == SDL_BUTTON_RIGHT ? 1 : 2;
    out.down = event.type == SDL_MOUSEBUTTONDOWN;
    return true;
}

bool MouseWheelEventFromSdl(const SDL_MouseWheelEvent& event, PlatformEvent& out) {
    const int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (notches == 0) return false;
    out = PlatformEvent{};
    out.kind = PlatformEvent::Kind::MouseWheel;
    out.value = std::clamp(notches, -100, 100);
    return true;
}

void JoyButtonEventFromSdl(const SDL_JoyButtonEvent& event, PlatformEvent& out) {
    out = PlatformEvent{};
    out.kind = PlatformEvent::Kind::JoyButton;
    out.button = event.button;
    out.down = event.type == SDL_JOYBUTTONDOWN;
}

namespace {

PlatformEvent AxisEvent(int axis, Sint16 value) {
    PlatformEvent out;
    out.kind = PlatformEvent::Kind::JoyAxis;
    out.axis = axis;
    out.value = std::clamp(value * 1000 / 32767, -1000, 1000);
    return out;
}

PlatformEvent HatEvent(int directions) {
    PlatformEvent out;
    out.kind = PlatformEvent::Kind::JoyHat;
    out.value = directions;
    return out;
}

}  // namespace

bool JoyAxisEventFromSdl(const SDL_JoyAxisEvent& event, PlatformEvent& out) {
    if (event.axis > 1) return false;
    out = AxisEvent(event.axis, event.value);
    return true;
}

bool JoyHatEventFromSdl(const SDL_JoyHatEvent& event, PlatformEvent& out) {
    if (event.hat != 0) return false;
    int directions = 0;
    if (event.value & SDL_HAT_UP) directions |= kHatUp;
    if (event.value & SDL_HAT_RIGHT) directions |= kHatRight;
    if (event.value & SDL_HAT_DOWN) directions |= kHatDown;
    if (event.value & SDL_HAT_LEFT) directions |= kHatLeft;
    out = HatEvent(directions);
    return true;
}

bool ControllerButtonEventFromSdl(const SDL_ControllerButtonEvent& event, int& dpad, PlatformEvent& out) {
    static constexpr SDL_GameControllerButton kNumbered[] = {SDL_CONTROLLER_BUTTON_A,
                                                             SDL_CONTROLLER_BUTTON_B,
                                                             SDL_CONTROLLER_BUTTON_START,
                                                             SDL_CONTROLLER_BUTTON_BACK,
                                                             SDL_CONTROLLER_BUTTON_X,
                                                             SDL_CONTROLLER_BUTTON_Y,
                                                             SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                             SDL_CONTROLLER_BUTTON_RIGHTSHOULDER};
    static constexpr std::pair<SDL_GameControllerButton, int> kDpad[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, kHatUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kHatDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kHatLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kHatRight}};
    const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
    for (size_t i = 0; i < std::size(kNumbered); ++i) {
        if (event.button != kNumbered[i]) continue;
        out = PlatformEvent{};
        out.kind = PlatformEvent::Kind::JoyButton;
        out.button = kControllerButtonNumbers[i];
        out.down = down;
        return true;
    }
    for (const auto& [button, direction] : kDpad) {
        if (event.button != button) continue;
        dpad = down ? dpad | direction : dpad & ~direction;
        out = HatEvent(dpad);
        return true;
    }
    return false;
}

bool ControllerAxisEventFromSdl(const SDL_ControllerAxisEvent& event, PlatformEvent& out) {
    if (event.axis != SDL_CONTROLLER_AXIS_LEFTX && event.axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
    out = AxisEvent(event.axis == SDL_CONTROLLER_AXIS_LEFTX ? 0 : 1, event.value);
    return true;
}

}  // namespace zepa
