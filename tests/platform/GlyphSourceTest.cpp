#include "platform/freetype/FreeTypeGlyphSource.h"

#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using testing::TestLog;

TEST(GlyphSource, WindowsJapaneseFaceNamesResolveToTheInstalledJapaneseFonts) {
    CFreeTypeGlyphSource source(TestLog());
    EXPECT_EQ(source.Resolve(Cp932("ＭＳ　Ｐゴシック")).family, "IPAPGothic");
    EXPECT_EQ(source.Resolve("MS PGothic").family, "IPAPGothic");
    EXPECT_EQ(source.Resolve("MS Gothic").family, "IPAGothic");
    EXPECT_EQ(source.Resolve(Cp932("ＭＳ 明朝")).family, "IPAMincho");
    EXPECT_EQ(source.Resolve("IPAPMincho").family, "IPAPMincho");
}

// The proportional IPA faces draw Latin letters far wider than the Windows faces; their fixed-pitch
// sisters draw them as narrow as the Windows faces do.
TEST(GlyphSource, ProportionalFacesDrawSingleByteCharactersFromTheirFixedPitchSister) {
    CFreeTypeGlyphSource source(TestLog());
    EXPECT_EQ(source.ResolveSingleByte(Cp932("ＭＳ　Ｐゴシック")).family, "IPAGothic");
    EXPECT_EQ(source.ResolveSingleByte("MS PMincho").family, "IPAMincho");
    EXPECT_TRUE(source.ResolveSingleByte("MS Gothic").file.empty());
    EXPECT_TRUE(source.ResolveSingleByte("IPAPGothic").file.empty());

    auto windowsFace = source.OpenFont(Cp932("ＭＳ　Ｐゴシック"), 24);
    auto fixed = source.OpenFont("IPAGothic", 24);
    auto proportional = source.OpenFont("IPAPGothic", 24);
    GlyphBitmap glyph, fixedGlyph, proportionalGlyph;
    ASSERT_TRUE(windowsFace->RenderGlyph('W', true, glyph));
    ASSERT_TRUE(fixed->RenderGlyph('W', true, fixedGlyph));
    ASSERT_TRUE(proportional->RenderGlyph('W', true, proportionalGlyph));
    EXPECT_EQ(glyph.data, fixedGlyph.data);
    EXPECT_EQ(glyph.originY, fixedGlyph.originY);
    EXPECT_LT(glyph.blackBoxX, proportionalGlyph.blackBoxX);
    // Double-byte characters stay the proportional face's (its katakana A is narrower).
    ASSERT_TRUE(windowsFace->RenderGlyph(0x8341, true, glyph));
    ASSERT_TRUE(proportional->RenderGlyph(0x8341, true, proportionalGlyph));
    ASSERT_TRUE(fixed->RenderGlyph(0x8341, true, fixedGlyph));
    EXPECT_EQ(glyph.data, proportionalGlyph.data);
    EXPECT_NE(glyph.data, fixedGlyph.data);
}

TEST(GlyphSource, AMissingFaceFallsBackToAFontWithJapaneseGlyphs) {
    CFreeTypeGlyphSource source(TestLog());
    auto font = source.OpenFont("No Such Face 12345", 24);
    GlyphBitmap glyph;
    EXPECT_TRUE(font->RenderGlyph(0x82A0, true, glyph));  // hiragana A
    EXPECT_GT(glyph.blackBoxX, 4);
    EXPECT_FALSE(source.Resolve("No Such Face 12345").file.empty());
}

TEST(GlyphSource, CellHeightSemanticsAndGreyLevels) {
    CFreeTypeGlyphSource source(TestLog());
    auto font = source.OpenFont(Cp932("ＭＳ　Ｐゴシック"), 24);
    EXPECT_EQ(font->CellHeight(), 24);
    EXPECT_GT(font->Ascent(), 16);
    EXPECT_LT(font->Ascent(), 24);
    GlyphBitmap glyph;
    ASSERT_TRUE(font->RenderGlyph(0x8C8E, true, glyph));  // a kanji
    EXPECT_LE(glyph.blackBoxY, 24);
    EXPECT_EQ(glyph.stride % 4, 0);
    EXPECT_GE(glyph.stride, glyph.blackBoxX);
    int maxLevel = 0;
    for (uint8_t level : glyph.data) maxLevel = std::max<int>(maxLevel, level);
    EXPECT_EQ(maxLevel, 64);  // full coverage somewhere, never above 64
}

TEST(GlyphSource, OneBitGlyphsAndCodesWithoutAGlyph) {
    CFreeTypeGlyphSource source(TestLog());
    auto font = source.OpenFont("MS Gothic", 16);
    GlyphBitmap glyph;
    ASSERT_TRUE(font->RenderGlyph('A', false, glyph));
    EXPECT_EQ(glyph.stride, (glyph.blackBoxX + 31) / 32 * 4);
    int bits = 0;
    for (uint8_t byte : glyph.data) bits += __builtin_popcount(byte);
    EXPECT_GT(bits, 10);
    // A lead byte with the terminating zero as its trail byte is no character.
    EXPECT_FALSE(font->RenderGlyph(0x8200, true, glyph));
    // The same font object comes back for the same face and size.
    EXPECT_EQ(source.OpenFont("MS Gothic", 16), font);
}

TEST(GlyphSource, KeptFontsAndGlyphsStayBoundedWhateverSizesAScriptAsksFor) {
    CFreeTypeGlyphSource source(TestLog());
    auto held = source.OpenFont("IPAGothic", 30);
    GlyphBitmap first;
    ASSERT_TRUE(held->RenderGlyph(0x82A0, true, first));
    for (int height = 1; height <= 3 * static_cast<int>(CFreeTypeGlyphSource::kMaxKeptFonts); ++height)
        source.OpenFont("IPAGothic", -height);
    EXPECT_LE(source.KeptFontCount(), CFreeTypeGlyphSource::kMaxKeptFonts);
    // A font a canvas still holds stays the one handed out.
    EXPECT_EQ(source.OpenFont("IPAGothic", 30), held);

    // Every kanji of the first levels at a large size: the cache starts over instead of growing,
    // and a glyph rendered again after that is the same.
    auto large = source.OpenFont("IPAGothic", 200);
    GlyphBitmap before;
    ASSERT_TRUE(large->RenderGlyph(0x8C8E, true, before));
    GlyphBitmap glyph;
    size_t peak = 0;
    for (uint32_t lead = 0x88; lead <= 0x8B; ++lead) {
        for (uint32_t trail = 0x40; trail <= 0xFC; ++trail) {
            large->RenderGlyph(lead << 8 | trail, true, glyph);
            peak = std::max(peak, large->CachedGlyphBytes());
        }
    }
    EXPECT_GT(peak, size_t{1} << 20);
    EXPECT_LE(peak, size_t{4} << 20);
    EXPECT_LT(large->CachedGlyphBytes(), peak);
    GlyphBitmap again;
    ASSERT_TRUE(large->RenderGlyph(0x8C8E, true, again));
    EXPECT_EQ(again.data, before.data);
    ASSERT_TRUE(held->RenderGlyph(0x82A0, true, again));
    EXPECT_EQ(again.data, first.data);
}

}  // namespace
}  // namespace zepa
