// A glyph source whose glyphs the test defines pixel by pixel, so the rasteriser's placement,
// blending and advances can be checked without depending on a font's shapes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/GlyphSource.h"

namespace zepa::testing {

// A grey glyph from rows of levels (0..64).
inline GlyphBitmap GreyGlyph(const std::vector<std::vector<uint8_t>>& rows, int originY) {
    GlyphBitmap glyph;
    glyph.blackBoxY = static_cast<int>(rows.size());
    glyph.blackBoxX = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    glyph.originY = originY;
    glyph.stride = (glyph.blackBoxX + 3) / 4 * 4;
    glyph.data.assign(static_cast<size_t>(glyph.stride) * glyph.blackBoxY, 0);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) glyph.data[r * glyph.stride + c] = rows[r][c];
    return glyph;
}

class FakeFont : public IFont {
  public:
    FakeFont(int height, int ascent) : height_(height), ascent_(ascent) {}
    int Ascent() const override { return ascent_; }
    int CellHeight() const override { return height_; }
    bool RenderGlyph(uint32_t code, bool antialiased, GlyphBitmap& out) override {
        requested.push_back(code);
        const auto& glyphs = antialiased ? grey : mono;
        auto found = glyphs.find(code);
        if (found == glyphs.end()) {
            out = GlyphBitmap{};
            return false;
        }
        out = found->second;
        return true;
    }

    std::map<uint32_t, GlyphBitmap> grey;
    std::map<uint32_t, GlyphBitmap> mono;
    std::vector<uint32_t> requested;

  private:
    int height_;
    int ascent_;
};

class FakeGlyphSource : public IGlyphSource {
  public:
    explicit FakeGlyphSource(int ascent = 20) : font(std::make_shared<FakeFont>(24, ascent)) {}
    std::shared_ptr<IFont> OpenFont(const std::string& face, int height) override {
        lastFace = face;
        lastHeight = height;
        return font;
    }
    bool RegisterFontFile(const std::string&) override { return false; }

    std::shared_ptr<FakeFont> font;
    std::string lastFace;
    int lastHeight = 0;
};

}  // namespace zepa::testing
