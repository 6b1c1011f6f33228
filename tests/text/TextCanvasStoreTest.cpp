#include "text/TextCanvasStore.h"

#include <gtest/gtest.h>

#include "text/FakeGlyphSource.h"

namespace zepa {
namespace {

using testing::FakeGlyphSource;
using testing::GreyGlyph;

class TextCanvasStoreTest : public ::testing::Test {
  protected:
    // A canvas of 64 x 32 with white text at full alpha, font size 24, ascent 20.
    void SetUp() override {
        ASSERT_TRUE(store.CreateCanvas(0, 64, 32));
        TextCanvas& canvas = *store.Current();
        canvas.textAlpha = 255;
        canvas.textColor = 0xFFFFFF;
        ASSERT_TRUE(store.BeginFont(0, "face", 24));
    }
    uint32_t Pixel(int x, int y) { return store.GetCanvasTexture(0)->TexelAt(x, y); }
    TextCanvas& canvas() { return *store.Current(); }

    FakeGlyphSource glyphs;
    CTextCanvasStore store{glyphs};
};

TEST_F(TextCanvasStoreTest, PenAdvancesByInkedWidthPlusOneThenTwo) {
    glyphs.font->grey[0x82A0] = GreyGlyph({std::vector<uint8_t>(10, 64)}, 20);
    glyphs.font->grey[0x82A2] = GreyGlyph({std::vector<uint8_t>(7, 64)}, 20);
    store.DrawString("\x82\xA0");
    EXPECT_EQ(canvas().penX, 11);
    store.DrawString("\x82\xA2");
    EXPECT_EQ(canvas().penX, 11 + 7 + 2);
    EXPECT_EQ(canvas().penY, 0);
}

TEST_F(TextCanvasStoreTest, SpacesAndLineFeedUseTheFontHeight) {
    store.DrawStringAt(10, 0, " ");
    EXPECT_EQ(canvas().penX, 14);
    store.DrawString("\x81\x40");
    EXPECT_EQ(canvas().penX, 20);
    store.DrawString("\n");
    EXPECT_EQ(canvas().penX, 0);
    EXPECT_EQ(canvas().penY, 24);
    EXPECT_TRUE(glyphs.font->requested.empty());
}

TEST_F(TextCanvasStoreTest, MissingAndBlankGlyphsAdvanceWithoutInk) {
    GlyphBitmap blank;
    blank.blackBoxX = 5;
    blank.blackBoxY = 1;
    glyphs.font->grey['b'] = blank;
    store.DrawString("x");  // not in the font: width 0
    EXPECT_EQ(canvas().penX, 1);
    store.DrawString("b");
    EXPECT_EQ(canvas().penX, 1 + 5 + 2);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(Pixel(x, y), 0u);
}

TEST_F(TextCanvasStoreTest, ByteWalkJoinsLeadBytesAndCutsAt255Bytes) {
    store.DrawString("A\x88\x9F\xB1\r\t");
    EXPECT_EQ(glyphs.font->requested, (std::vector<uint32_t>{'A', 0x889F, 0xB1, 0x0D, 0x09}));

    glyphs.font->requested.clear();
    store.DrawString("\x82");  // lone trailing lead byte pairs with the terminating zero
    EXPECT_EQ(glyphs.font->requested, (std::vector<uint32_t>{0x8200}));

    glyphs.font->requested.clear();
    std::string longText(254, 'a');
    longText += "\x82\xA0zzz";  // byte 255 is a lead byte: its trail byte is cut away
    store.DrawString(longText);
    ASSERT_EQ(glyphs.font->requested.size(), 255u);
    EXPECT_EQ(glyphs.font->requested.back(), 0x8200u);

    glyphs.font->requested.clear();
    store.DrawString(std::string("ab\0cd", 5));
    EXPECT_EQ(glyphs.font->requested, (std::vector<uint32_t>{'a', 'b'}));
}

TEST_F(TextCanvasStoreTest, GreyLevelsMapThroughTheTable) {
    EXPECT_EQ(store.GreyToAlpha(64), 255);
    EXPECT_EQ(store.GreyToAlpha(32), 127);
    EXPECT_EQ(store.GreyToAlpha(1), 3);
    glyphs.font->grey['g'] = GreyGlyph({{64, 32, 0}}, 20);
    store.DrawString("g");
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(1, 0), 0x7FFFFFFFu);
    EXPECT_EQ(Pixel(2, 0), 0u);

    canvas().textAlpha = 128;
    canvas().textColor = 0x123456;
    store.DrawStringAt(0, 8, "g");
    EXPECT_EQ(Pixel(0, 8), 0x80123456u);
    EXPECT_EQ(Pixel(1, 8), (uint32_t{127 * 128 / 255} << 24) | 0x123456u);

    canvas().textAlpha = 0;
    store.DrawStringAt(0, 16, "g");
    EXPECT_EQ(Pixel(0, 16), 0u);
    EXPECT_EQ(canvas().penX, 4);  // still advances
}

TEST_F(TextCanvasStoreTest, GlyphSitsOnTheBaselineAtThePen) {
    // Ascent 20; a glyph whose top is 3 above the baseline starts 17 rows below the pen.
    glyphs.font->grey['t'] = GreyGlyph({{64}, {64}}, 3);
    store.DrawStringAt(5, 2, "t");
    EXPECT_EQ(Pixel(5, 19), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(5, 20), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(5, 18), 0u);
    EXPECT_EQ(Pixel(5, 21), 0u);
}

TEST_F(TextCanvasStoreTest, ShadeThenBlendOnATransparentCanvas) {
    canvas().shaded = true;
    canvas().shadeColor = 0x000000;
    glyphs.font->grey['s'] = GreyGlyph({{64, 32}, {64, 64}}, 20);
    store.DrawString("s");
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFFFu);
    // Coverage 127 over a transparent pixel: colour and alpha both 127.
    EXPECT_EQ(Pixel(1, 0), 0x7F7F7F7Fu);
    // The glyph covers the shade where they overlap.
    EXPECT_EQ(Pixel(1, 1), 0xFFFFFFFFu);
    // The shade sticks out one pixel right and below.
    EXPECT_EQ(Pixel(2, 1), 0x7F000000u);
    EXPECT_EQ(Pixel(1, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(2, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(0, 2), 0u);
}

TEST_F(TextCanvasStoreTest, ShadeBlendKeepsPartialCoverageOverTheShade) {
    canvas().shaded = true;
    canvas().shadeColor = 0x0000FF;
    glyphs.font->grey['s'] = GreyGlyph({{64, 0}, {0, 32}}, 20);
    store.DrawString("s");
    // (1,1) received the blue shade at 255, then the white glyph at 127 blends over it.
    const uint32_t a = 127;
    const uint32_t red = a * 255 / 255;
    const uint32_t blue = (255 * (255 - a) + a * 255) / 255;
    EXPECT_EQ(Pixel(1, 1), 0xFF000000u | (red << 16) | (red << 8) | blue);
}

TEST_F(TextCanvasStoreTest, OneBitGlyphsUseTextAlphaAndNoShade) {
    canvas().antialiased = false;
    canvas().shaded = true;
    GlyphBitmap mono;
    mono.blackBoxX = 9;
    mono.blackBoxY = 1;
    mono.originY = 20;
    mono.stride = 4;
    mono.data = {0xA0, 0x80, 0, 0};
    glyphs.font->mono['m'] = mono;
    canvas().textAlpha = 200;
    store.DrawString("m");
    EXPECT_EQ(Pixel(0, 0), 0xC8FFFFFFu);
    EXPECT_EQ(Pixel(1, 0), 0u);
    EXPECT_EQ(Pixel(2, 0), 0xC8FFFFFFu);
    EXPECT_EQ(Pixel(8, 0), 0xC8FFFFFFu);
    EXPECT_EQ(Pixel(1, 1), 0u);  // no shade for 1-bit glyphs
    EXPECT_EQ(canvas().penX, 10);
}

TEST_F(TextCanvasStoreTest, GlyphsAreCutAtTheCanvasEdges) {
    glyphs.font->grey['w'] = GreyGlyph({std::vector<uint8_t>(8, 64), std::vector<uint8_t>(8, 64)}, 20);
    canvas().shaded = true;
    store.DrawStringAt(60, 31, "w");  // four columns and one row remain
    EXPECT_EQ(Pixel(63, 31), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(0, 0), 0u);  // nothing wrapped round into the next row
    EXPECT_EQ(canvas().glyphBoxWidth, 4);
    EXPECT_EQ(canvas().glyphBoxHeight, 1);

    // A glyph reaching above the canvas is cut at the top, not moved to the corner.
    glyphs.font->grey['h'] = GreyGlyph({{64}, {64}, {64}}, 21);
    store.DrawStringAt(10, 0, "h");
    EXPECT_EQ(Pixel(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(10, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(0, 0), 0u);

    // Pens far outside the canvas draw nothing and do not overflow.
    store.DrawStringAt(-1000, -1000, "ww");
    store.DrawStringAt(2147483640, 2147483640, "ww  \n");
    EXPECT_EQ(canvas().penX, 0);
    EXPECT_EQ(canvas().penY, 2147483647);
}

TEST_F(TextCanvasStoreTest, CanvasesByKey) {
    glyphs.font->grey['g'] = GreyGlyph({{64}}, 20);
    store.DrawString("g");
    EXPECT_FALSE(store.CreateCanvas(0, 16, 16));  // duplicate key: the first canvas stays
    EXPECT_EQ(store.GetCanvasTexture(0)->width(), 64);
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFFFu);

    ASSERT_TRUE(store.CreateCanvas(-1, 100, 20));  // rounded up to powers of two, transparent
    EXPECT_EQ(store.Current()->width, 128);
    EXPECT_EQ(store.Current()->height, 32);
    EXPECT_EQ(store.GetCanvasTexture(-1)->TexelAt(99, 19), 0u);
    EXPECT_FALSE(store.CreateCanvas(1, 0, 10));
    EXPECT_EQ(store.Find(1), nullptr);

    EXPECT_FALSE(store.SelectCanvas(7));
    EXPECT_FALSE(store.BeginFont(7, "face", 24));
    EXPECT_EQ(store.Current(), store.Find(-1));
    ASSERT_TRUE(store.SelectCanvas(0));
    store.ClearCanvas();
    EXPECT_EQ(Pixel(0, 0), 0u);
    EXPECT_EQ(canvas().penX, 2);  // the pen stays

    store.ReleaseCanvas(0);
    EXPECT_EQ(store.Current(), nullptr);
    EXPECT_EQ(store.GetCanvasTexture(0), nullptr);
    store.DrawString("g");  // no current canvas: nothing happens
    store.ClearCanvas();
    store.ReleaseCanvas(42);
    EXPECT_EQ(store.size(), 1u);
    store.ReleaseAllCanvases();
    EXPECT_EQ(store.size(), 0u);
}

TEST_F(TextCanvasStoreTest, DrawingNeedsAnOpenFont) {
    glyphs.font->grey['g'] = GreyGlyph({{64}}, 20);
    store.EndFont();
    store.DrawString("g");
    EXPECT_EQ(Pixel(0, 0), 0u);
    EXPECT_EQ(canvas().penX, 0);
    ASSERT_TRUE(store.BeginFont(0, "big", 100000));
    EXPECT_EQ(glyphs.lastHeight, CTextCanvasStore::kMaxFontHeight);
    EXPECT_EQ(canvas().fontHeight, 100000);
}

}  // namespace
}  // namespace zepa
