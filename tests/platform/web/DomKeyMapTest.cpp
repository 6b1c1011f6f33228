// The browser's key codes must give the engine the virtual keys the desktop build gives for the
// same keys, so that key settings and replays mean the same keys in both.
#include "platform/web/DomKeyMap.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/SdlKeyMap.h"

namespace zepa {
namespace {

// The same physical key of a US keyboard as the browser and SDL name it.
std::vector<std::pair<std::string, SDL_Keycode>> SameKeys() {
    std::vector<std::pair<std::string, SDL_Keycode>> keys = {
        {"Backspace", SDLK_BACKSPACE},
        {"Tab", SDLK_TAB},
        {"Enter", SDLK_RETURN},
        {"NumpadEnter", SDLK_KP_ENTER},
        {"ShiftLeft", SDLK_LSHIFT},
        {"ShiftRight", SDLK_RSHIFT},
        {"ControlLeft", SDLK_LCTRL},
        {"ControlRight", SDLK_RCTRL},
        {"AltLeft", SDLK_LALT},
        {"AltRight", SDLK_RALT},
        {"Pause", SDLK_PAUSE},
        {"CapsLock", SDLK_CAPSLOCK},
        {"Escape", SDLK_ESCAPE},
        {"Space", SDLK_SPACE},
        {"PageUp", SDLK_PAGEUP},
        {"PageDown", SDLK_PAGEDOWN},
        {"End", SDLK_END},
        {"Home", SDLK_HOME},
        {"ArrowLeft", SDLK_LEFT},
        {"ArrowUp", SDLK_UP},
        {"ArrowRight", SDLK_RIGHT},
        {"ArrowDown", SDLK_DOWN},
        {"Insert", SDLK_INSERT},
        {"Delete", SDLK_DELETE},
        {"NumpadMultiply", SDLK_KP_MULTIPLY},
        {"NumpadAdd", SDLK_KP_PLUS},
        {"NumpadSubtract", SDLK_KP_MINUS},
        {"NumpadDecimal", SDLK_KP_PERIOD},
        {"NumpadDivide", SDLK_KP_DIVIDE},
        {"Semicolon", SDLK_SEMICOLON},
        {"Equal", SDLK_EQUALS},
        {"Comma", SDLK_COMMA},
        {"Minus", SDLK_MINUS},
        {"Period", SDLK_PERIOD},
        {"Slash", SDLK_SLASH},
        {"Backquote", SDLK_BACKQUOTE},
        {"BracketLeft", SDLK_LEFTBRACKET},
        {"Backslash", SDLK_BACKSLASH},
        {"BracketRight", SDLK_RIGHTBRACKET},
        {"Quote", SDLK_QUOTE},
        {"Numpad0", SDLK_KP_0},
    };
    for (char c = 'A'; c <= 'Z'; ++c) keys.emplace_back(std::string("Key") + c, SDLK_a + (c - 'A'));
    for (int d = 0; d <= 9; ++d) keys.emplace_back("Digit" + std::to_string(d), SDLK_0 + d);
    for (int f = 1; f <= 12; ++f) keys.emplace_back("F" + std::to_string(f), SDLK_F1 + (f - 1));
    for (int n = 1; n <= 9; ++n) keys.emplace_back("Numpad" + std::to_string(n), SDLK_KP_1 + (n - 1));
    return keys;
}

TEST(DomKeyMap, EveryKeyGivesTheVirtualKeyTheDesktopGivesForIt) {
    for (const auto& [code, sdl] : SameKeys()) {
        const int expected = VirtualKeyFromSdl(sdl);
        EXPECT_NE(expected, 0) << code;
        EXPECT_EQ(VirtualKeyFromDomCode(code), expected) << code;
    }
}

TEST(DomKeyMap, KeysTheEngineDoesNotKnowGiveNothing) {
    for (const char* code : {"", "F13", "F0", "F01", "KeyAA", "Keya", "Key", "Digit10", "Digit", "Numpad10",
                             "IntlYen", "MetaLeft", "ContextMenu", "enter"})
        EXPECT_EQ(VirtualKeyFromDomCode(code), 0) << code;
}

}  // namespace
}  // namespace zepa
