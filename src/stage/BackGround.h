// The background layer: one full-screen image changed by named transitions (cut, fade through
// black, two cross-fades, two slides), shaken horizontally or vertically with wrap-around, and
// modulated by a colour tone. All timing is counted in Update calls (frames).
#pragma once

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "gfx/Matrix.h"
#include "resources/TextureStore.h"
#include "stage/GraphicsBase.h"

namespace zepa {

class CBackGround : public CGraphicsBase {
  public:
    // What the state dump shows of it (JSON, UTF-8).
    nlohmann::json DescribeState() const;

    enum TransitionKind : int32_t {
        kCut = 0,
        kFade = 1,
        kCrossFade = 2,
        kCrossFade2 = 3,
        kSlideFromRight = 4,  // "slidein_l": enters at the right edge moving left
        kSlideFromLeft = 5,   // "slidein_r": enters at the left edge moving right
        kIdle = 6,
    };
    enum ShakeKind : int32_t { kShakeHorizontal = 0, kShakeVertical = 1, kShakeNone = 2 };

    static constexpr const char* kFolder = "Graphics/BG/";
    static constexpr int32_t kDefaultLength = 30;
    static constexpr int32_t kDefaultShakeLength = 10;
    static constexpr int kShakeAmplitudeX = 60;
    static constexpr int kShakeAmplitudeY = 40;

    // Images are loaded into and released from `textures` (null: none are shown).
    explicit CBackGround(CTextureStore* textures);

    // Shows "Graphics/BG/" + file (an empty file: no image) with the named transition.
    bool SetBackground(const std::string& file, const std::string& transition, int32_t length);
    // Has the image a later SetBackground(file) loads decoded ahead (see CTextureStore::ReadAhead).
    void ReadAhead(const std::string& file) const;
    // Starts a new look ahead in the store the layer loads from (CTextureStore::BeginReadAhead).
    void BeginReadAhead() const;
    // Shows the image at a resource path. The same path as now only stores the new length.
    bool SetBackgroundPath(const std::string& path, const std::string& transition, int32_t length);
    // Starts a shake; false (nothing changes) while a transition or a shake runs.
    bool StartShake(const std::string& effect, int32_t length);
    // Stores the tone, each value clamped to 0..255; used from the next Update.
    void SetColorTone(int32_t alpha, int32_t red, int32_t green, int32_t blue);

    bool Update() override;
    bool Draw(CSpriteBatch& batch) override;

    static TransitionKind TransitionFromName(const std::string& name);
    static ShakeKind ShakeFromName(const std::string& name);
    // The transition's script name ("" for the cut, "idle" when none runs), for state dumps.
    static const char* TransitionName(int32_t kind);

    // What a save point records and the state dump shows.
    const std::string& name() const { return current_.name; }
    int32_t transitionKind() const { return kind_; }
    int32_t transitionLength() const { return length_; }
    bool shaking() const { return shaking_; }
    int32_t shakeKind() const { return shakeKind_; }
    int32_t shakeLength() const { return shakeLength_; }
    int32_t frameCounter() const { return t_; }
    // The tone colour (alpha << 24 | red << 16 | green << 8 | blue) and its parts.
    uint32_t ToneColor() const;
    int32_t toneAlpha() const { return toneAlpha_; }
    int32_t toneRed() const { return toneRed_; }
    int32_t toneGreen() const { return toneGreen_; }
    int32_t toneBlue() const { return toneBlue_; }

    const StageImage& currentImage() const { return current_; }
    const StageImage& previousImage() const { return previous_; }
    const Vector3& currentPosition() const { return currentPosition_; }
    const Vector3& previousPosition() const { return previousPosition_; }

  private:
    CTextureStore* textures_;
    void UpdateFade();
    void UpdateCrossFade();
    void UpdateCrossFade2();
    void UpdateSlideFromRight();
    void UpdateSlideFromLeft();
    void ShakeStep();
    void EndShake();
    void Finish(bool advance);
    void ReleasePrevious();
    // The tone colour with another alpha.
    uint32_t ToneWithAlpha(int64_t alpha) const;

    int32_t t_ = 0;
    StageImage current_;
    StageImage previous_;
    int32_t kind_ = kIdle;
    int32_t length_ = kDefaultLength;
    int32_t shakeLength_ = kDefaultShakeLength;
    int32_t shakeKind_ = kShakeNone;
    bool shaking_ = false;
    int32_t toneAlpha_ = 255;
    int32_t toneRed_ = 255;
    int32_t toneGreen_ = 255;
    int32_t toneBlue_ = 255;
    Vector3 currentPosition_;
    Vector3 previousPosition_;
};

// The texture an image names, or null when it has none or the store no longer holds it (so a
// texture released by someone else is never drawn from a stale pointer).
const CTexture* LiveTexture(const CTextureStore* store, const StageImage& image);

}  // namespace zepa
