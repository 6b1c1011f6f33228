// A scene's free images: 64 pictures (image files from "Graphics/Picture/"), 64 text pictures
// (text drawn into blank canvases) and 256 sprites that show them, placed, cropped, scaled and
// tinted, optionally animated over a number of frames.
//
// A sprite refers to its source slot, not to the texture: reloading or releasing the slot changes
// what the sprite shows on the next frame without touching the sprite.
#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "gfx/Matrix.h"
#include "platform/Platform.h"
#include "text/TextCanvasStore.h"

namespace zepa {

class CSpriteBatch;
class CTexture;
class CTextureStore;

struct PictureSlot {
    CTexture* texture = nullptr;  // owned by the texture store; null when empty
    std::string fileName;         // as the script gave it, without the folder
};

struct SpriteState {
    static constexpr int kAlpha = 0, kRed = 1, kGreen = 2, kBlue = 3;

    CTexture* const* source = nullptr;                 // the texture field of a picture or text picture slot
    std::array<uint8_t, 4> color{255, 255, 255, 255};  // alpha, red, green, blue
    std::array<uint8_t, 4> targetColor{255, 255, 255, 255};
    int colorFrames = 0;
    Rect rect;
    Rect targetRect;
    int rectFrames = 0;
    float x = 0, y = 0;
    float targetX = 0, targetY = 0;
    Vector3 drawPosition;  // (x / scale x, y / scale y, 0)
    int positionFrames = 0;
    float scaleX = 1.0f, scaleY = 1.0f;
    float targetScaleX = 1.0f, targetScaleY = 1.0f;
    int magnificationFrames = 0;
    bool visible = false;

    uint32_t Argb() const;
};

class CPictureSet {
  public:
    // What the state dump shows of the pictures, text pictures and visible sprites (JSON, UTF-8).
    nlohmann::json DescribeState() const;

    static constexpr int kPictureCount = 64;
    static constexpr int kSpriteCount = 256;
    static constexpr int kLowSpriteCount = 128;  // drawn below the windows
    static constexpr const char* kPictureFolder = "Graphics/Picture/";

    // The store may be null (no pictures load then).
    CPictureSet(CTextureStore* textures, IGlyphSource& glyphs);
    ~CPictureSet() { ReleaseAllPictures(); }
    CPictureSet(const CPictureSet&) = delete;
    CPictureSet& operator=(const CPictureSet&) = delete;

    // Pictures.
    void LoadPicture(int slot, const std::string& file);
    // Has the image a later LoadPicture(…, file) loads decoded ahead.
    void ReadAhead(const std::string& file) const;
    // Starts a new look ahead in the store the pictures load from.
    void BeginReadAhead() const;
    void ReleasePicture(int slot);
    // Releases every picture and text picture.
    void ReleaseAllPictures();

    // Text pictures, drawn with the current text settings.
    void CreateTextPicture(int slot, int width, int height, const std::string& textCp932);
    void WriteTextPicture(int slot, const std::string& textCp932);
    void ReleaseTextPicture(int slot);
    void SetTextFont(const std::string& faceCp932) { fontName_ = faceCp932; }
    void SetTextSize(int size) { fontSize_ = size; }
    void SetTextColor(int alpha, int red, int green, int blue);
    void SetTextShade(bool on, int alpha, int red, int green, int blue);

    // Sprites; numbers outside 0..255 are ignored. frames <= 0 sets a value at once, otherwise
    // the sprite moves toward it over that many updates.
    void SetSpriteSource(int sprite, bool isText, int slot);
    void SetSpriteRect(int sprite, int left, int top, int right, int bottom, int frames);
    void MoveSprite(int sprite, int x, int y, int frames);
    void SetSpriteMagnification(int sprite, int xPercent, int yPercent, int frames);
    void SetSpriteColor(int sprite, int alpha, int red, int green, int blue, int frames);
    void SetSpriteVisible(int sprite, bool visible);
    void InitSprite(int sprite);
    void InitAllSprites();
    void CopySprite(int destination, int source);
    void SwapSprites(int a, int b);

    // One animation step for every sprite.
    void UpdateSprites();
    // Sprites 0..127 and 128..255; the transform is the identity afterwards.
    void DrawSpritesLow(CSpriteBatch& batch) const { DrawSprites(batch, 0, kLowSpriteCount); }
    void DrawSpritesHigh(CSpriteBatch& batch) const { DrawSprites(batch, kLowSpriteCount, kSpriteCount); }

    const PictureSlot& picture(int slot) const { return pictures_[slot]; }
    CTexture* textPicture(int slot) const { return textPictures_[slot]; }
    const SpriteState& sprite(int number) const { return sprites_[number]; }
    const std::string& fontName() const { return fontName_; }
    int fontSize() const { return fontSize_; }
    uint32_t textColor() const { return textColor_; }
    uint32_t shadeColor() const { return shadeColor_; }
    bool shading() const { return shading_; }

  private:
    static bool IsSlot(int slot) { return slot >= 0 && slot < kPictureCount; }
    static bool IsSprite(int sprite) { return sprite >= 0 && sprite < kSpriteCount; }
    void DrawText(int slot, const std::string& textCp932);
    void DrawSprites(CSpriteBatch& batch, int first, int end) const;

    std::array<PictureSlot, kPictureCount> pictures_;
    std::array<CTexture*, kPictureCount> textPictures_{};
    std::array<SpriteState, kSpriteCount> sprites_;
    CTextCanvasStore canvases_;
    CTextureStore* textures_;
    std::string fontName_;
    int fontSize_ = 24;
    uint32_t textColor_ = 0xFFFFFFFFu;
    uint32_t shadeColor_ = 0xFF000000u;
    bool shading_ = true;
};

}  // namespace zepa
