#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace zepa {
namespace {

TEST(Cp932, JapaneseTextRoundTrips) {
    const std::string utf8 = "文法ミス？について　ＭＳ　Ｐゴシック";
    std::string cp932;
    ASSERT_TRUE(Utf8ToCp932(utf8, cp932));
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
    // "テスト" in Shift-JIS.
    EXPECT_EQ(Cp932("テスト"), "\x83\x65\x83\x58\x83\x67");
}

TEST(Cp932, HalfWidthKatakanaAndTheIdeographicSpace) {
    EXPECT_EQ(Cp932ToUtf8("\xB1\xB2\xB3"), "ｱｲｳ");  // single-byte katakana
    EXPECT_EQ(Cp932ToUtf8("\x81\x40"), "\u3000");   // the 0x8140 space
    std::string back;
    ASSERT_TRUE(Utf8ToCp932("ｱ\u3000", back));
    EXPECT_EQ(back, "\xB1\x81\x40");
}

TEST(Cp932, InvalidBytesNeverStopTheConversion) {
    // A trailing lone lead byte.
    EXPECT_EQ(Cp932ToUtf8("AB\x82"), "AB\xEF\xBF\xBD");
    // A lead byte followed by an invalid trail byte, then more text.
    const std::string mixed = Cp932ToUtf8(std::string("\x82\x01z", 3));
    EXPECT_NE(mixed.find('z'), std::string::npos);
    // For JSON every undecodable byte survives as U+00XX.
    EXPECT_EQ(Cp932ToJsonText("A\x82"), "A\xC2\x82");
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(Cp932, TextWithoutACp932FormIsRefused) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp932("emoji \xF0\x9F\x98\x80", out));
    EXPECT_FALSE(Utf8ToCp932("\xFF broken utf-8", out));
    EXPECT_EQ(Cp932("a\xF0\x9F\x98\x80z"), "a?z");
}

TEST(Cp932, LeadBytes) {
    EXPECT_TRUE(IsCp932LeadByte(0x81));
    EXPECT_TRUE(IsCp932LeadByte(0x9F));
    EXPECT_FALSE(IsCp932LeadByte(0xA0));
    EXPECT_FALSE(IsCp932LeadByte(0xDF));
    EXPECT_TRUE(IsCp932LeadByte(0xE0));
    EXPECT_TRUE(IsCp932LeadByte(0xFE));
    EXPECT_FALSE(IsCp932LeadByte(0xFF));
    EXPECT_FALSE(IsCp932LeadByte(0x80));
}

}  // namespace
}  // namespace zepa
