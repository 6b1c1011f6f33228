#include "platform/VirtualKeys.h"

#include <cstdio>

namespace zepa::vk {
namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

constexpr NamedKey kNamedKeys[] = {
    {"Return", kReturn}, {"Space", kSpace},     {"Escape", kEscape}, {"Backspace", kBack},
    {"Shift", kShift},   {"Control", kControl}, {"Up", kUp},         {"Down", kDown},
    {"Left", kLeft},     {"Right", kRight},     {"PageUp", kPageUp}, {"PageDown", kPageDown},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return std::nullopt;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.name == name) return key.code;
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 12) return kF1 + number - 1;
        return std::nullopt;
    }
    if (name.size() >= 3 && name.size() <= 4 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        int code = 0;
        for (char c : name.substr(2)) {
            int digit = HexDigit(c);
            if (digit < 0) return std::nullopt;
            code = code * 16 + digit;
        }
        if (code >= 1 && code <= 255) return code;
    }
    return std::nullopt;
}

std::string NameOfKey(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == code) return std::string(key.name);
    }
    if (code >= kF1 && code <= kF12) return "F" + std::to_string(code - kF1 + 1);
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "0x%02X", code & 0xFF);
    return buffer;
}

}  // namespace zepa::vk
