#include "resources/PackArchive.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/FileReader.h"

namespace zepa {
namespace {

uint32_t ReadLe32(const unsigned char* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

uint64_t FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

PackTableEntry DecodeEntry(const unsigned char* bytes) {
    PackTableEntry decoded;
    const void* nul = std::memchr(bytes, '\0', CPackArchive::kNameSize);
    decoded.nameTerminated = nul != nullptr;
    const size_t nameLength =
        nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - bytes) : CPackArchive::kNameSize;
    decoded.name.assign(reinterpret_cast<const char*>(bytes), nameLength);
    decoded.entry = PackEntry{ReadLe32(bytes + 256), ReadLe32(bytes + 260)};
    return decoded;
}

}  // namespace

PackTable ReadPackTable(const std::string& path) {
    PackTable table;
    // Not a regular file (a FIFO, a device): as if there were no archive.
    FilePtr file(OpenRegularFile(path));
    if (!file) return table;
    table.opened = true;
    table.fileSize = FileSize(file.get());
    unsigned char header[4];
    if (std::fread(header, 1, 4, file.get()) != 4) {
        table.truncated = table.fileSize != 0;
        return table;
    }
    table.declaredCount = ReadLe32(header);
    // The table is read entry by entry, so a count larger than the file can hold costs nothing.
    unsigned char bytes[CPackArchive::kEntrySize];
    for (uint32_t i = 0; i < table.declaredCount; ++i) {
        if (std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes) {
            table.truncated = true;
            break;
        }
        table.entries.push_back(DecodeEntry(bytes));
    }
    return table;
}

namespace {

bool HasUsableName(const PackTableEntry& stored) {
    return stored.nameTerminated && !stored.name.empty();
}

}  // namespace

// An archive cut inside its table still has proper names (every entry it holds may lie outside
// the file); a text file has no NUL in any name, and other files show empty or unterminated
// names among entries of which none can be read.
std::string PackTable::NotAnArchiveReason() const {
    if (fileSize > 0 && fileSize < 4) return "it is shorter than an archive header";
    if (declaredCount == 0) return {};
    bool anyNamed = false;
    bool anyBadName = false;
    for (const PackTableEntry& stored : entries) {
        if (HasUsableName(stored) && Contains(stored.entry)) return {};
        anyNamed = anyNamed || HasUsableName(stored);
        anyBadName = anyBadName || !HasUsableName(stored);
    }
    if (!anyNamed) return "its table names no entry";
    if (truncated && anyBadName)
        return "its table is longer than the file and holds no entry that can be read";
    return {};
}

CPackArchive::CPackArchive(std::string path) : path_(std::move(path)) {
    const PackTable table = ReadPackTable(path_);
    fileSize_ = table.fileSize;
    count_ = static_cast<uint32_t>(table.entries.size());
    for (const PackTableEntry& stored : table.entries) {
        // A name without its NUL cannot be asked for; the entry is left out.
        if (!stored.nameTerminated) continue;
        // The first of two entries with the same name wins.
        index_.emplace(stored.name, stored.entry);
    }
}

const PackEntry* CPackArchive::Find(const char* name) const {
    if (!name) return nullptr;
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &found->second;
}

bool CPackArchive::InsideFile(const PackEntry& entry) const {
    return uint64_t{entry.offset} + entry.size <= fileSize_;
}

bool CPackArchive::ReadBytes(const PackEntry& entry, uint8_t* destination) const {
    // An entry that lies (partly) outside the file fails rather than returning stale bytes.
    if (!InsideFile(entry)) return false;
    FilePtr file(OpenRegularFile(path_));
    if (!file) return false;
    if (entry.size == 0) return true;
    if (std::fseek(file.get(), static_cast<long>(entry.offset), SEEK_SET) != 0) return false;
    // A file that shrank since it was indexed gives a short read, which fails too.
    return std::fread(destination, 1, entry.size, file.get()) == entry.size;
}

bool CPackArchive::ReadEntry(const char* name, uint8_t*& buffer, uint32_t& size) const {
    const PackEntry* entry = Find(name);
    if (!entry || buffer != nullptr) return false;
    size = entry->size;
    // Checked before the allocation, so a corrupt size never allocates more than the file holds.
    if (!InsideFile(*entry)) return false;
    std::unique_ptr<uint8_t[]> block(new uint8_t[entry->size]);
    if (!ReadBytes(*entry, block.get())) return false;
    buffer = block.release();
    return true;
}

bool CPackArchive::ReadEntry(const std::string& name, std::vector<uint8_t>& out) const {
    if (name.find('\0') != std::string::npos) return false;
    const PackEntry* entry = Find(name.c_str());
    if (!entry) return false;
    // Checked before the allocation, so a corrupt size never allocates more than the file holds.
    if (!InsideFile(*entry)) return false;
    std::vector<uint8_t> bytes(entry->size);
    if (!ReadBytes(*entry, bytes.data())) return false;
    out = std::move(bytes);
    return true;
}

void CPackArchive::ListSystemGraphics(std::vector<std::string>& list) const {
    for (const auto& [name, entry] : index_) {
        if (name.find("Graphics/System/") != std::string::npos) list.push_back(name);
    }
}

}  // namespace zepa
