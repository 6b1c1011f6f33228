// The common base of the on-screen windows: a rectangle inside the 640 x 480 screen, a frame drawn
// from one shared skin image, an opening animation, visibility switches, the font settings of the
// window's text and the canvas store that holds the rendered text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "stage/GameObjectBase.h"
#include "text/TextCanvasStore.h"
#include "windows/WindowEnvironment.h"

namespace zepa {

class CTexture;
struct ButtonState;

// Opening effects; kEffectFinished once the animation is over.
enum WindowEffect : int32_t {
    kEffectFlash = 0,
    kEffectExpand = 1,
    kEffectFade = 2,
    kEffectFinished = 3,
};

// Skin types: tiled frame, one stretched picture, no frame.
enum WindowSkinType : int32_t {
    kSkinTiled = 0,
    kSkinStretched = 1,
    kSkinNone = 2,
};

class CWindowBase : public CGameObjectBase {
  public:
    static constexpr const char* kDefaultSkinFile = "Graphics/System/WindowBase.png";
    static constexpr int kOpeningFrames = 12;
    static constexpr int kMinWidth = 24;
    static constexpr int kMinHeight = 24;
    static constexpr int kTextInset = 5;

    // `environment` (owned by the game object) must outlive the window.
    explicit CWindowBase(const WindowEnvironment& environment);
    ~CWindowBase() override = default;
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    const WindowEnvironment& environment() const { return environment_; }

    // Opening animation, once per frame.
    bool Update() override;
    // Frame, then the text texture once the animation is over.
    bool Draw(CSpriteBatch& batch) override;

    void SetVisible(bool visible) { visible_ = visible; }
    void SkinVisible(bool visible) { skinVisible_ = visible; }
    // Below 0 selects the tiled frame, 3 and above the stretched picture.
    void SkinType(int32_t type) { skinType_ = ClampSkinType(type); }
    static int32_t ClampSkinType(int32_t type);
    void FontType(const std::string& face) { fontFace_ = face; }
    void FontSize(int32_t size) { fontSize_ = size; }
    void FontColor(int32_t a, int32_t r, int32_t g, int32_t b) { textColor_ = PackColor(a, r, g, b); }
    void FontShade(bool shaded) { shaded_ = shaded; }
    void FontShadeColor(int32_t a, int32_t r, int32_t g, int32_t b) { shadeColor_ = PackColor(a, r, g, b); }
    // (a << 24) | (r << 16) | (g << 8) | b with each component taken modulo 256.
    static uint32_t PackColor(int32_t a, int32_t r, int32_t g, int32_t b);
    // "flash" 0, "expand" 1, "fade" 2, anything else 0.
    static int32_t EffectFromName(const std::string& name);

    bool isOpen() const { return open_; }
    bool animating() const { return animating_; }
    bool visible() const { return visible_; }
    bool skinVisible() const { return skinVisible_; }
    int32_t skinType() const { return skinType_; }
    int32_t effect() const { return effect_; }
    int32_t x() const { return x_; }
    int32_t y() const { return y_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t currentWidth() const { return currentWidth_; }
    int32_t currentHeight() const { return currentHeight_; }
    int32_t alpha() const { return alpha_; }
    int32_t frameCounter() const { return frameCounter_; }
    const Rect& skinPiece(int index) const { return pieces_[index]; }
    const std::string& fontFace() const { return fontFace_; }
    int32_t fontSize() const { return fontSize_; }
    uint32_t textColor() const { return textColor_; }
    uint32_t shadeColor() const { return shadeColor_; }
    bool shaded() const { return shaded_; }
    const CTexture* textTexture() const { return textTexture_; }

  protected:
    // Geometry, clamps and the start of the opening animation; sets open.
    void OpenBase(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
                  bool visible, bool skinVisible);
    void DrawFrame(CSpriteBatch& batch) const;
    void DrawText(CSpriteBatch& batch) const;
    void ComputePieces();
    void ComputeRemainderPieces(int32_t width, int32_t height);
    // Gives a new text canvas the window's font colour and shade (antialiased, as all window text).
    void ApplyTextStyle(TextCanvas& canvas) const;

    const WindowEnvironment& environment_;
    CTextCanvasStore textStore_;
    CTexture* textTexture_ = nullptr;  // canvas 0's texture while the window has one
    std::string fontFace_;
    int32_t fontSize_ = 24;
    uint32_t textColor_ = 0xFFFFFFFFu;
    uint32_t shadeColor_ = 0xFF000000u;
    bool shaded_ = true;
    bool open_ = false;
    bool animating_ = false;
    bool visible_ = false;
    bool skinVisible_ = false;
    int32_t skinType_ = kSkinTiled;
    int32_t effect_ = kEffectFinished;
    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t width_ = 640;
    int32_t height_ = 160;
    int32_t currentX_ = 0;
    int32_t currentY_ = 0;
    int32_t currentWidth_ = 640;
    int32_t currentHeight_ = 160;
    int32_t alpha_ = 255;
    int32_t frameCounter_ = 0;
    std::array<Rect, 16> pieces_{};

  private:
    void DrawTiled(CSpriteBatch& batch, const CTexture& skin, uint32_t color) const;
    void DrawStretched(CSpriteBatch& batch, const CTexture& skin, uint32_t color) const;
};

// The default face: "ＭＳ　Ｐゴシック" in Shift-JIS.
const std::string& DefaultWindowFontFace();

}  // namespace zepa
