// The resource archive "GameData.pac": a flat table of named byte ranges. Layout (little-endian):
//   u32 count, then count entries of 264 bytes { char name[256] (NUL-terminated), u32 size,
//   u32 offset }, then the entry data at the offsets the table gives.
// The file is read once for its index and reopened for every entry read.
//
// A damaged archive never crashes the reader: the table stops at the last whole entry the file
// holds (whatever the count says), an entry whose name has no NUL is left out, and reading an
// entry whose bytes lie outside the file fails instead of returning stale or foreign bytes.
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

// One entry of the table as stored, for tools that show the table in file order.
struct PackTableEntry {
    std::string name;  // bytes up to the first NUL (all 256 when there is none)
    PackEntry entry;
    bool nameTerminated = true;
};

// The header and the table of an archive file, as far as the file holds them.
struct PackTable {
    bool opened = false;         // false: the file could not be opened
    uint32_t declaredCount = 0;  // the count in the header
    uint64_t fileSize = 0;
    bool truncated = false;               // the file ends before the table the header announces
    std::vector<PackTableEntry> entries;  // the whole entries present, in file order

    // True when the entry's bytes lie inside the file.
    bool Contains(const PackEntry& entry) const { return uint64_t{entry.offset} + entry.size <= fileSize; }
    // Why the file cannot be an archive, or empty when it may be one (damaged or not). Only a
    // file from which no entry can be read is ever refused, so whatever the engine can still
    // read from is listed as an archive.
    std::string NotAnArchiveReason() const;
};

// Reads the header and the table of the archive at `path`. Memory use is bounded by the size of
// the file, not by the count it declares.
PackTable ReadPackTable(const std::string& path);

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

    // Number of table entries the file really holds (at most the count its header declares).
    uint32_t count() const { return count_; }
    const std::map<std::string, PackEntry>& index() const { return index_; }
    const std::string& path() const { return path_; }

  private:
    const PackEntry* Find(const char* name) const;
    bool InsideFile(const PackEntry& entry) const;
    // Reads the entry's bytes into `destination` (entry.size bytes); false when the file cannot
    // be reopened or does not hold them.
    bool ReadBytes(const PackEntry& entry, uint8_t* destination) const;

    uint32_t count_ = 0;
    std::map<std::string, PackEntry> index_;
    std::string path_;
    uint64_t fileSize_ = 0;
};

}  // namespace zepa
