// Japanese text rendered with the installed IPA Gothic font, compared with committed images.
// Tolerance 0: every ARGB value must match. The images were generated once with
// ZEPA_UPDATE_GOLDEN=1 on Debian's fonts-ipafont-gothic; a different FreeType or font version
// that shapes glyphs differently fails here and needs the images regenerated and reviewed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "support/TestServices.h"
#include "text/TextCanvasStore.h"

namespace zepa {
namespace {

using testing::SharedGlyphs;

const char* const kFace = "ＭＳ　Ｐゴシック";

std::string GoldenPath(const std::string& name) {
    return std::string(ZEPA_SOURCE_DIR) + "/tests/golden/" + name;
}

// Netpbm PAM with RGB_ALPHA tuples: simple to read and keeps the alpha channel.
void WritePam(const std::string& path, const CTexture& texture, int width, int height) {
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << width << "\nHEIGHT " << height
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = texture.TexelAt(x, y);
            const char rgba[4] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p),
                                  static_cast<char>(p >> 24)};
            out.write(rgba, 4);
        }
    }
}

bool ReadPam(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    width = height = 0;
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "WIDTH") fields >> width;
        if (key == "HEIGHT") fields >> height;
    }
    if (width <= 0 || height <= 0) return false;
    pixels.resize(static_cast<size_t>(width) * height);
    for (uint32_t& p : pixels) {
        unsigned char rgba[4];
        if (!in.read(reinterpret_cast<char*>(rgba), 4)) return false;
        p = (uint32_t{rgba[3]} << 24) | (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
    }
    return true;
}

// Renders two lines of Japanese text the way a text picture does.
void Render(CTextCanvasStore& store, bool shaded) {
    ASSERT_TRUE(store.CreateCanvas(0, 256, 64));
    ASSERT_TRUE(store.BeginFont(0, Cp932(kFace), 24));
    TextCanvas& canvas = *store.Current();
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = shaded;
    canvas.shadeColor = 0x000000;
    store.DrawStringAt(0, 0, Cp932("今日は、いい天気。\nテキスト　ＡＢＣ abc"));
    store.EndFont();
}

void CompareWithGolden(const std::string& name, bool shaded) {
    CTextCanvasStore store(SharedGlyphs());
    Render(store, shaded);
    const CTexture& texture = *store.GetCanvasTexture(0);
    if (std::getenv("ZEPA_UPDATE_GOLDEN")) WritePam(GoldenPath(name), texture, 256, 64);
    int width = 0;
    int height = 0;
    std::vector<uint32_t> expected;
    ASSERT_TRUE(ReadPam(GoldenPath(name), width, height, expected)) << name;
    ASSERT_EQ(width, 256);
    ASSERT_EQ(height, 64);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (texture.TexelAt(x, y) != expected[static_cast<size_t>(y) * width + x]) ++differing;
    EXPECT_EQ(differing, 0) << name << ": pixels differ (tolerance 0)";
}

TEST(TextGoldenTest, JapaneseTextWithoutShade) {
    CompareWithGolden("text-plain.pam", false);
}

TEST(TextGoldenTest, JapaneseTextWithShade) {
    CompareWithGolden("text-shade.pam", true);
}

// The advances with the real font: inked widths from the glyph source plus the gaps.
TEST(TextGoldenTest, RealFontAdvancesFollowInkedWidths) {
    const std::string a = Cp932("日");
    const std::string b = Cp932("本");
    auto font = SharedGlyphs().OpenFont(Cp932(kFace), 24);
    GlyphBitmap glyphA;
    GlyphBitmap glyphB;
    ASSERT_TRUE(font->RenderGlyph((uint8_t(a[0]) << 8) | uint8_t(a[1]), true, glyphA));
    ASSERT_TRUE(font->RenderGlyph((uint8_t(b[0]) << 8) | uint8_t(b[1]), true, glyphB));
    ASSERT_GT(glyphA.blackBoxX, 10);

    CTextCanvasStore store(SharedGlyphs());
    ASSERT_TRUE(store.CreateCanvas(3, 128, 64));
    ASSERT_TRUE(store.BeginFont(3, Cp932(kFace), 24));
    store.Current()->textAlpha = 255;
    store.DrawString(a);
    EXPECT_EQ(store.Current()->penX, glyphA.blackBoxX + 1);
    store.DrawString(b);
    EXPECT_EQ(store.Current()->penX, glyphA.blackBoxX + 1 + glyphB.blackBoxX + 2);
    store.DrawString(Cp932(" 　\n"));
    EXPECT_EQ(store.Current()->penX, 0);
    EXPECT_EQ(store.Current()->penY, 24);
    store.EndFont();
}

}  // namespace
}  // namespace zepa
