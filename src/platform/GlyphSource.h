// Glyph outlines for the engine's own rasteriser: fonts by face name and cell height, glyph
// bitmaps in the two forms the rasteriser consumes (65-level grey or 1 bit per pixel).
//
// Implemented on FreeType (src/platform/freetype/), with fontconfig finding the fonts on the desktop
// and the page's font folder in the browser (freetype/FontFinder.h). Fonts and rendered glyphs are
// cached, so drawing the same text again does not reopen or re-rasterise anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zepa {

// One rendered glyph. Grey bitmaps hold one byte per pixel with levels 0..64; 1-bit bitmaps hold
// eight pixels per byte, bit 7 leftmost. Rows are `stride` bytes apart (a multiple of 4).
struct GlyphBitmap {
    int blackBoxX = 0;  // inked box width
    int blackBoxY = 0;  // inked box height
    int originX = 0;    // left edge of the box relative to the pen
    int originY = 0;    // top edge of the box above the baseline
    int stride = 0;
    std::vector<uint8_t> data;  // empty for a glyph without ink
};

class IFont {
  public:
    virtual ~IFont() = default;
    // The ascent in pixels (baseline distance from the top of the cell).
    virtual int Ascent() const = 0;
    // The cell height in pixels the font was opened with.
    virtual int CellHeight() const = 0;
    // Renders a CP932 code (a single byte 0..255, or lead << 8 | trail). False when the font has
    // no glyph for it (or the code is no character); the bitmap then is left empty.
    virtual bool RenderGlyph(uint32_t code, bool antialiased, GlyphBitmap& out) = 0;
    // Bytes of rendered glyphs the font keeps for reuse (bounded; diagnostics and tests).
    virtual size_t CachedGlyphBytes() const { return 0; }
};

class IGlyphSource {
  public:
    virtual ~IGlyphSource() = default;
    // Opens a font by face name (CP932 bytes) and height: a positive height is the cell height
    // (ascent + descent), a negative one the em height. A face that is not installed falls back to
    // a font with Japanese coverage, with one warning per face name on stderr. Never null.
    virtual std::shared_ptr<IFont> OpenFont(const std::string& faceNameCp932, int height) = 0;
    // Makes a font file's families available by name (the game's Parts folder). False if the file
    // is not a font.
    virtual bool RegisterFontFile(const std::string& path) = 0;
};

class ILog;

// A glyph source on the system's fonts; warnings (a face that is not installed) go to `log`,
// which must outlive it.
std::unique_ptr<IGlyphSource> CreateGlyphSource(ILog& log);

}  // namespace zepa
