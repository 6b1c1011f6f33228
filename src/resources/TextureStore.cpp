#include "resources/TextureStore.h"

#include <vector>

#include "gfx/ImageLoader.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"

namespace zepa {
namespace {
CTextureStore* g_textureStore = nullptr;
}  // namespace

CTextureStore* TextureStore() {
    return g_textureStore;
}

void SetTextureStore(CTextureStore* store) {
    g_textureStore = store;
}

ResultCode CTextureStore::LoadTexture(const StageImage& request) {
    return Load(request.name, request.format, request.colorKey);
}

ResultCode CTextureStore::LoadTextureFile(const std::string& name) {
    return Load(name, D3DFMT_A8R8G8B8, kPictureColorKey);
}

ResultCode CTextureStore::Load(const std::string& name, uint32_t format, uint32_t colorKey) {
    if (textures_.count(name)) return kEFail;
    std::vector<uint8_t> bytes;
    bool looseFileFailed = false;
    if (ReadLooseFile(name, bytes)) {
        if (auto texture = CreateTextureFromImage(bytes, format, colorKey)) {
            textures_.emplace(name, std::move(texture));
            return kSOk;
        }
        looseFileFailed = true;
    }
    bytes.clear();
    if (!archive_ || !archive_->ReadEntry(name, bytes)) {
        // Absent everywhere is not an error; a loose file that exists but does not decode is.
        return looseFileFailed ? kEFail : kSOk;
    }
    auto texture = CreateTextureFromImage(bytes, format, colorKey);
    if (!texture) return kEFail;
    textures_.emplace(name, std::move(texture));
    return kSOk;
}

CTexture* CTextureStore::GetTexture(const std::string& name) const {
    auto found = textures_.find(name);
    return found == textures_.end() ? nullptr : found->second.get();
}

ResultCode CTextureStore::ReleaseTexture(const std::string& name) {
    return textures_.erase(name) ? kSOk : kEFail;
}

void CTextureStore::LoadSystemGraphics() {
    const std::string folder = kSystemGraphicsFolder;
    // Every entry is tried, "." ".." and sub-folders included; they simply fail to load.
    for (const std::string& entry : ListLooseFolder(folder)) LoadTextureFile(folder + entry);
    if (!archive_) return;
    std::vector<std::string> names;
    archive_->ListSystemGraphics(names);
    for (const std::string& name : names) LoadTextureFile(name);
}

}  // namespace zepa
