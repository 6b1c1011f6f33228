// The resource archive "GameData.pac": a flat table of named byte ranges. Layout (little-endian):
//   u32 count, then count entries of 264 bytes { char name[256] (NUL-terminated), u32 size,
//   u32 offset }, then the entry data at the offsets the table gives.
// The file is read once for its index and reopened for every entry read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zepa {

struct PackEntry {
    uint32_t size = 0;
    uint32_t offset = 0;
};

class CPackArchive {
  public:
    static constexpr size_t kEntrySize = 264;
    static constexpr size_t kNameSize = 256;

    // Opens `path` (default "GameData.pac" in the working directory) and builds the index. An
    // archive that cannot be opened is simply empty.
    explicit CPackArchive(std::string path = "GameData.pac");

    // Reads an entry by exact, case-sensitive name. `buffer` must be null on entry; on success it
    // receives a new[]-allocated block of exactly `size` bytes (not NUL-terminated) that the
    // caller owns and frees with delete[]. On failure returns false and leaves `buffer` as it was.
    bool ReadEntry(const char* name, uint8_t*& buffer, uint32_t& size) const;
    // The same read into a vector (the form engine code uses).
    bool ReadEntry(const std::string& name, std::vector<uint8_t>& out) const;

    // Appends, in ascending byte order, every entry name containing "Graphics/System/".
    void ListSystemGraphics(std::vector<std::string>& list) const;

    uint32_t count() const { return count_; }
    const std::map<std::string, PackEntry>& index() const { return index_; }
    const std::string& path() const { return path_; }

  private:
    void BuildIndex();

    uint32_t count_ = 0;
    std::map<std::string, PackEntry> index_;
    std::string path_;
    uint64_t fileSize_ = 0;
};

}  // namespace zepa
