// The SDL input translation, entry by entry: every SDL key code of the ASCII and scancode ranges
// against the Windows virtual-key code it must give (0: a key the engine ignores), and the mouse
// and joystick events.
#include <gtest/gtest.h>

#include <map>

#include "platform/sdl/SdlKeyMap.h"

namespace zepa {
namespace {

std::map<SDL_Keycode, int> ExpectedVirtualKeys() {
    std::map<SDL_Keycode, int> expected = {
        {SDLK_BACKSPACE, 0x08},     // VK_BACK
        {SDLK_TAB, 0x09},           // VK_TAB
        {SDLK_RETURN, 0x0D},        // VK_RETURN
        {SDLK_KP_ENTER, 0x0D},      // VK_RETURN
        {SDLK_LSHIFT, 0x10},        // VK_SHIFT
        {SDLK_RSHIFT, 0x10},        // VK_SHIFT
        {SDLK_LCTRL, 0x11},         // VK_CONTROL
        {SDLK_RCTRL, 0x11},         // VK_CONTROL
        {SDLK_LALT, 0x12},          // VK_MENU
        {SDLK_RALT, 0x12},          // VK_MENU
        {SDLK_PAUSE, 0x13},         // VK_PAUSE
        {SDLK_CAPSLOCK, 0x14},      // VK_CAPITAL
        {SDLK_ESCAPE, 0x1B},        // VK_ESCAPE
        {SDLK_SPACE, 0x20},         // VK_SPACE
        {SDLK_PAGEUP, 0x21},        // VK_PRIOR
        {SDLK_PAGEDOWN, 0x22},      // VK_NEXT
        {SDLK_END, 0x23},           // VK_END
        {SDLK_HOME, 0x24},          // VK_HOME
        {SDLK_LEFT, 0x25},          // VK_LEFT
        {SDLK_UP, 0x26},            // VK_UP
        {SDLK_RIGHT, 0x27},         // VK_RIGHT
        {SDLK_DOWN, 0x28},          // VK_DOWN
        {SDLK_INSERT, 0x2D},        // VK_INSERT
        {SDLK_DELETE, 0x2E},        // VK_DELETE
        {SDLK_KP_MULTIPLY, 0x6A},   // VK_MULTIPLY
        {SDLK_KP_PLUS, 0x6B},       // VK_ADD
        {SDLK_KP_MINUS, 0x6D},      // VK_SUBTRACT
        {SDLK_KP_PERIOD, 0x6E},     // VK_DECIMAL
        {SDLK_KP_DIVIDE, 0x6F},     // VK_DIVIDE
        {SDLK_SEMICOLON, 0xBA},     // VK_OEM_1
        {SDLK_EQUALS, 0xBB},        // VK_OEM_PLUS
        {SDLK_COMMA, 0xBC},         // VK_OEM_COMMA
        {SDLK_MINUS, 0xBD},         // VK_OEM_MINUS
        {SDLK_PERIOD, 0xBE},        // VK_OEM_PERIOD
        {SDLK_SLASH, 0xBF},         // VK_OEM_2
        {SDLK_BACKQUOTE, 0xC0},     // VK_OEM_3
        {SDLK_LEFTBRACKET, 0xDB},   // VK_OEM_4
        {SDLK_BACKSLASH, 0xDC},     // VK_OEM_5
        {SDLK_RIGHTBRACKET, 0xDD},  // VK_OEM_6
        {SDLK_QUOTE, 0xDE},         // VK_OEM_7
    };
    const SDL_Keycode letters[] = {SDLK_a, SDLK_b, SDLK_c, SDLK_d, SDLK_e, SDLK_f, SDLK_g, SDLK_h, SDLK_i,
                                   SDLK_j, SDLK_k, SDLK_l, SDLK_m, SDLK_n, SDLK_o, SDLK_p, SDLK_q, SDLK_r,
                                   SDLK_s, SDLK_t, SDLK_u, SDLK_v, SDLK_w, SDLK_x, SDLK_y, SDLK_z};
    for (int i = 0; i < 26; ++i) expected[letters[i]] = 0x41 + i;  // 'A'..'Z'
    const SDL_Keycode digits[] = {SDLK_0, SDLK_1, SDLK_2, SDLK_3, SDLK_4,
                                  SDLK_5, SDLK_6, SDLK_7, SDLK_8, SDLK_9};
    for (int i = 0; i < 10; ++i) expected[digits[i]] = 0x30 + i;  // '0'..'9'
    const SDL_Keycode keypad[] = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                  SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 10; ++i) expected[keypad[i]] = 0x60 + i;  // VK_NUMPAD0..9
    const SDL_Keycode functions[] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                     SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
    for (int i = 0; i < 12; ++i) expected[functions[i]] = 0x70 + i;  // VK_F1..F12
    return expected;
}

// Every key code of the character range and of the scancode range, so a wrong, missing or extra
// entry shows up.
TEST(SdlInputMap, EveryKeyCodeGivesItsVirtualKey) {
    const std::map<SDL_Keycode, int> expected = ExpectedVirtualKeys();
    for (SDL_Keycode key = 0; key < 0x80; ++key) {
        const auto found = expected.find(key);
        EXPECT_EQ(VirtualKeyFromSdl(key), found == expected.end() ? 0 : found->second) << key;
    }
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const SDL_Keycode key = SDL_SCANCODE_TO_KEYCODE(scancode);
        const auto found = expected.find(key);
        EXPECT_EQ(VirtualKeyFromSdl(key), found == expected.end() ? 0 : found->second) << scancode;
    }
}

TEST(SdlInputMap, LeftRightAndMiddleMouseButtonsAreButtonsZeroOneAndTwo) {
    struct Case {
        Uint8 sdlButton;
        bool reported;
        int button;
    };
    for (const Case& c :
         {Case{SDL_BUTTON_LEFT, true, 0}, Case{SDL_BUTTON_RIGHT, true, 1}, Case{SDL_BUTTON_MIDDLE, true, 2},
          Case{SDL_BUTTON_X1, false, 0}, Case{SDL_BUTTON_X2, false, 0}}) {
        for (const Uint32 type : {Uint32{SDL_MOUSEBUTTONDOWN}, Uint32{SDL_MOUSEBUTTONUP}}) {
            SDL_MouseButtonEvent event{};
            event.type = type;
            event.button = c.sdlButton;
            event.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            PlatformEvent out;
            out.kind = PlatformEvent::Kind::Quit;
            ASSERT_EQ(MouseButtonEventFromSdl(event, out), c.reported) << int{c.sdlButton};
            if (!c.reported) continue;
            EXPECT_EQ(out.kind, PlatformEvent::Kind::MouseButton);
            EXPECT_EQ(out.button, c.button);
            EXPECT_EQ(out.down, type == SDL_MOUSEBUTTONDOWN);
        }
    }
}

TEST(SdlInputMap, JoystickButtonsKeepTheirIndex) {
    for (Uint8 index : {Uint8{0}, Uint8{5}, Uint8{31}}) {
        for (const Uint32 type : {Uint32{SDL_JOYBUTTONDOWN}, Uint32{SDL_JOYBUTTONUP}}) {
            SDL_JoyButtonEvent event{};
            event.type = type;
            event.button = index;
            PlatformEvent out;
            JoyButtonEventFromSdl(event, out);
            EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyButton);
            EXPECT_EQ(out.button, index);
            EXPECT_EQ(out.down, type == SDL_JOYBUTTONDOWN);
        }
    }
}

TEST(SdlInputMap, JoystickAxesXAndYScaleToAThousand) {
    struct Case {
        Sint16 raw;
        int scaled;
    };
    for (Uint8 axis : {Uint8{0}, Uint8{1}}) {
        for (const Case& c :
             {Case{0, 0}, Case{32767, 1000}, Case{-32768, -1000}, Case{16384, 500}, Case{-3277, -100}}) {
            SDL_JoyAxisEvent event{};
            event.type = SDL_JOYAXISMOTION;
            event.axis = axis;
            event.value = c.raw;
            PlatformEvent out;
            ASSERT_TRUE(JoyAxisEventFromSdl(event, out));
            EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyAxis);
            EXPECT_EQ(out.axis, axis);
            EXPECT_EQ(out.value, c.scaled) << c.raw;
        }
    }
    SDL_JoyAxisEvent other{};
    other.type = SDL_JOYAXISMOTION;
    other.axis = 2;
    other.value = 32767;
    PlatformEvent out;
    EXPECT_FALSE(JoyAxisEventFromSdl(other, out));
}

TEST(SdlInputMap, TheFirstHatGivesItsDirections) {
    SDL_JoyHatEvent event{};
    event.type = SDL_JOYHATMOTION;
    event.value = SDL_HAT_LEFTUP;
    PlatformEvent out;
    ASSERT_TRUE(JoyHatEventFromSdl(event, out));
    EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyHat);
    EXPECT_EQ(out.value, kHatLeft | kHatUp);
    event.value = SDL_HAT_CENTERED;
    ASSERT_TRUE(JoyHatEventFromSdl(event, out));
    EXPECT_EQ(out.value, 0);
    event.hat = 1;
    EXPECT_FALSE(JoyHatEventFromSdl(event, out));
}

TEST(SdlInputMap, GameControllerButtonsBecomeTheDefaultButtonNumbersAndTheDpadAHat) {
    const struct {
        SDL_GameControllerButton button;
        int number;
    } numbered[] = {{SDL_CONTROLLER_BUTTON_A, 1},
                    {SDL_CONTROLLER_BUTTON_B, 2},
                    {SDL_CONTROLLER_BUTTON_START, 3},
                    {SDL_CONTROLLER_BUTTON_BACK, 4},
                    {SDL_CONTROLLER_BUTTON_X, 5},
                    {SDL_CONTROLLER_BUTTON_Y, 6},
                    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 7},
                    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 8}};
    int dpad = 0;
    for (const auto& c : numbered) {
        SDL_ControllerButtonEvent event{};
        event.type = SDL_CONTROLLERBUTTONDOWN;
        event.button = c.button;
        PlatformEvent out;
        ASSERT_TRUE(ControllerButtonEventFromSdl(event, dpad, out)) << c.number;
        EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyButton);
        EXPECT_EQ(out.button, c.number);
        EXPECT_TRUE(out.down);
    }
    SDL_ControllerButtonEvent event{};
    event.type = SDL_CONTROLLERBUTTONDOWN;
    event.button = SDL_CONTROLLER_BUTTON_DPAD_UP;
    PlatformEvent out;
    ASSERT_TRUE(ControllerButtonEventFromSdl(event, dpad, out));
    EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyHat);
    EXPECT_EQ(out.value, kHatUp);
    event.button = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    ASSERT_TRUE(ControllerButtonEventFromSdl(event, dpad, out));
    EXPECT_EQ(out.value, kHatUp | kHatRight);
    event.type = SDL_CONTROLLERBUTTONUP;
    event.button = SDL_CONTROLLER_BUTTON_DPAD_UP;
    ASSERT_TRUE(ControllerButtonEventFromSdl(event, dpad, out));
    EXPECT_EQ(out.value, kHatRight);
    event.button = SDL_CONTROLLER_BUTTON_GUIDE;
    EXPECT_FALSE(ControllerButtonEventFromSdl(event, dpad, out));

    SDL_ControllerAxisEvent axis{};
    axis.type = SDL_CONTROLLERAXISMOTION;
    axis.axis = SDL_CONTROLLER_AXIS_LEFTY;
    axis.value = -32768;
    ASSERT_TRUE(ControllerAxisEventFromSdl(axis, out));
    EXPECT_EQ(out.kind, PlatformEvent::Kind::JoyAxis);
    EXPECT_EQ(out.axis, 1);
    EXPECT_EQ(out.value, -1000);
    axis.axis = SDL_CONTROLLER_AXIS_TRIGGERLEFT;
    EXPECT_FALSE(ControllerAxisEventFromSdl(axis, out));
}

}  // namespace
}  // namespace zepa
