// Windows virtual-key codes: the engine's key-state array and the replay files index keys by them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zepa::vk {

inline constexpr int kBack = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kMenu = 0x12;  // Alt
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPageUp = 0x21;    // VK_PRIOR
inline constexpr int kPageDown = 0x22;  // VK_NEXT
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kF1 = 0x70;
inline constexpr int kF2 = 0x71;
inline constexpr int kF3 = 0x72;
inline constexpr int kF4 = 0x73;
inline constexpr int kF5 = 0x74;
inline constexpr int kF6 = 0x75;
inline constexpr int kF7 = 0x76;
inline constexpr int kF9 = 0x78;
inline constexpr int kF10 = 0x79;
inline constexpr int kF11 = 0x7A;
inline constexpr int kF12 = 0x7B;

// Parses a replay key name: a letter, a digit, Return, Space, Escape, Backspace, Shift, Control,
// Up, Down, Left, Right, PageUp, PageDown, F1..F12, or 0xNN for any code (1..255).
std::optional<int> KeyFromName(std::string_view name);
// The replay name of a code (a named key where there is one, else 0xNN).
std::string NameOfKey(int code);

}  // namespace zepa::vk
