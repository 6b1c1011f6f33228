#include "text/TextCanvasStore.h"

#include <utility>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/Cp932.h"

namespace zepa {
namespace {

// Pen arithmetic saturates: absurd font heights or very long texts must not overflow.
int SaturatingAdd(int value, double delta) {
    const double sum = static_cast<double>(value) + std::trunc(delta);
    if (!(sum >= std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (sum > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(sum);
}

int32_t ToFixed(double value) {
    return static_cast<int32_t>(value * 65536.0);
}

void ComputeGlyphTransform(TextCanvas& canvas) {
    const double c = std::cos(canvas.rotation);
    const double s = std::sin(canvas.rotation);
    canvas.glyphTransform = {ToFixed(c * canvas.horizontalScale), ToFixed(s * canvas.verticalScale),
                             ToFixed(-s * canvas.horizontalScale), ToFixed(c * canvas.verticalScale)};
}

// A box extent cut where pen + extent passes the canvas edge.
int ClipExtent(int extent, int pen, int limit) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{limit} - pen, 0, extent));
}

uint8_t Channel(uint32_t color, int shift) {
    return static_cast<uint8_t>(color >> shift);
}

// The glyph's colour blended over what is there; a transparent destination counts as black.
uint32_t BlendOver(uint32_t destination, uint32_t color, uint32_t a) {
    uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        const uint32_t d = Channel(destination, shift);
        const uint32_t t = Channel(color, shift);
        result |= ((d * (255 - a) + a * t) / 255) << shift;
    }
    const uint32_t alpha = destination >> 24;
    result |= (alpha + (255 - alpha) * a / 255) << 24;
    return result;
}

}  // namespace

namespace {

uint64_t CanvasPixels(const TextCanvas& canvas) {
    return uint64_t(canvas.width) * uint64_t(canvas.height);
}

}  // namespace

CTextCanvasStore::CTextCanvasStore(IGlyphSource& glyphs, CPixelBudget* budget, std::string what)
    : glyphs_(glyphs), budget_(budget), what_(std::move(what)) {
    BuildGreyTable();
}

void CTextCanvasStore::BuildGreyTable() {
    for (int i = 0; i < kGreyLevels; ++i) greyTable_[i] = static_cast<uint8_t>(255 * i / 64);
}

bool CTextCanvasStore::CreateCanvas(int key, int width, int height) {
    BuildGreyTable();
    if (canvases_.count(key) != 0) return false;
    std::unique_ptr<CTexture> texture = CTexture::CreateBlank(width, height);
    if (!texture) return false;
    TextCanvas canvas;
    canvas.width = texture->textureWidth();
    canvas.height = texture->textureHeight();
    if (budget_ && !budget_->Reserve(CanvasPixels(canvas), what_)) return false;
    canvas.texture = std::move(texture);
    TextCanvas& stored = canvases_.emplace(key, std::move(canvas)).first->second;
    current_ = &stored;
    ComputeGlyphTransform(stored);
    return true;
}

void CTextCanvasStore::ReleaseCanvas(int key) {
    auto found = canvases_.find(key);
    if (found == canvases_.end()) return;
    if (current_ == &found->second) current_ = nullptr;
    if (budget_) budget_->Release(CanvasPixels(found->second));
    canvases_.erase(found);
}

void CTextCanvasStore::ReleaseAllCanvases() {
    current_ = nullptr;
    if (budget_)
        for (const auto& [key, canvas] : canvases_) budget_->Release(CanvasPixels(canvas));
    canvases_.clear();
}

TextCanvas* CTextCanvasStore::Find(int key) {
    auto found = canvases_.find(key);
    return found == canvases_.end() ? nullptr : &found->second;
}

bool CTextCanvasStore::SelectCanvas(int key) {
    TextCanvas* canvas = Find(key);
    if (!canvas) return false;
    current_ = canvas;
    return true;
}

CTexture* CTextCanvasStore::GetCanvasTexture(int key) const {
    auto found = canvases_.find(key);
    return found == canvases_.end() ? nullptr : found->second.texture.get();
}

void CTextCanvasStore::ClearCanvas() {
    if (!current_) return;
    current_->rotation = 0.0f;
    current_->horizontalScale = 1.0f;
    current_->verticalScale = 1.0f;
    CTexture& texture = *current_->texture;
    uint32_t* texels = texture.Lock();
    std::fill_n(texels, static_cast<size_t>(texture.pitch()) * texture.storedHeight(), 0u);
    texture.Unlock();
}

bool CTextCanvasStore::BeginFont(int key, const std::string& faceNameCp932, int height) {
    if (!SelectCanvas(key)) return false;
    current_->fontHeight = height;
    current_->font = glyphs_.OpenFont(faceNameCp932, std::clamp(height, -kMaxFontHeight, kMaxFontHeight));
    return true;
}

void CTextCanvasStore::EndFont() {
    if (current_) current_->font.reset();
}

void CTextCanvasStore::DrawStringAt(int x, int y, std::string_view text) {
    if (!current_) return;
    current_->penX = x;
    current_->penY = y;
    DrawString(text);
}

void CTextCanvasStore::DrawString(std::string_view text) {
    if (!current_ || !current_->font) return;
    TextCanvas& canvas = *current_;
    // The text is a C string cut at 255 bytes: a lead byte in the last position pairs with the
    // terminating zero.
    text = text.substr(0, std::min(kMaxDrawBytes, text.size()));
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    uint32_t* texels = canvas.texture->Lock();
    const int pitch = canvas.texture->pitch();
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t byte = static_cast<uint8_t>(text[i]);
        uint32_t code = byte;
        if (IsCp932LeadByte(byte)) {
            const uint8_t trail = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
            code = (uint32_t{byte} << 8) | trail;
            i += 2;
        } else {
            i += 1;
        }
        if (code == 0x0A) {
            canvas.penY =
                SaturatingAdd(canvas.penY, static_cast<double>(canvas.fontHeight) * canvas.verticalScale);
            canvas.penX = 0;
        } else if (code == 0x20) {
            canvas.penX = SaturatingAdd(canvas.penX, canvas.fontHeight / 6);
        } else if (code == wideSpaceCode_) {
            canvas.penX = SaturatingAdd(canvas.penX, canvas.fontHeight / 4);
        } else {
            DrawGlyph(canvas, texels, pitch, code);
        }
    }
    canvas.texture->Unlock();
}

void CTextCanvasStore::DrawGlyph(TextCanvas& canvas, uint32_t* texels, int pitch, uint32_t code) {
    GlyphBitmap glyph;
    const bool rendered = canvas.font->RenderGlyph(code, canvas.antialiased, glyph);
    const int boxWidth = rendered ? glyph.blackBoxX : 0;
    const bool lineStart = canvas.penX == 0;
    if (rendered && !glyph.data.empty()) {
        // The clip uses the pen's row, not the glyph's top; pixels outside the surface are
        // dropped one by one in WriteGlyphPixels.
        canvas.glyphBoxWidth = ClipExtent(glyph.blackBoxX, canvas.penX, canvas.width);
        canvas.glyphBoxHeight = ClipExtent(glyph.blackBoxY, canvas.penY, canvas.height);
        const int64_t top = int64_t{canvas.penY} + canvas.font->Ascent() - glyph.originY;
        if (top > std::numeric_limits<int>::min() && top < std::numeric_limits<int>::max())
            WriteGlyphPixels(canvas, texels, pitch, glyph, canvas.penX, static_cast<int>(top));
    }
    canvas.penX = SaturatingAdd(canvas.penX, boxWidth + canvas.horizontalScale * (lineStart ? 1 : 2));
}

uint8_t CTextCanvasStore::Coverage(const TextCanvas& canvas, const GlyphBitmap& glyph, int col,
                                   int row) const {
    const size_t rowStart = static_cast<size_t>(row) * glyph.stride;
    if (canvas.antialiased) {
        const size_t index = rowStart + col;
        if (index >= glyph.data.size()) return 0;
        return static_cast<uint8_t>(GreyToAlpha(glyph.data[index]) * canvas.textAlpha / 255);
    }
    const size_t index = rowStart + col / 8;
    if (index >= glyph.data.size()) return 0;
    return (glyph.data[index] & (0x80 >> (col % 8))) ? canvas.textAlpha : 0;
}

void CTextCanvasStore::WriteGlyphPixels(TextCanvas& canvas, uint32_t* texels, int pitch,
                                        const GlyphBitmap& glyph, int left, int top) {
    const int w = canvas.glyphBoxWidth;
    const int h = canvas.glyphBoxHeight;
    auto at = [&](int64_t x, int64_t y) -> uint32_t* {
        if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return nullptr;
        return texels + y * pitch + x;
    };
    const uint32_t textColor = canvas.textColor & 0xFFFFFFu;
    if (!canvas.antialiased || !canvas.shaded) {
        for (int row = 0; row < h; ++row) {
            for (int col = 0; col < w; ++col) {
                const uint32_t a = Coverage(canvas, glyph, col, row);
                uint32_t* pixel = a ? at(int64_t{left} + col, int64_t{top} + row) : nullptr;
                if (pixel) *pixel = (a << 24) | textColor;
            }
        }
        return;
    }
    // The shade first, one pixel right and below, so the glyph then blends over it.
    const uint32_t shadeColor = canvas.shadeColor & 0xFFFFFFu;
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const uint32_t a = Coverage(canvas, glyph, col, row);
            uint32_t* pixel = a ? at(int64_t{left} + col + 1, int64_t{top} + row + 1) : nullptr;
            if (pixel) *pixel = (a << 24) | shadeColor;
        }
    }
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const uint32_t a = Coverage(canvas, glyph, col, row);
            uint32_t* pixel = at(int64_t{left} + col, int64_t{top} + row);
            if (pixel) *pixel = BlendOver(*pixel, textColor, a);
        }
    }
}

}  // namespace zepa
