// The browser's CP932 conversion (tables generated from iconv, Cp932Codec.h) against the desktop's
// iconv conversion, over every single byte, every byte pair, every character of the Basic
// Multilingual Plane and a few broken inputs.
#include "platform/web/Cp932Codec.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/Cp932.h"

namespace zepa {
namespace {

#include "Cp932Tables.inc"

constexpr Cp932Tables kTables{kSingleByte, kDoubleByte, kEncoding, std::size(kEncoding)};

std::string WebToUtf8(std::string_view cp932) {
    std::string out;
    DecodeCp932(kTables, cp932, out, [](std::string& o, unsigned char) { o += "\xEF\xBF\xBD"; });
    return out;
}

std::string WebToCp932(std::string_view utf8) {
    std::string out;
    EncodeCp932(kTables, utf8, out, [](std::string& o, unsigned char c) {
        if ((c & 0xC0) != 0x80) o += '?';
    });
    return out;
}

std::string Utf8Of(uint32_t point) {
    std::string out;
    cp932::AppendUtf8(out, point);
    return out;
}

TEST(WebCp932, DecodesEveryByteAndBytePairAsIconvDoes) {
    for (int lead = 0; lead < 256; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        ASSERT_EQ(WebToUtf8(single), Cp932ToUtf8(single)) << lead;
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(WebToUtf8(pair), Cp932ToUtf8(pair)) << lead << " " << trail;
        }
    }
}

TEST(WebCp932, EncodesEveryCharacterOfTheBasicPlaneAsIconvDoes) {
    for (uint32_t point = 1; point <= 0xFFFF; ++point) {
        if (point >= 0xD800 && point <= 0xDFFF) continue;
        const std::string utf8 = Utf8Of(point);
        ASSERT_EQ(WebToCp932(utf8), Cp932(utf8)) << point;
    }
}

TEST(WebCp932, BrokenInputFailsByteByByteAsIconvDoes) {
    for (const std::string_view utf8 : {"a\xC3", "\xE3\x81", "\xC0\xAF", "\xED\xA0\x80x", "\xF0\x9F\x98\x80!",
                                        "\xF5\x80\x80\x80", "\x80z"}) {
        EXPECT_EQ(WebToCp932(utf8), Cp932(utf8)) << utf8;
    }
    for (const std::string_view cp932 : {"\x82", "a\x82\x20", "\x87\x40\x87", "\xFD\xFE\xFF\x80\xA0"})
        EXPECT_EQ(WebToUtf8(cp932), Cp932ToUtf8(cp932)) << cp932;
}

}  // namespace
}  // namespace zepa
