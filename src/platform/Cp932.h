// Conversion between the engine's CP932 (Shift-JIS) byte strings and UTF-8 at the edges of the
// system (file names, window title, message boxes, glyph lookup, JSON output).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zepa {

// Converts CP932 bytes to UTF-8. A byte sequence that is not valid CP932 (a lone lead byte, an
// unmapped pair) becomes U+FFFD for that byte and conversion goes on.
std::string Cp932ToUtf8(std::string_view cp932);

// Like Cp932ToUtf8 but each undecodable byte XX becomes the character U+00XX, so JSON output keeps
// every byte (a JSON writer escapes it as \u00XX).
std::string Cp932ToJsonText(std::string_view cp932);

// Converts UTF-8 to CP932. Returns false (and leaves `out` unspecified) when some character has
// no CP932 form or the input is not valid UTF-8.
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// UTF-8 literal to CP932 for the system's own texts; characters without a CP932 form become '?'.
std::string Cp932(std::string_view utf8);

// The first `limit` bytes of `text` or fewer: never half a double-byte character.
std::string CutCp932(const std::string& text, size_t limit);

// True when `byte` is a lead byte of a double-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFE);
}

}  // namespace zepa
