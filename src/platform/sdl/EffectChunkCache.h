// Decoded sound effects by file, so that an effect played again starts at once: decoding renders
// the whole file (a MIDI effect through the soundfont, which costs tens of milliseconds and a
// transient copy of the soundfont each time).
#pragma once

#include <SDL2/SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

namespace zepa {

class CEffectChunkCache {
  public:
    using Chunk = std::shared_ptr<Mix_Chunk>;

    explicit CEffectChunkCache(size_t maxBytes) : maxBytes_(maxBytes) {}

    // The chunk decoded from `path`, from the cache while the file keeps the size and modification
    // time it had then, else decoded now (null when it does not decode).
    Chunk Load(const std::string& path);
    // Lets go of every entry (clips still sounding keep their chunks).
    void Clear();
    size_t bytes() const { return bytes_; }
    size_t size() const { return entries_.size(); }

  private:
    struct Stamp {
        uintmax_t size = 0;
        int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        std::string path;
        Stamp stamp;
        Chunk chunk;
    };
    static bool StampOf(const std::string& path, Stamp& stamp);
    void Keep(Entry entry);

    size_t maxBytes_;
    size_t bytes_ = 0;
    std::list<Entry> entries_;  // most recently used first
};

}  // namespace zepa
