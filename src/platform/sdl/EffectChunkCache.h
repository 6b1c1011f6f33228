// Decoded sound effects by file, so that an effect played again starts at once: decoding renders
// the whole file (a MIDI effect through the soundfont, which costs tens of milliseconds and a
// transient copy of the soundfont each time).
#pragma once

#include <SDL2/SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

namespace zepa {

class CEffectChunkCache {
  public:
    using Chunk = std::shared_ptr<Mix_Chunk>;
    // A file's size and modification time: a kept chunk stands for the file while they match.
    struct Stamp {
        uintmax_t size = 0;
        int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    };

    explicit CEffectChunkCache(size_t maxBytes) : maxBytes_(maxBytes) {}

    // The stamp of `path` now; nullopt when the file cannot be examined.
    static std::optional<Stamp> StampOf(const std::string& path);
    // Decodes `path` whole (any thread); null when it does not decode.
    static Chunk Decode(const std::string& path);

    // The chunk kept for `path` with `stamp`, or null; an entry for an older stamp is let go.
    Chunk Find(const std::string& path, const std::optional<Stamp>& stamp);
    // Keeps `chunk` as the decoding of `path` at `stamp`, letting the least recently used go
    // within the byte bound; a chunk larger than the bound is not kept.
    void Keep(const std::string& path, const Stamp& stamp, Chunk chunk);
    // Find, else Decode and Keep.
    Chunk Load(const std::string& path);
    // Lets go of every entry (clips still sounding keep their chunks).
    void Clear();
    size_t bytes() const { return bytes_; }
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string path;
        Stamp stamp;
        Chunk chunk;
    };

    size_t maxBytes_;
    size_t bytes_ = 0;
    std::list<Entry> entries_;  // most recently used first
};

}  // namespace zepa
