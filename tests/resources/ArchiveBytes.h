// Builds archive files byte by byte for tests, including damaged ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zepa::testing {

struct RawEntry {
    std::string name;  // written as is, then NUL-padded to 256 bytes (no NUL when 256 long)
    uint32_t size = 0;
    uint32_t offset = 0;
};

inline void AppendLe32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// Header and table for `entries` with the given count, followed by `data`.
inline std::string RawArchive(uint32_t count, const std::vector<RawEntry>& entries, const std::string& data) {
    std::string bytes;
    AppendLe32(bytes, count);
    for (const RawEntry& entry : entries) {
        std::string name = entry.name;
        name.resize(256, '\0');
        bytes += name;
        AppendLe32(bytes, entry.size);
        AppendLe32(bytes, entry.offset);
    }
    return bytes + data;
}

struct NamedData {
    std::string name;
    std::string data;
};

// A sound archive: the entries' data follows the table in the order given.
inline std::string PackedArchive(const std::vector<NamedData>& files) {
    std::vector<RawEntry> entries;
    std::string data;
    uint32_t offset = 4 + 264 * static_cast<uint32_t>(files.size());
    for (const NamedData& file : files) {
        entries.push_back({file.name, static_cast<uint32_t>(file.data.size()), offset});
        offset += static_cast<uint32_t>(file.data.size());
        data += file.data;
    }
    return RawArchive(static_cast<uint32_t>(files.size()), entries, data);
}

}  // namespace zepa::testing
