#include "resources/ReleasedTextures.h"

namespace zepa {

uint64_t CReleasedTextures::PixelsOf(const CTexture& texture) {
    return uint64_t(texture.textureWidth()) * uint64_t(texture.textureHeight());
}

void CReleasedTextures::Keep(ImageKey key, std::unique_ptr<CTexture> texture) {
    const uint64_t pixels = PixelsOf(*texture);
    if (pixels > kMaxPixels) return;
    entries_.push_front(Entry{std::move(key), std::move(texture)});
    pixels_ += pixels;
    while (pixels_ > kMaxPixels) {
        pixels_ -= PixelsOf(*entries_.back().texture);
        entries_.pop_back();
    }
}

std::unique_ptr<CTexture> CReleasedTextures::Take(const ImageKey& key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (!(it->key == key)) continue;
        std::unique_ptr<CTexture> texture = std::move(it->texture);
        pixels_ -= PixelsOf(*texture);
        entries_.erase(it);
        return texture;
    }
    return nullptr;
}

const CTexture* CReleasedTextures::Find(const std::string& name, uint32_t format, uint32_t colorKey) const {
    for (const Entry& entry : entries_) {
        if (entry.key.name == name && entry.key.format == format && entry.key.colorKey == colorKey)
            return entry.texture.get();
    }
    return nullptr;
}

void CReleasedTextures::Clear() {
    entries_.clear();
    pixels_ = 0;
}

}  // namespace zepa
