#include "platform/sdl/EffectChunkCache.h"

#include <filesystem>
#include <system_error>

namespace zepa {

std::optional<CEffectChunkCache::Stamp> CEffectChunkCache::StampOf(const std::string& path) {
    std::error_code error;
    Stamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) return std::nullopt;
    stamp.modified = modified.time_since_epoch().count();
    return stamp;
}

CEffectChunkCache::Chunk CEffectChunkCache::Decode(const std::string& path) {
    return Chunk(Mix_LoadWAV(path.c_str()), Mix_FreeChunk);
}

CEffectChunkCache::Chunk CEffectChunkCache::Find(const std::string& path, const std::optional<Stamp>& stamp) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != path) continue;
        if (stamp && it->stamp == *stamp) {
            entries_.splice(entries_.begin(), entries_, it);
            return it->chunk;
        }
        bytes_ -= it->chunk->alen;
        entries_.erase(it);  // the file changed
        return nullptr;
    }
    return nullptr;
}

CEffectChunkCache::Chunk CEffectChunkCache::Load(const std::string& path) {
    const std::optional<Stamp> stamp = StampOf(path);
    if (Chunk kept = Find(path, stamp)) return kept;
    Chunk chunk = Decode(path);
    if (chunk && stamp) Keep(path, *stamp, chunk);
    return chunk;
}

void CEffectChunkCache::Keep(const std::string& path, const Stamp& stamp, Chunk chunk) {
    const size_t bytes = chunk->alen;
    if (bytes > maxBytes_) return;
    Find(path, std::nullopt);  // an entry decoded meanwhile for the same file gives way
    while (!entries_.empty() && bytes_ + bytes > maxBytes_) {
        bytes_ -= entries_.back().chunk->alen;
        entries_.pop_back();
    }
    entries_.push_front({path, stamp, std::move(chunk)});
    bytes_ += bytes;
}

void CEffectChunkCache::Clear() {
    entries_.clear();
    bytes_ = 0;
}

}  // namespace zepa
