#include "platform/FileReader.h"

#include <cstdio>
#include <memory>

namespace zepa {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

template <typename Bytes>
FileReadResult ReadInto(const std::string& path, Bytes& out, size_t limit) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return FileReadResult::Missing;
    Bytes bytes;
    char chunk[8192];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > limit) return FileReadResult::TooLarge;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) return FileReadResult::Failed;
    out = std::move(bytes);
    return FileReadResult::Ok;
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
    return ReadInto(path, out, limit);
}

FileReadResult ReadWholeFile(const std::string& path, std::string& out, size_t limit) {
    return ReadInto(path, out, limit);
}

}  // namespace zepa
