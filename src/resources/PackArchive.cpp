#include "resources/PackArchive.h"

#include <cstdio>
#include <cstring>
#include <memory>

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

}  // namespace

CPackArchive::CPackArchive(std::string path) : path_(std::move(path)) {
    BuildIndex();
}

void CPackArchive::BuildIndex() {
    FilePtr file(std::fopen(path_.c_str(), "rb"));
    if (!file) return;
    fileSize_ = FileSize(file.get());
    unsigned char header[4];
    if (std::fread(header, 1, 4, file.get()) != 4) return;
    count_ = ReadLe32(header);
    // A count larger than the file can hold stops at the last whole entry in the file.
    unsigned char entry[kEntrySize];
    for (uint32_t i = 0; i < count_; ++i) {
        if (std::fread(entry, 1, kEntrySize, file.get()) != kEntrySize) break;
        const void* nul = std::memchr(entry, '\0', kNameSize);
        const size_t nameLength = nul ? static_cast<const unsigned char*>(nul) - entry : kNameSize;
        std::string name(reinterpret_cast<const char*>(entry), nameLength);
        index_.emplace(std::move(name), PackEntry{ReadLe32(entry + 256), ReadLe32(entry + 260)});
    }
}

bool CPackArchive::ReadEntry(const char* name, uint8_t*& buffer, uint32_t& size) const {
    if (!name) return false;
    auto found = index_.find(name);
    if (found == index_.end()) return false;
    if (buffer != nullptr) return false;
    const PackEntry entry = found->second;
    size = entry.size;
    // An entry that lies (partly) outside the file fails rather than returning stale bytes.
    if (uint64_t{entry.offset} + entry.size > fileSize_) return false;
    FilePtr file(std::fopen(path_.c_str(), "rb"));
    if (!file) return false;
    if (std::fseek(file.get(), static_cast<long>(entry.offset), SEEK_SET) != 0) return false;
    auto block = std::make_unique<uint8_t[]>(entry.size == 0 ? 1 : entry.size);
    if (std::fread(block.get(), 1, entry.size, file.get()) != entry.size) return false;
    buffer = block.release();
    return true;
}

bool CPackArchive::ReadEntry(const std::string& name, std::vector<uint8_t>& out) const {
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    if (name.find('\0') != std::string::npos || !ReadEntry(name.c_str(), buffer, size)) return false;
    std::unique_ptr<uint8_t[]> owned(buffer);
    out.assign(owned.get(), owned.get() + size);
    return true;
}

void CPackArchive::ListSystemGraphics(std::vector<std::string>& list) const {
    for (const auto& [name, entry] : index_) {
        if (name.find("Graphics/System/") != std::string::npos) list.push_back(name);
    }
}

}  // namespace zepa
