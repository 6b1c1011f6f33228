#include "platform/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace zepa {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// `atLimit` says what reaching the limit means: the file is too large, or the read is done.
template <typename Bytes>
FileReadResult ReadInto(const std::string& path, Bytes& out, size_t limit, FileTypes types,
                        FileReadResult atLimit = FileReadResult::TooLarge) {
    std::unique_ptr<std::FILE, FileCloser> file(
        types == FileTypes::RegularOnly ? OpenRegularFile(path) : std::fopen(path.c_str(), "rb"));
    if (!file) return FileReadResult::Missing;
    Bytes bytes;
    char chunk[8192];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > limit) {
            if (atLimit != FileReadResult::Ok) return atLimit;
            bytes.insert(bytes.end(), chunk, chunk + (limit - bytes.size()));
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) return FileReadResult::Failed;
    out = std::move(bytes);
    return FileReadResult::Ok;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO does not wait for a writer; the flag is dropped again for reading.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit,
                             FileTypes types) {
    return ReadInto(path, out, limit, types);
}

FileReadResult ReadWholeFile(const std::string& path, std::string& out, size_t limit, FileTypes types) {
    return ReadInto(path, out, limit, types);
}

FileReadResult ReadFileStart(const std::string& path, std::string& out, size_t limit) {
    return ReadInto(path, out, limit, FileTypes::RegularOnly, FileReadResult::Ok);
}

}  // namespace zepa
