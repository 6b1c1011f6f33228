// CP932 <-> UTF-8 over tables made from the build machine's iconv (web/make-cp932-tables.cpp),
// for the browser, whose C library has no CP932. Bad input is treated as the desktop build's
// iconv loop treats it: the byte where a character fails is reported and skipped, and conversion
// goes on with the next byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zepa {

struct Cp932Tables {
    // Per byte: its code point, kLeadByte or kInvalidByte.
    const uint32_t* singleByte = nullptr;
    // [lead - 0x81][trail - 0x40]: the code point, 0 where the pair is no character.
    const uint16_t (*doubleByte)[191] = nullptr;
    // {code point, CP932 code} in code point order.
    const uint32_t (*encoding)[2] = nullptr;
    size_t encodingCount = 0;

    static constexpr uint32_t kLeadByte = 0x10000;
    static constexpr uint32_t kInvalidByte = 0x20000;
};

namespace cp932 {

inline void AppendUtf8(std::string& out, uint32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The character at `at`: its code point and byte count (0 when none starts there).
inline uint32_t DecodeAt(const Cp932Tables& tables, std::string_view in, size_t at, size_t& length) {
    const auto lead = static_cast<unsigned char>(in[at]);
    const uint32_t single = tables.singleByte[lead];
    length = 0;
    if (single < Cp932Tables::kLeadByte) {
        length = 1;
        return single;
    }
    if (single != Cp932Tables::kLeadByte || at + 1 >= in.size() || lead < 0x81 || lead > 0xFE) return 0;
    const auto trail = static_cast<unsigned char>(in[at + 1]);
    if (trail < 0x40 || trail > 0xFE) return 0;
    const uint32_t point = tables.doubleByte[lead - 0x81][trail - 0x40];
    if (point != 0) length = 2;
    return point;
}

// One strictly valid UTF-8 character at `at` (no overlong forms, surrogates or values past
// U+10FFFF); length 0 when the bytes there are none.
inline uint32_t Utf8At(std::string_view in, size_t at, size_t& length) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data()) + at;
    const size_t left = in.size() - at;
    length = 0;
    if (p[0] < 0x80) {
        length = 1;
        return p[0];
    }
    const size_t count = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (count == 0 || p[0] > 0xF4 || left < count) return 0;
    uint32_t point = p[0] & (0x7F >> count);
    for (size_t i = 1; i < count; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        point = point << 6 | (p[i] & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[count] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    length = count;
    return point;
}

// The CP932 code of a code point; false when it has none.
inline bool EncodePoint(const Cp932Tables& tables, uint32_t point, uint32_t& code) {
    const auto* end = tables.encoding + tables.encodingCount;
    const auto* found = std::lower_bound(tables.encoding, end, point,
                                         [](const uint32_t(&entry)[2], uint32_t p) { return entry[0] < p; });
    if (found == end || (*found)[0] != point) return false;
    code = (*found)[1];
    return true;
}

}  // namespace cp932

// CP932 to UTF-8; `onBadByte(out, byte)` for each byte that starts no character. False if some
// byte was bad.
template <typename BadByte>
bool DecodeCp932(const Cp932Tables& tables, std::string_view in, std::string& out, BadByte onBadByte) {
    out.clear();
    bool clean = true;
    for (size_t at = 0; at < in.size();) {
        size_t length = 0;
        const uint32_t point = cp932::DecodeAt(tables, in, at, length);
        if (length == 0) {
            clean = false;
            onBadByte(out, static_cast<unsigned char>(in[at]));
            ++at;
            continue;
        }
        cp932::AppendUtf8(out, point);
        at += length;
    }
    return clean;
}

// UTF-8 to CP932; `onBadByte(out, byte)` for each byte where no convertible character starts.
template <typename BadByte>
bool EncodeCp932(const Cp932Tables& tables, std::string_view in, std::string& out, BadByte onBadByte) {
    out.clear();
    bool clean = true;
    for (size_t at = 0; at < in.size();) {
        size_t length = 0;
        const uint32_t point = cp932::Utf8At(in, at, length);
        uint32_t code = 0;
        if (length == 0 || !cp932::EncodePoint(tables, point, code)) {
            clean = false;
            onBadByte(out, static_cast<unsigned char>(in[at]));
            ++at;
            continue;
        }
        if (code > 0xFF) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
        at += length;
    }
    return clean;
}

}  // namespace zepa
