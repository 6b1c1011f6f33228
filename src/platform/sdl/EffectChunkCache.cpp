#include "platform/sdl/EffectChunkCache.h"

#include <filesystem>
#include <system_error>

namespace zepa {

bool CEffectChunkCache::StampOf(const std::string& path, Stamp& stamp) {
    std::error_code error;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) return false;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) return false;
    stamp.modified = modified.time_since_epoch().count();
    return true;
}

CEffectChunkCache::Chunk CEffectChunkCache::Load(const std::string& path) {
    Stamp stamp;
    const bool stamped = StampOf(path, stamp);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != path) continue;
        if (stamped && it->stamp == stamp) {
            entries_.splice(entries_.begin(), entries_, it);
            return it->chunk;
        }
        bytes_ -= it->chunk->alen;
        entries_.erase(it);  // the file changed
        break;
    }
    Chunk chunk(Mix_LoadWAV(path.c_str()), Mix_FreeChunk);
    if (!chunk) return nullptr;
    if (stamped) Keep({path, stamp, chunk});
    return chunk;
}

void CEffectChunkCache::Keep(Entry entry) {
    const size_t bytes = entry.chunk->alen;
    if (bytes > maxBytes_) return;
    while (!entries_.empty() && bytes_ + bytes > maxBytes_) {
        bytes_ -= entries_.back().chunk->alen;
        entries_.pop_back();
    }
    entries_.push_front(std::move(entry));
    bytes_ += bytes;
}

void CEffectChunkCache::Clear() {
    entries_.clear();
    bytes_ = 0;
}

}  // namespace zepa
