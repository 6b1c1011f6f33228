#include "gfx/Texture.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zepa {
namespace {
constexpr uint32_t kOpaque = 0xFF000000u;

bool ValidSide(int side) {
    return side >= 1 && side <= CTexture::kMaxSide;
}

}  // namespace

int RoundUpToPowerOfTwo(int value) {
    int result = 1;
    while (result < value) result <<= 1;
    return result;
}

CTexture::CTexture(int width, int height, uint32_t format, bool storeWholeTexture)
    : width_(width),
      height_(height),
      textureWidth_(RoundUpToPowerOfTwo(width)),
      textureHeight_(RoundUpToPowerOfTwo(height)),
      storedWidth_(storeWholeTexture ? textureWidth_ : width),
      storedHeight_(storeWholeTexture ? textureHeight_ : height),
      format_(format),
      texels_(static_cast<size_t>(storedWidth_) * storedHeight_, paddingTexel()) {
    allOpaque_ = !hasAlpha();
}

std::unique_ptr<CTexture> CTexture::CreateBlank(int width, int height, uint32_t format) {
    if (!ValidSide(width) || !ValidSide(height)) return nullptr;
    // A texture whose pixels cannot be had is one that cannot be made, not the end of the engine.
    try {
        return std::unique_ptr<CTexture>(new CTexture(width, height, format, true));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<CTexture> CTexture::CreateFromPixels(const uint32_t* pixels, int width, int height,
                                                     uint32_t format) {
    if (!pixels || !ValidSide(width) || !ValidSide(height)) return nullptr;
    std::unique_ptr<CTexture> texture;
    try {
        texture.reset(new CTexture(width, height, format, false));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::copy_n(pixels, texture->texels_.size(), texture->texels_.begin());
    texture->Unlock();
    return texture;
}

CTexture::~CTexture() {
    // Taken out first: the watchers are told they are no longer registered.
    const std::vector<ITextureWatcher*> watchers = std::move(watchers_);
    for (ITextureWatcher* watcher : watchers) watcher->BeforeTextureDestroyed(*this);
}

void CTexture::AddWatcher(ITextureWatcher* watcher) const {
    watchers_.push_back(watcher);
}

void CTexture::RemoveWatcher(ITextureWatcher* watcher) const {
    std::erase(watchers_, watcher);
}

uint32_t* CTexture::Lock() {
    for (ITextureWatcher* watcher : watchers_) watcher->BeforeTextureChange(*this);
    ++contentStamp_;
    return texels_.data();
}

void CTexture::Unlock() {
    ++contentStamp_;
    if (!hasAlpha()) {
        for (uint32_t& texel : texels_) texel |= kOpaque;
    }
    RefreshOpacity();
}

void CTexture::RefreshOpacity() {
    const bool paddingShows = storedWidth_ < textureWidth_ || storedHeight_ < textureHeight_;
    if (paddingShows && paddingTexel() < kOpaque) {
        allOpaque_ = false;
        return;
    }
    allOpaque_ = std::all_of(texels_.begin(), texels_.end(), [](uint32_t t) { return t >= kOpaque; });
}

}  // namespace zepa
