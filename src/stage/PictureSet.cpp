#include "stage/PictureSet.h"

#include <cmath>
#include <utility>

#include "gfx/SpriteBatch.h"
#include "platform/Cp932.h"
#include "resources/TextureStore.h"

namespace zepa {
namespace {

uint8_t Byte(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

uint32_t PackArgb(int alpha, int red, int green, int blue) {
    return (uint32_t{Byte(alpha)} << 24) | (uint32_t{Byte(red)} << 16) | (uint32_t{Byte(green)} << 8) |
           Byte(blue);
}

// One step of an integer animation with n steps left: equal steps, truncated toward zero. Done
// in 64 bits so extreme script values cannot overflow.
int StepToward(int value, int target, int n) {
    return static_cast<int>(value + (int64_t{target} - value) / n);
}

}  // namespace

uint32_t SpriteState::Argb() const {
    return PackArgb(color[kAlpha], color[kRed], color[kGreen], color[kBlue]);
}

CPictureSet::CPictureSet(CTextureStore* textures, IGlyphSource& glyphs)
    : canvases_(glyphs, textures ? textures->pixelBudget() : nullptr),
      textures_(textures),
      fontName_(Cp932("ＭＳ　Ｐゴシック")) {
    canvases_.SetWideSpaceCode(0x8140);
}

void CPictureSet::LoadPicture(int slot, const std::string& file) {
    if (!IsSlot(slot)) return;
    ReleasePicture(slot);
    if (!textures_) return;
    const std::string path = kPictureFolder + file;
    // The store refuses a name it already holds; the slot then stays empty, since two slots
    // sharing one texture would leave the other dangling when either is released.
    if (!textures_->LoadTextureFile(path)) return;
    pictures_[slot].texture = textures_->GetTexture(path);
    pictures_[slot].fileName = file;
}

void CPictureSet::ReadAhead(const std::string& file) const {
    if (textures_ && !file.empty())
        textures_->ReadAhead(kPictureFolder + file, D3DFMT_A8R8G8B8, CTextureStore::kPictureColorKey);
}

void CPictureSet::BeginReadAhead() const {
    if (textures_) textures_->BeginReadAhead();
}

void CPictureSet::ReleasePicture(int slot) {
    if (!IsSlot(slot)) return;
    PictureSlot& picture = pictures_[slot];
    if (picture.texture && textures_) textures_->ReleaseTexture(kPictureFolder + picture.fileName);
    picture.texture = nullptr;
}

void CPictureSet::ReleaseAllPictures() {
    for (int slot = 0; slot < kPictureCount; ++slot) ReleasePicture(slot);
    canvases_.ReleaseAllCanvases();
    textPictures_.fill(nullptr);
}

void CPictureSet::CreateTextPicture(int slot, int width, int height, const std::string& textCp932) {
    if (!IsSlot(slot)) return;
    ReleaseTextPicture(slot);
    if (!canvases_.CreateCanvas(slot, width, height)) return;
    DrawText(slot, textCp932);
    textPictures_[slot] = canvases_.GetCanvasTexture(slot);
}

void CPictureSet::WriteTextPicture(int slot, const std::string& textCp932) {
    if (!IsSlot(slot) || !canvases_.GetCanvasTexture(slot)) return;
    DrawText(slot, textCp932);
}

void CPictureSet::ReleaseTextPicture(int slot) {
    if (!IsSlot(slot)) return;
    canvases_.ReleaseCanvas(slot);
    textPictures_[slot] = nullptr;
}

void CPictureSet::DrawText(int slot, const std::string& textCp932) {
    if (!canvases_.BeginFont(slot, fontName_, fontSize_)) return;
    canvases_.ClearCanvas();
    TextCanvas& canvas = *canvases_.Current();
    canvas.antialiased = true;
    canvas.textAlpha = static_cast<uint8_t>(textColor_ >> 24);
    canvas.textColor = textColor_ & 0xFFFFFFu;
    canvas.shaded = shading_;
    canvas.shadeColor = shadeColor_ & 0xFFFFFFu;
    canvases_.DrawStringAt(0, 0, textCp932);
    canvases_.EndFont();
}

void CPictureSet::SetTextColor(int alpha, int red, int green, int blue) {
    textColor_ = PackArgb(alpha, red, green, blue);
}

void CPictureSet::SetTextShade(bool on, int alpha, int red, int green, int blue) {
    shading_ = on;
    if (on) shadeColor_ = PackArgb(alpha, red, green, blue);
}

void CPictureSet::SetSpriteSource(int sprite, bool isText, int slot) {
    if (!IsSprite(sprite) || !IsSlot(slot)) return;
    sprites_[sprite].source = isText ? &textPictures_[slot] : &pictures_[slot].texture;
}

void CPictureSet::SetSpriteRect(int sprite, int left, int top, int right, int bottom, int frames) {
    if (!IsSprite(sprite)) return;
    SpriteState& s = sprites_[sprite];
    const Rect rect{left, top, right, bottom};
    if (frames <= 0) {
        s.rect = rect;
        s.rectFrames = 0;
    } else {
        s.targetRect = rect;
        s.rectFrames = frames;
    }
}

void CPictureSet::MoveSprite(int sprite, int x, int y, int frames) {
    if (!IsSprite(sprite)) return;
    SpriteState& s = sprites_[sprite];
    if (frames <= 0) {
        s.x = static_cast<float>(x);
        s.y = static_cast<float>(y);
        s.positionFrames = 0;
    } else {
        s.targetX = static_cast<float>(x);
        s.targetY = static_cast<float>(y);
        s.positionFrames = frames;
    }
}

void CPictureSet::SetSpriteMagnification(int sprite, int xPercent, int yPercent, int frames) {
    if (!IsSprite(sprite)) return;
    SpriteState& s = sprites_[sprite];
    const float sx = static_cast<float>(xPercent) / 100.0f;
    const float sy = static_cast<float>(yPercent) / 100.0f;
    if (frames <= 0) {
        s.scaleX = sx;
        s.scaleY = sy;
        s.magnificationFrames = 0;
    } else {
        s.targetScaleX = sx;
        s.targetScaleY = sy;
        s.magnificationFrames = frames;
    }
}

void CPictureSet::SetSpriteColor(int sprite, int alpha, int red, int green, int blue, int frames) {
    if (!IsSprite(sprite)) return;
    SpriteState& s = sprites_[sprite];
    const std::array<uint8_t, 4> color{Byte(alpha), Byte(red), Byte(green), Byte(blue)};
    if (frames <= 0) {
        s.color = color;
        s.colorFrames = 0;
    } else {
        s.targetColor = color;
        s.colorFrames = frames;
    }
}

void CPictureSet::SetSpriteVisible(int sprite, bool visible) {
    if (IsSprite(sprite)) sprites_[sprite].visible = visible;
}

void CPictureSet::InitSprite(int sprite) {
    if (IsSprite(sprite)) sprites_[sprite] = SpriteState{};
}

void CPictureSet::InitAllSprites() {
    sprites_.fill(SpriteState{});
}

void CPictureSet::CopySprite(int destination, int source) {
    if (IsSprite(destination) && IsSprite(source)) sprites_[destination] = sprites_[source];
}

void CPictureSet::SwapSprites(int a, int b) {
    if (IsSprite(a) && IsSprite(b)) std::swap(sprites_[a], sprites_[b]);
}

void CPictureSet::UpdateSprites() {
    for (SpriteState& s : sprites_) {
        if (s.colorFrames > 0) {
            for (size_t i = 0; i < s.color.size(); ++i)
                s.color[i] = static_cast<uint8_t>(StepToward(s.color[i], s.targetColor[i], s.colorFrames));
            --s.colorFrames;
        }
        if (s.rectFrames > 0) {
            const int n = s.rectFrames;
            s.rect.left = StepToward(s.rect.left, s.targetRect.left, n);
            s.rect.top = StepToward(s.rect.top, s.targetRect.top, n);
            s.rect.right = StepToward(s.rect.right, s.targetRect.right, n);
            s.rect.bottom = StepToward(s.rect.bottom, s.targetRect.bottom, n);
            --s.rectFrames;
        }
        if (s.positionFrames > 0) {
            const float n = static_cast<float>(s.positionFrames--);
            s.x += (s.targetX - s.x) / n;
            s.y += (s.targetY - s.y) / n;
        }
        if (s.magnificationFrames > 0) {
            const float n = static_cast<float>(s.magnificationFrames--);
            s.scaleX += (s.targetScaleX - s.scaleX) / n;
            s.scaleY += (s.targetScaleY - s.scaleY) / n;
        }
        s.drawPosition = Vector3{s.x / s.scaleX, s.y / s.scaleY, 0.0f};
    }
}

void CPictureSet::DrawSprites(CSpriteBatch& batch, int first, int end) const {
    for (int i = first; i < end; ++i) {
        const SpriteState& s = sprites_[i];
        if (!s.visible || !s.source || !*s.source) continue;
        // A zero (or broken) scale has no drawing position; such a sprite covers nothing anyway.
        if (s.scaleX == 0.0f || s.scaleY == 0.0f || !std::isfinite(s.drawPosition.x) ||
            !std::isfinite(s.drawPosition.y))
            continue;
        batch.SetTransform(MatrixScaling(s.scaleX, s.scaleY, 1.0f));
        batch.Draw(*s.source, &s.rect, &s.drawPosition, s.Argb());
    }
    batch.SetTransform(MatrixIdentity());
}

}  // namespace zepa
