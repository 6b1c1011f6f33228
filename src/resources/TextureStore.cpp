#include "resources/TextureStore.h"

#include <algorithm>
#include <vector>

#include "gfx/ImageLoader.h"
#include "platform/FileReader.h"
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

// Reading a byte and making a pixel (decode, conversion, colour key) each count as one unit of work.
std::unique_ptr<CTexture> CTextureStore::Decode(const std::vector<uint8_t>& bytes, uint32_t format,
                                                uint32_t colorKey) {
    std::unique_ptr<CTexture> texture = CreateTextureFromImage(bytes, format, colorKey);
    if (meter_) {
        meter_->Add(bytes.size());
        if (texture) meter_->Add(uint64_t(texture->width()) * uint64_t(texture->height()));
    }
    return texture;
}

void CTextureStore::ReadAhead(const std::string& name, uint32_t format, uint32_t colorKey) {
    if (name.empty()) return;
    const ImageRequest request{name, format, colorKey};
    if (textures_.count(name) || released_.Find(name, format, colorKey)) {
        // Already decoded: kept at hand until the statements ahead take it.
        if (keptForLook_.size() < CImageReadAhead::kMaxQueued &&
            std::find(keptForLook_.begin(), keptForLook_.end(), request) == keptForLook_.end())
            keptForLook_.push_back(request);
        return;
    }
    readAhead_.Request(request);
}

void CTextureStore::BeginReadAhead() {
    readAhead_.BeginLook();
    keptForLook_.clear();
}

void CTextureStore::AppendReadAheadMemory(std::vector<MemoryRange>& ranges) const {
    for (const ImageRequest& request : keptForLook_) {
        const auto stored = textures_.find(request.name);
        const CTexture* texture = stored != textures_.end() ? stored->second.get()
                                                             : released_.Find(request.name, request.format, request.colorKey);
        if (texture) ranges.push_back({texture->Texels(), texture->StoredBytes()});
    }
    readAhead_.AppendDecodedMemory(ranges);
}

bool CTextureStore::Load(const std::string& name, uint32_t format, uint32_t colorKey) {
    if (textures_.count(name)) return false;
    // Looked up once: a refused name is reported once.
    const std::optional<std::string> loose = FindLooseFile(name, files_);
    const ImageKey key{name, format, colorKey, loose ? StampOfFile(*loose) : std::nullopt};
    if (auto texture = released_.Take(key)) return Keep(key, std::move(texture));
    // Read ahead: charged as the same read and decode made here would be, so that the frame the
    // statement runs in does not depend on whether the worker was in time.
    if (CImageReadAhead::Decoded ready = readAhead_.Take(key); ready.texture) {
        if (meter_) meter_->Add(ready.work);
        return Keep(key, std::move(ready.texture));
    }
    std::vector<uint8_t> bytes;
    bool looseFileFailed = false;
    if (loose && ReadWholeFile(*loose, bytes) == FileReadResult::Ok) {
        if (auto texture = Decode(bytes, format, colorKey)) return Keep(key, std::move(texture));
        looseFileFailed = true;
    }
    bytes.clear();
    if (!archive_ || !archive_->ReadEntry(name, bytes)) {
        // Absent everywhere is not an error; a loose file that exists but does not decode is.
        return !looseFileFailed;
    }
    auto texture = Decode(bytes, format, colorKey);
    if (!texture) return false;
    return Keep(key, std::move(texture));
}

namespace {

uint64_t StoredPixels(const CTexture& texture) {
    return uint64_t(texture.textureWidth()) * uint64_t(texture.textureHeight());
}

}  // namespace

bool CTextureStore::Keep(const ImageKey& key, std::unique_ptr<CTexture> texture) {
    if (budget_ && !budget_->Reserve(StoredPixels(*texture), "the image " + key.name)) return false;
    textures_.emplace(key.name, std::move(texture));
    keys_[key.name] = key;
    return true;
}

CTextureStore::~CTextureStore() {
    if (budget_)
        for (const auto& [name, texture] : textures_) budget_->Release(StoredPixels(*texture));
}

CTexture* CTextureStore::GetTexture(const std::string& name) const {
    auto found = textures_.find(name);
    return found == textures_.end() ? nullptr : found->second.get();
}

bool CTextureStore::ReleaseTexture(const std::string& name) {
    auto found = textures_.find(name);
    if (found == textures_.end()) return false;
    if (budget_) budget_->Release(StoredPixels(*found->second));
    auto key = keys_.find(name);
    if (key != keys_.end()) {
        released_.Keep(std::move(key->second), std::move(found->second));
        keys_.erase(key);
    }
    textures_.erase(found);
    return true;
}

void CTextureStore::ReleaseAllTextures() {
    while (!textures_.empty()) ReleaseTexture(textures_.begin()->first);
}

std::unique_ptr<CTexture> CTextureStore::ReadAndDecode(const ImageKey& key,
                                                       const std::optional<std::string>& loose) {
    std::vector<uint8_t> bytes;
    if (loose && ReadWholeFile(*loose, bytes) == FileReadResult::Ok)
        return Decode(bytes, key.format, key.colorKey);
    bytes.clear();
    if (archive_ && archive_->ReadEntry(key.name, bytes)) return Decode(bytes, key.format, key.colorKey);
    return nullptr;
}

int CTextureStore::ReloadChangedImages() {
    readAhead_.DropAll();
    released_.Clear();
    std::vector<std::string> names;
    for (const auto& [name, texture] : textures_) names.push_back(name);
    int reloaded = 0;
    for (const std::string& name : names) {
        const auto stored = keys_.find(name);
        if (stored == keys_.end()) continue;
        const std::optional<std::string> loose = FindLooseFile(name, files_);
        const ImageKey key{name, stored->second.format, stored->second.colorKey,
                           loose ? StampOfFile(*loose) : std::nullopt};
        if (key.looseFile && key == stored->second) continue;  // the same loose file, unchanged
        ++reloaded;
        std::unique_ptr<CTexture> texture = ReadAndDecode(key, loose);
        auto current = textures_.find(name);
        if (budget_) budget_->Release(StoredPixels(*current->second));
        textures_.erase(current);
        keys_.erase(name);
        if (texture) Keep(key, std::move(texture));
    }
    released_.Clear();
    return reloaded;
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
