// A texture: 32-bit ARGB texels (alpha in the top byte) of an image, presented as a power-of-two
// texture whose padding is transparent black (opaque black for formats without alpha).
//
// Only the stored texels take memory: an image keeps its own width x height, the padding up to
// the power-of-two size is implied (TexelAt answers it, the compositor fills it in). A blank
// texture is a drawing surface (text canvases) and stores the whole power-of-two area, since
// everything in it may be drawn on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/TextureFormat.h"
#include "platform/PixelMemory.h"

namespace zepa {

class CTexture;

// Registered on single textures: told before such a texture's texels may change (Lock) and before
// it is destroyed, so that a compositor still holding deferred draws of it can carry them out
// first. The callbacks must not add or remove watchers of the texture they are told about.
class ITextureWatcher {
  public:
    virtual void BeforeTextureChange(const CTexture& texture) = 0;
    // The texture has already dropped the watcher, which need not remove itself.
    virtual void BeforeTextureDestroyed(const CTexture& texture) = 0;

  protected:
    ~ITextureWatcher() = default;
};

class CTexture {
  public:
    // Largest image side accepted; larger images fail to load like on a device without such
    // textures (and keep one texture's memory bounded).
    static constexpr int kMaxSide = 8192;

    // A blank texture (every texel 0x00000000, the whole power-of-two area stored) for an image
    // of width x height; null when a side is not in 1..kMaxSide.
    static std::unique_ptr<CTexture> CreateBlank(int width, int height, uint32_t format = D3DFMT_A8R8G8B8);
    // A texture holding `pixels` (width x height ARGB, row after row; only these are stored);
    // formats without alpha force every texel opaque. Null on a bad size or too few pixels.
    static std::unique_ptr<CTexture> CreateFromPixels(const uint32_t* pixels, int width, int height,
                                                      uint32_t format);

    // The image's size.
    int width() const { return width_; }
    int height() const { return height_; }
    // The texture's size: the image's size rounded up to powers of two.
    int textureWidth() const { return textureWidth_; }
    int textureHeight() const { return textureHeight_; }
    uint32_t format() const { return format_; }
    bool hasAlpha() const { return FormatHasAlpha(format_); }
    // True when every texel of the texture (padding included) has alpha 255.
    bool allOpaque() const { return allOpaque_; }

    // The stored area, from the top-left corner: storedWidth() x storedHeight() texels, within
    // the texture's size. Every texel of the texture outside it is paddingTexel().
    int storedWidth() const { return storedWidth_; }
    int storedHeight() const { return storedHeight_; }
    uint32_t paddingTexel() const { return hasAlpha() ? 0u : 0xFF000000u; }
    bool IsStored(int x, int y) const { return x >= 0 && y >= 0 && x < storedWidth_ && y < storedHeight_; }

    // Stored texel rows of pitch() texels.
    const uint32_t* Texels() const { return texels_.data(); }
    // Any texel of the texture, padding included (outside the texture: the padding texel too).
    uint32_t TexelAt(int x, int y) const {
        return IsStored(x, y) ? texels_[static_cast<size_t>(y) * storedWidth_ + x] : paddingTexel();
    }

    // Write access to the stored texels (text canvases), storedHeight() rows of pitch() texels.
    // Unlock must follow the writes; it re-establishes the format's rules (opaque alpha for
    // formats without alpha).
    uint32_t* Lock();
    int pitch() const { return storedWidth_; }
    void Unlock();

    // Bytes of texel memory this texture holds.
    size_t StoredBytes() const { return texels_.size() * sizeof(uint32_t); }

    // Watchers hold the texture's address, so it never moves nor copies.
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;
    ~CTexture();
    // A number this texture has not had before, renewed by Lock and Unlock: a texture whose stamp
    // is the same as before still holds the same texels. Other textures may have the same number;
    // telling a new texture from a destroyed one at the same address is up to a watcher.
    uint64_t contentStamp() const { return contentStamp_; }
    // Watchers told about changes of this texture, in the order they were added. Registering
    // changes no texel, so it is allowed on a texture only read.
    void AddWatcher(ITextureWatcher* watcher) const;
    void RemoveWatcher(ITextureWatcher* watcher) const;

  private:
    CTexture(int width, int height, uint32_t format, bool storeWholeTexture);
    void RefreshOpacity();

    int width_;
    int height_;
    int textureWidth_;
    int textureHeight_;
    int storedWidth_;
    int storedHeight_;
    uint32_t format_;
    bool allOpaque_ = false;
    uint64_t contentStamp_ = 0;
    PixelVector<uint32_t> texels_;
    mutable std::vector<ITextureWatcher*> watchers_;
};

// The smallest power of two >= value (value >= 1).
int RoundUpToPowerOfTwo(int value);

}  // namespace zepa
