#include "stage/BackGround.h"

#include <algorithm>

#include "gfx/SpriteBatch.h"

namespace zepa {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kInvisibleWhite = 0x00FFFFFFu;
constexpr Rect kFullScreen{0, 0, kScreenWidth, kScreenHeight};

int32_t ClampToByte(int32_t value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

const CTexture* LiveTexture(const CTextureStore* store, const StageImage& image) {
    if (!image.texture) return nullptr;
    return store ? store->GetTexture(image.name) : nullptr;
}

CBackGround::CBackGround(CTextureStore* textures) : textures_(textures) {
    for (StageImage* image : {&current_, &previous_}) {
        image->colorKey = 0;
        image->sourceRect = kFullScreen;
        image->format = D3DFMT_R8G8B8;
    }
}

CBackGround::TransitionKind CBackGround::TransitionFromName(const std::string& name) {
    if (name == "fade") return kFade;
    if (name == "crossfade") return kCrossFade;
    if (name == "crossfade2") return kCrossFade2;
    if (name == "slidein_l") return kSlideFromRight;
    if (name == "slidein_r") return kSlideFromLeft;
    return kCut;  // "", "flash" and any unknown name
}

CBackGround::ShakeKind CBackGround::ShakeFromName(const std::string& name) {
    if (name == "shake_h") return kShakeHorizontal;
    if (name == "shake_v") return kShakeVertical;
    return kShakeNone;
}

const char* CBackGround::TransitionName(int32_t kind) {
    switch (kind) {
        case kCut:
            return "";
        case kFade:
            return "fade";
        case kCrossFade:
            return "crossfade";
        case kCrossFade2:
            return "crossfade2";
        case kSlideFromRight:
            return "slidein_l";
        case kSlideFromLeft:
            return "slidein_r";
        default:
            return "idle";
    }
}

uint32_t CBackGround::ToneColor() const {
    return static_cast<uint32_t>(toneAlpha_) << 24 | static_cast<uint32_t>(toneRed_) << 16 |
           static_cast<uint32_t>(toneGreen_) << 8 | static_cast<uint32_t>(toneBlue_);
}

uint32_t CBackGround::ToneWithAlpha(int64_t alpha) const {
    return static_cast<uint32_t>(alpha & 0xFF) << 24 | (ToneColor() & 0x00FFFFFFu);
}

bool CBackGround::SetBackground(const std::string& file, const std::string& transition, int32_t length) {
    return SetBackgroundPath(file.empty() ? std::string() : kFolder + file, transition, length);
}

void CBackGround::ReadAhead(const std::string& file) const {
    if (textures_ && !file.empty()) textures_->ReadAhead(kFolder + file, current_.format, current_.colorKey);
}

void CBackGround::BeginReadAhead() const {
    if (textures_) textures_->BeginReadAhead();
}

bool CBackGround::SetBackgroundPath(const std::string& path, const std::string& transition, int32_t length) {
    length_ = length;
    if (shaking_) {
        shaking_ = false;
        shakeKind_ = kShakeNone;
        current_.color = kWhite;
    }
    if (path == current_.name) return true;

    ReleasePrevious();
    previous_.name = current_.name;
    previous_.texture = current_.texture;
    current_.name = path;
    current_.texture = nullptr;
    if (!path.empty()) {
        if (CTextureStore* store = textures_) {
            store->LoadTexture(current_);
            current_.texture = store->GetTexture(path);
        }
    }

    currentPosition_ = Vector3{};
    previousPosition_ = Vector3{};
    current_.sourceRect = kFullScreen;
    previous_.sourceRect = kFullScreen;
    kind_ = TransitionFromName(transition);
    if (kind_ == kSlideFromRight) {
        currentPosition_.x = static_cast<float>(kScreenWidth);
        current_.sourceRect = Rect{0, 0, 0, kScreenHeight};
    } else if (kind_ == kSlideFromLeft) {
        current_.sourceRect = Rect{kScreenWidth, 0, kScreenWidth, kScreenHeight};
    }
    if (kind_ == kSlideFromRight || kind_ == kSlideFromLeft) {
        current_.color = kWhite;
        previous_.color = kWhite;
    }
    t_ = 0;
    return true;
}

bool CBackGround::StartShake(const std::string& effect, int32_t length) {
    if (kind_ != kIdle || shaking_) return false;
    shaking_ = true;
    shakeKind_ = ShakeFromName(effect);
    currentPosition_ = Vector3{};
    previousPosition_ = Vector3{};
    t_ = 0;
    shakeLength_ = length;
    return true;
}

void CBackGround::SetColorTone(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    toneAlpha_ = ClampToByte(alpha);
    toneRed_ = ClampToByte(red);
    toneGreen_ = ClampToByte(green);
    toneBlue_ = ClampToByte(blue);
}

// Releases the outgoing image's texture unless the incoming image shows the same name.
void CBackGround::ReleasePrevious() {
    if (!previous_.texture || previous_.name == current_.name) return;
    if (CTextureStore* store = textures_) store->ReleaseTexture(previous_.name);
    previous_.texture = nullptr;
}

void CBackGround::Finish(bool advance) {
    ReleasePrevious();
    if (advance) ++t_;
    kind_ = kIdle;
}

bool CBackGround::Update() {
    switch (kind_) {
        case kCut:
            current_.color = ToneColor();
            Finish(false);
            break;
        case kFade:
            UpdateFade();
            break;
        case kCrossFade:
            UpdateCrossFade();
            break;
        case kCrossFade2:
            UpdateCrossFade2();
            break;
        case kSlideFromRight:
            UpdateSlideFromRight();
            break;
        case kSlideFromLeft:
            UpdateSlideFromLeft();
            break;
        default:
            current_.color = ToneColor();
            if (shaking_) ShakeStep();
            break;
    }
    return true;
}

// The old image fades to nothing over the first half, the new one appears over the second.
void CBackGround::UpdateFade() {
    const int64_t t = t_;
    const int64_t h = length_ / 2;
    if (t < h) {
        previous_.color = ToneWithAlpha(255 - toneAlpha_ * t / h);
        current_.color = kInvisibleWhite;
        ++t_;
    } else if (t < length_) {
        previous_.color = ToneWithAlpha(0);
        current_.color = ToneWithAlpha((t - h) * toneAlpha_ / (length_ - h));
        ++t_;
    } else {
        current_.color = ToneColor();
        Finish(true);
    }
}

// The new image fades in over the old one, which stays opaque.
void CBackGround::UpdateCrossFade() {
    if (t_ < length_) {
        previous_.color = ToneColor();
        current_.color = ToneWithAlpha(int64_t{t_} * toneAlpha_ / length_);
        ++t_;
    } else {
        current_.color = ToneColor();
        Finish(true);
    }
}

// The old image fades out while the new one fades in.
void CBackGround::UpdateCrossFade2() {
    if (t_ < length_) {
        const int64_t a = int64_t{toneAlpha_} * t_ / length_;
        current_.color = ToneWithAlpha(a);
        previous_.color = ToneWithAlpha(255 - a);
        ++t_;
    } else {
        current_.color = ToneColor();
        Finish(true);
    }
}

// The new image's left part enters at the right edge; the old image stays underneath.
void CBackGround::UpdateSlideFromRight() {
    current_.color = ToneColor();
    if (t_ < length_) {
        const int w = static_cast<int>(int64_t{kScreenWidth} * t_ / length_);
        current_.sourceRect = Rect{0, 0, w, kScreenHeight};
        currentPosition_.x = static_cast<float>(kScreenWidth - w);
        ++t_;
    } else {
        current_.sourceRect = kFullScreen;
        currentPosition_.x = 0;
        Finish(true);
    }
}

// The new image's right part enters at the left edge.
void CBackGround::UpdateSlideFromLeft() {
    if (t_ < length_) {
        current_.color = ToneColor();
        const int w = static_cast<int>(int64_t{kScreenWidth} * t_ / length_);
        current_.sourceRect = Rect{kScreenWidth - w, 0, kScreenWidth, kScreenHeight};
        currentPosition_.x = 0;
        ++t_;
    } else {
        currentPosition_.x = 0;
        current_.color = ToneColor();
        current_.sourceRect = kFullScreen;
        Finish(true);
    }
}

void CBackGround::EndShake() {
    currentPosition_ = Vector3{};
    previousPosition_ = Vector3{};
    ++t_;
    shaking_ = false;
}

// One frame of a shake: the picture moves out to the amplitude over the first half and back over
// the second; the strip pushed off one edge is shown at the opposite edge.
void CBackGround::ShakeStep() {
    if (shakeKind_ != kShakeHorizontal && shakeKind_ != kShakeVertical) {
        shaking_ = false;
        ++t_;
        return;
    }
    const int64_t hs = shakeLength_ / 2;
    if (hs == 0 || t_ >= shakeLength_) {
        EndShake();
        return;
    }
    const bool horizontal = shakeKind_ == kShakeHorizontal;
    const int64_t amplitude = horizontal ? kShakeAmplitudeX : kShakeAmplitudeY;
    int64_t shift = 0;
    if (t_ < hs) {
        shift = amplitude * t_ / hs;
    } else {
        shift = amplitude * (shakeLength_ - t_) / hs;
    }
    const int s = static_cast<int>(shift);
    if (horizontal) {
        previousPosition_.x = 0;
        currentPosition_.x = static_cast<float>(s);
        previous_.sourceRect = Rect{kScreenWidth - s, 0, kScreenWidth, kScreenHeight};
        current_.sourceRect = Rect{0, 0, kScreenWidth - s, kScreenHeight};
    } else {
        previousPosition_.y = 0;
        currentPosition_.y = static_cast<float>(s);
        previous_.sourceRect = Rect{0, kScreenHeight - s, kScreenWidth, kScreenHeight};
        current_.sourceRect = Rect{0, 0, kScreenWidth, kScreenHeight - s};
    }
    ++t_;
}

bool CBackGround::Draw(CSpriteBatch& batch) {
    batch.SetTransform(transform_);
    const CTexture* currentTexture = LiveTexture(textures_, current_);
    if (kind_ != kIdle) {
        if (const CTexture* previousTexture = LiveTexture(textures_, previous_))
            batch.Draw(previousTexture, &previous_.sourceRect, &previousPosition_, previous_.color);
        if (currentTexture)
            batch.Draw(currentTexture, &current_.sourceRect, &currentPosition_, current_.color);
        return true;
    }
    if (!currentTexture) return true;
    if (shaking_ && (shakeKind_ == kShakeHorizontal || shakeKind_ == kShakeVertical)) {
        batch.Draw(currentTexture, &previous_.sourceRect, &previousPosition_, current_.color);
        batch.Draw(currentTexture, &current_.sourceRect, &currentPosition_, current_.color);
        return true;
    }
    const Vector3 origin;
    batch.Draw(currentTexture, nullptr, &origin, current_.color);
    return true;
}

}  // namespace zepa
