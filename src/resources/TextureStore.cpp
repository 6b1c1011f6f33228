#include "resources/TextureStore.h"

#include <functional>
#include <string_view>
#include <vector>

#include "gfx/ImageLoader.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"

namespace zepa {
bool CTextureStore::LoadTexture(const StageImage& request) {
    return Load(request.name, request.format, request.colorKey);
}

bool CTextureStore::LoadTextureFile(const std::string& name) {
    return Load(name, D3DFMT_A8R8G8B8, kPictureColorKey);
}

bool CTextureStore::Load(const std::string& name, uint32_t format, uint32_t colorKey) {
    if (textures_.count(name)) return false;
    std::vector<uint8_t> bytes;
    bool looseFileFailed = false;
    if (ReadLooseFile(name, bytes, files_)) {
        if (auto texture = CreateTextureFromImage(bytes, format, colorKey)) {
            Store(name, std::move(texture), bytes, format, colorKey);
            return true;
        }
        looseFileFailed = true;
    }
    bytes.clear();
    if (!archive_ || !archive_->ReadEntry(name, bytes)) {
        // Absent everywhere is not an error; a loose file that exists but does not decode is.
        return !looseFileFailed;
    }
    auto texture = CreateTextureFromImage(bytes, format, colorKey);
    if (!texture) return false;
    Store(name, std::move(texture), bytes, format, colorKey);
    return true;
}

namespace {
size_t HashOf(const std::vector<uint8_t>& bytes) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
}  // namespace

void CTextureStore::Store(const std::string& name, std::unique_ptr<CTexture> texture,
                          const std::vector<uint8_t>& bytes, uint32_t format, uint32_t colorKey) {
    textures_[name] = std::move(texture);
    sources_[name] = Source{HashOf(bytes), format, colorKey};
}

bool CTextureStore::ReadSourceBytes(const std::string& name, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (ReadLooseFile(name, bytes, files_)) return true;
    bytes.clear();
    return archive_ && archive_->ReadEntry(name, bytes);
}

int CTextureStore::ReloadChangedImages() {
    int changed = 0;
    std::vector<uint8_t> bytes;
    for (auto entry = textures_.begin(); entry != textures_.end();) {
        const std::string name = entry->first;
        const auto source = sources_.find(name);
        const bool readable = ReadSourceBytes(name, bytes);
        if (source != sources_.end() && readable && HashOf(bytes) == source->second.hash) {
            ++entry;
            continue;
        }
        ++changed;
        std::unique_ptr<CTexture> texture;
        if (source != sources_.end() && readable)
            texture = CreateTextureFromImage(bytes, source->second.format, source->second.colorKey);
        if (texture) {
            Store(name, std::move(texture), bytes, source->second.format, source->second.colorKey);
            ++entry;
        } else {
            sources_.erase(name);
            entry = textures_.erase(entry);
        }
    }
    return changed;
}

CTexture* CTextureStore::GetTexture(const std::string& name) const {
    auto found = textures_.find(name);
    return found == textures_.end() ? nullptr : found->second.get();
}

bool CTextureStore::ReleaseTexture(const std::string& name) {
    sources_.erase(name);
    return textures_.erase(name) != 0;
}

void CTextureStore::LoadSystemGraphics() {
    const std::string folder = kSystemGraphicsFolder;
    // Every entry is tried, "." ".." and sub-folders included; they simply fail to load.
    for (const std::string& entry : ListLooseFolder(folder, files_)) LoadTextureFile(folder + entry);
    if (!archive_) return;
    std::vector<std::string> names;
    archive_->ListSystemGraphics(names);
    for (const std::string& name : names) LoadTextureFile(name);
}

}  // namespace zepa
