#include "windows/WindowBase.h"

#include <algorithm>

#include "gfx/Matrix.h"
#include "gfx/SpriteBatch.h"
#include "resources/TextureStore.h"

namespace zepa {
namespace {

constexpr int kCorner = 12;
constexpr int kEdge = 72;
constexpr int kSkinSize = 96;

// Pieces of one frame row: left, middle, middle remainder, right.
struct RowPieces {
    int left, middle, remainder, right;
};
constexpr RowPieces kTopRow{0, 1, 9, 2};
constexpr RowPieces kMiddleRow{3, 4, 10, 5};
constexpr RowPieces kRemainderRow{12, 13, 15, 14};
constexpr RowPieces kBottomRow{6, 7, 11, 8};

}  // namespace

const std::string& DefaultWindowFontFace() {
    static const std::string face("\x82\x6C\x82\x72\x81\x40\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
    return face;
}

CWindowBase::CWindowBase(const WindowEnvironment& environment)
    : environment_(environment),
      // Window and choice canvases take their pixels from the budget the pictures share.
      textStore_(environment.glyphs, environment.textures ? environment.textures->pixelBudget() : nullptr,
                 "a window's text"),
      fontFace_(DefaultWindowFontFace()) {
    ComputePieces();
}

int32_t CWindowBase::ClampSkinType(int32_t type) {
    if (type < 0) return kSkinTiled;
    if (type >= 3) return kSkinStretched;
    return type;
}

uint32_t CWindowBase::PackColor(int32_t a, int32_t r, int32_t g, int32_t b) {
    // Casting to 8 bits is the modulo 256 of the two's-complement value.
    auto byte = [](int32_t v) { return static_cast<uint32_t>(static_cast<uint8_t>(v)); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

int32_t CWindowBase::EffectFromName(const std::string& name) {
    // Exact comparison: a name with bytes after an embedded zero is none of the three.
    if (name == std::string("expand")) return kEffectExpand;
    if (name == std::string("fade")) return kEffectFade;
    return kEffectFlash;
}

void CWindowBase::OpenBase(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
                           bool visible, bool skinVisible) {
    effect_ = EffectFromName(effectName);
    width = std::clamp(width, kMinWidth, kScreenWidth);
    height = std::clamp(height, kMinHeight, kScreenHeight);
    if (x < 0)
        x = 0;
    else if (x > kScreenWidth - width)
        x = kScreenWidth - width;  // no overflow for huge x
    if (y < 0)
        y = 0;
    else if (y > kScreenHeight - height)
        y = kScreenHeight - height;
    visible_ = visible;
    skinVisible_ = skinVisible;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    frameCounter_ = 0;
    currentX_ = x;
    currentY_ = y;
    switch (effect_) {
        case kEffectExpand:
            currentWidth_ = kMinWidth;
            currentHeight_ = kMinHeight;
            alpha_ = 255;
            animating_ = true;
            break;
        case kEffectFade:
            currentWidth_ = width;
            currentHeight_ = height;
            alpha_ = 0;
            animating_ = true;
            break;
        default:
            currentWidth_ = width;
            currentHeight_ = height;
            alpha_ = 255;
            animating_ = false;
            effect_ = kEffectFinished;
            break;
    }
    // Pieces 0-8 are fixed; 9-15 follow the full size (and the animated size while expanding).
    ComputePieces();
    ComputeRemainderPieces(width, height);
    open_ = true;
}

void CWindowBase::ComputePieces() {
    const int far = kCorner + kEdge;  // 84
    pieces_[0] = {0, 0, kCorner, kCorner};
    pieces_[1] = {kCorner, 0, far, kCorner};
    pieces_[2] = {far, 0, kSkinSize, kCorner};
    pieces_[3] = {0, kCorner, kCorner, far};
    pieces_[4] = {kCorner, kCorner, far, far};
    pieces_[5] = {far, kCorner, kSkinSize, far};
    pieces_[6] = {0, far, kCorner, kSkinSize};
    pieces_[7] = {kCorner, far, far, kSkinSize};
    pieces_[8] = {far, far, kSkinSize, kSkinSize};
    ComputeRemainderPieces(currentWidth_, currentHeight_);
}

void CWindowBase::ComputeRemainderPieces(int32_t width, int32_t height) {
    const int far = kCorner + kEdge;
    const int xr = (width - 2 * kCorner) % kEdge + kCorner;
    const int yb = (height - 2 * kCorner) % kEdge + kCorner;
    pieces_[9] = {kCorner, 0, xr, kCorner};
    pieces_[10] = {kCorner, kCorner, xr, far};
    pieces_[11] = {kCorner, far, xr, kSkinSize};
    pieces_[12] = {0, kCorner, kCorner, yb};
    pieces_[13] = {kCorner, kCorner, far, yb};
    pieces_[14] = {far, kCorner, kSkinSize, yb};
    pieces_[15] = {kCorner, kCorner, xr, yb};
}

bool CWindowBase::Update() {
    if (frameCounter_ >= kOpeningFrames) {
        frameCounter_ = kOpeningFrames;
        effect_ = kEffectFinished;
        animating_ = false;
    } else if (effect_ != kEffectFinished) {
        ++frameCounter_;
    }
    switch (effect_) {
        case kEffectFlash:
            animating_ = false;
            effect_ = kEffectFinished;
            break;
        case kEffectExpand:
            currentWidth_ = kMinWidth + (width_ - kMinWidth) * frameCounter_ / kOpeningFrames;
            currentHeight_ = kMinHeight + (height_ - kMinHeight) * frameCounter_ / kOpeningFrames;
            ComputeRemainderPieces(currentWidth_, currentHeight_);
            break;
        case kEffectFade:
            alpha_ = frameCounter_ * 255 / kOpeningFrames;
            break;
        default:
            break;
    }
    return true;
}

bool CWindowBase::Draw(CSpriteBatch& batch) {
    if (!visible_ || !open_) return true;
    DrawFrame(batch);
    DrawText(batch);
    return true;
}

void CWindowBase::DrawFrame(CSpriteBatch& batch) const {
    if (!skinVisible_ || skinType_ == kSkinNone) return;
    const CTextureStore* store = environment_.textures;
    const CTexture* skin = store ? store->GetTexture(environment_.skinFile) : nullptr;
    if (!skin) return;
    const uint32_t color = static_cast<uint32_t>(alpha_) << 24 | 0xFFFFFFu;
    if (skinType_ == kSkinStretched)
        DrawStretched(batch, *skin, color);
    else
        DrawTiled(batch, *skin, color);
}

void CWindowBase::DrawTiled(CSpriteBatch& batch, const CTexture& skin, uint32_t color) const {
    const int bottom = currentY_ + currentHeight_;
    const int right = currentX_ + currentWidth_;
    const int remainderWidth = (currentWidth_ - 2 * kCorner) % kEdge;
    const int remainderHeight = (currentHeight_ - 2 * kCorner) % kEdge;
    for (int y = currentY_; y < bottom;) {
        RowPieces row = kRemainderRow;
        int rowHeight = remainderHeight;
        if (y == currentY_)
            row = kTopRow, rowHeight = kCorner;
        else if (y + kCorner == bottom)
            row = kBottomRow, rowHeight = kCorner;
        else if (bottom - y >= kCorner + kEdge)
            row = kMiddleRow, rowHeight = kEdge;
        if (rowHeight <= 0) break;  // cannot happen with clamped sizes; never loop forever
        for (int x = currentX_; x < right;) {
            int piece = row.middle;
            int pieceWidth = kEdge;
            if (x == currentX_)
                piece = row.left, pieceWidth = kCorner;
            else if (x + kCorner == right)
                piece = row.right, pieceWidth = kCorner;
            else if (right - x < kCorner + kEdge)
                piece = row.remainder, pieceWidth = remainderWidth;
            if (pieceWidth <= 0) break;
            const Vector3 position{static_cast<float>(x), static_cast<float>(y), 0};
            batch.Draw(&skin, &pieces_[piece], &position, color);
            if (piece == row.right) break;
            x += pieceWidth;
        }
        y += rowHeight;
    }
}

void CWindowBase::DrawStretched(CSpriteBatch& batch, const CTexture& skin, uint32_t color) const {
    const float sx = static_cast<float>(currentWidth_) / kSkinSize;
    const float sy = static_cast<float>(currentHeight_) / kSkinSize;
    batch.SetTransform(MatrixScaling(sx, sy, 1.0f));
    const Rect source{kSkinSize, 0, 2 * kSkinSize, kSkinSize};
    const Vector3 position{currentX_ / sx, currentY_ / sy, 0};
    batch.Draw(&skin, &source, &position, color);
    batch.SetTransform(MatrixIdentity());
}

void CWindowBase::DrawText(CSpriteBatch& batch) const {
    if (effect_ != kEffectFinished || !textTexture_) return;
    const Vector3 position{static_cast<float>(x_ + kTextInset), static_cast<float>(y_ + kTextInset), 0};
    batch.Draw(textTexture_, nullptr, &position, 0xFFFFFFFFu);
}

void CWindowBase::ApplyTextStyle(TextCanvas& canvas) const {
    canvas.antialiased = true;
    canvas.textAlpha = static_cast<uint8_t>(textColor_ >> 24);
    canvas.textColor = textColor_ & 0xFFFFFFu;
    canvas.shaded = shaded_;
    canvas.shadeColor = shadeColor_ & 0xFFFFFFu;
}

}  // namespace zepa
