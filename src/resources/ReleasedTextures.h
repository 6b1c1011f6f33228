// Images released lately, kept decoded for a while: a script that loads the same unchanged file
// again (a loop of picture loads, a background set back and forth) gets it back without reading
// or decoding it. Textures the store holds never change after they are decoded, so one taken
// back shows exactly what a fresh load would. Bounded by pixels; the oldest go first.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "gfx/Texture.h"
#include "platform/FileSystem.h"

namespace zepa {

// What a texture was made from: the name, how it was converted, and the loose file's stamp
// (none: it came from the archive, which does not change while the game runs).
struct ImageKey {
    std::string name;
    uint32_t format = 0;
    uint32_t colorKey = 0;
    std::optional<FileStamp> looseFile;
    bool operator==(const ImageKey&) const = default;
};

class CReleasedTextures {
  public:
    // 64 MB of pixels.
    static constexpr uint64_t kMaxPixels = uint64_t{16} << 20;

    void Keep(ImageKey key, std::unique_ptr<CTexture> texture);
    // The texture kept for `key`, taken out; null when there is none.
    std::unique_ptr<CTexture> Take(const ImageKey& key);
    // An image of `name` with this conversion kept (whatever its file stamp), or null.
    const CTexture* Find(const std::string& name, uint32_t format, uint32_t colorKey) const;
    void Clear();
    uint64_t pixels() const { return pixels_; }

  private:
    struct Entry {
        ImageKey key;
        std::unique_ptr<CTexture> texture;
    };
    static uint64_t PixelsOf(const CTexture& texture);

    std::list<Entry> entries_;  // most recently released first
    uint64_t pixels_ = 0;
};

}  // namespace zepa
