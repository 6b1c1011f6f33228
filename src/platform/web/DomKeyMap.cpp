#include "platform/web/DomKeyMap.h"

#include "platform/VirtualKeys.h"

namespace zepa {
namespace {

struct DomKey {
    std::string_view code;
    int vk;
};

constexpr DomKey kKeyTable[] = {
    {"Backspace", vk::kBack},
    {"Tab", vk::kTab},
    {"Enter", vk::kReturn},
    {"NumpadEnter", vk::kReturn},
    {"ShiftLeft", vk::kShift},
    {"ShiftRight", vk::kShift},
    {"ControlLeft", vk::kControl},
    {"ControlRight", vk::kControl},
    {"AltLeft", vk::kMenu},
    {"AltRight", vk::kMenu},
    {"Pause", 0x13},
    {"CapsLock", 0x14},
    {"Escape", vk::kEscape},
    {"Space", vk::kSpace},
    {"PageUp", vk::kPageUp},
    {"PageDown", vk::kPageDown},
    {"End", 0x23},
    {"Home", 0x24},
    {"ArrowLeft", vk::kLeft},
    {"ArrowUp", vk::kUp},
    {"ArrowRight", vk::kRight},
    {"ArrowDown", vk::kDown},
    {"Insert", 0x2D},
    {"Delete", 0x2E},
    {"NumpadMultiply", 0x6A},
    {"NumpadAdd", 0x6B},
    {"NumpadSubtract", 0x6D},
    {"NumpadDecimal", 0x6E},
    {"NumpadDivide", 0x6F},
    {"Semicolon", 0xBA},
    {"Equal", 0xBB},
    {"Comma", 0xBC},
    {"Minus", 0xBD},
    {"Period", 0xBE},
    {"Slash", 0xBF},
    {"Backquote", 0xC0},
    {"BracketLeft", 0xDB},
    {"Backslash", 0xDC},
    {"BracketRight", 0xDD},
    {"Quote", 0xDE},
};

// The number after `prefix` in `code` when it lies in first..last ("F7" -> 7); -1 otherwise.
int NumberAfter(std::string_view code, std::string_view prefix, int first, int last) {
    if (code.size() <= prefix.size() || code.size() > prefix.size() + 2 || !code.starts_with(prefix))
        return -1;
    int value = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    if (code.size() == prefix.size() + 2 && code[prefix.size()] == '0') return -1;
    return value >= first && value <= last ? value : -1;
}

}  // namespace

int VirtualKeyFromDomCode(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z') return code[3];
    if (const int digit = NumberAfter(code, "Digit", 0, 9); digit >= 0) return '0' + digit;
    if (const int f = NumberAfter(code, "F", 1, 12); f >= 0) return vk::kF1 + f - 1;
    if (const int pad = NumberAfter(code, "Numpad", 0, 9); pad >= 0) return 0x60 + pad;
    for (const DomKey& key : kKeyTable) {
        if (key.code == code) return key.vk;
    }
    return 0;
}

}  // namespace zepa
