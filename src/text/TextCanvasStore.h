// Text canvases: textures the engine's own glyph rasteriser writes text into, one glyph at a
// time, so that text is rasterised once and then drawn as an ordinary sprite. Canvases are kept
// by an int key chosen by the owner; each has its own pen, font, colours and shade setting.
//
// Text is CP932 bytes. The rasteriser walks the bytes itself (lead and trail bytes joined into
// one code), advances the pen by each glyph's inked width plus a small gap, and never wraps.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "gfx/PixelBudget.h"
#include "gfx/Texture.h"
#include "platform/GlyphSource.h"

namespace zepa {

struct TextCanvas {
    std::unique_ptr<CTexture> texture;
    int width = 0;  // the texture's real size (rounded up to powers of two)
    int height = 0;
    std::shared_ptr<IFont> font;  // set between BeginFont and EndFont
    int fontHeight = 0;           // as passed to BeginFont; the unit of space and line advances
    float horizontalScale = 1.0f;
    float verticalScale = 1.0f;
    int penX = 0;  // left edge of the next glyph's inked box
    int penY = 0;  // top of the current line
    float rotation = 0.0f;
    std::array<int32_t, 4> glyphTransform{65536, 0, 0, 65536};  // 16.16 fixed point
    int glyphBoxWidth = 0;                                      // the last glyph's box after clipping
    int glyphBoxHeight = 0;                                     //
    bool antialiased = true;  // 65-level grey glyphs; false: 1 bit per pixel
    uint8_t textAlpha = 0;
    uint32_t textColor = 0;  // 0x00RRGGBB
    bool shaded = false;     // one-pixel drop shade right and below
    uint32_t shadeColor = 0xFF000000u;
};

class CTextCanvasStore {
  public:
    static constexpr int kGreyLevels = 65;
    static constexpr size_t kMaxDrawBytes = 255;
    // Heights beyond this are opened at this size: glyphs stay bounded in memory and time.
    static constexpr int kMaxFontHeight = 1024;

    // Canvases take their pixels from `budget` (null: no limit); a refusal's warning names them
    // `what`.
    explicit CTextCanvasStore(IGlyphSource& glyphs, CPixelBudget* budget = nullptr,
                              std::string what = "a text picture");
    ~CTextCanvasStore() { ReleaseAllCanvases(); }
    CTextCanvasStore(const CTextCanvasStore&) = delete;
    CTextCanvasStore& operator=(const CTextCanvasStore&) = delete;

    // The double-byte code that advances the pen by a quarter of the font height.
    void SetWideSpaceCode(uint32_t code) { wideSpaceCode_ = code; }
    uint32_t wideSpaceCode() const { return wideSpaceCode_; }

    // Creates a fully transparent canvas and makes it current. False when the key exists (nothing
    // changes) or the texture cannot be created (no entry).
    bool CreateCanvas(int key, int width, int height);
    // Absent keys are ignored. Releasing the current canvas leaves none current.
    void ReleaseCanvas(int key);
    void ReleaseAllCanvases();
    // False (current unchanged) when the key does not exist.
    bool SelectCanvas(int key);
    CTexture* GetCanvasTexture(int key) const;
    // The current canvas or null; callers set its pen, colours and shade through it.
    TextCanvas* Current() { return current_; }
    TextCanvas* Find(int key);
    size_t size() const { return canvases_.size(); }

    // Makes the current canvas fully transparent; the pen stays where it is.
    void ClearCanvas();
    // Selects the canvas and opens the font for it. False (nothing else happens) for an absent key.
    bool BeginFont(int key, const std::string& faceNameCp932, int height);
    void EndFont();

    // Draws at most 255 bytes of text (up to its first NUL) at the current canvas's pen.
    void DrawString(std::string_view text);
    void DrawStringAt(int x, int y, std::string_view text);

    // Coverage 0..255 of a grey level 0..64.
    uint8_t GreyToAlpha(int level) const { return greyTable_[level < 0 ? 0 : level > 64 ? 64 : level]; }

  private:
    void BuildGreyTable();
    void DrawGlyph(TextCanvas& canvas, uint32_t* texels, int pitch, uint32_t code);
    void WriteGlyphPixels(TextCanvas& canvas, uint32_t* texels, int pitch, const GlyphBitmap& glyph, int left,
                          int top);
    uint8_t Coverage(const TextCanvas& canvas, const GlyphBitmap& glyph, int col, int row) const;

    IGlyphSource& glyphs_;
    CPixelBudget* budget_;
    std::string what_;
    std::array<uint8_t, kGreyLevels> greyTable_{};
    uint32_t wideSpaceCode_ = 0x8140;
    std::map<int, TextCanvas> canvases_;
    TextCanvas* current_ = nullptr;
};

}  // namespace zepa
