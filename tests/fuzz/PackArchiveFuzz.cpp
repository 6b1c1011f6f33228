// Treats arbitrary bytes as an archive file: builds the index, then reads every entry through
// both forms and checks each read against the bytes of the file (a read succeeds exactly when
// the entry lies inside the file, and then returns exactly its bytes).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "resources/PackArchive.h"

namespace {

std::string TempArchivePath() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/zepa-fuzz-archive-" + std::to_string(getpid()) + ".pac";
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = TempArchivePath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written) return 0;

    const zepa::CPackArchive archive(path);
    Check(archive.count() <= size / zepa::CPackArchive::kEntrySize);
    for (const auto& [name, entry] : archive.index()) {
        const bool inside = uint64_t{entry.offset} + entry.size <= size;
        uint8_t* buffer = nullptr;
        uint32_t length = 0;
        const bool read = archive.ReadEntry(name.c_str(), buffer, length);
        std::unique_ptr<uint8_t[]> owned(buffer);
        Check(read == inside && (read || buffer == nullptr));
        if (read && length > 0)
            Check(length == entry.size && std::memcmp(buffer, data + entry.offset, length) == 0);
        if (read) Check(length == entry.size);

        std::vector<uint8_t> bytes;
        Check(archive.ReadEntry(name, bytes) == inside);
        if (inside) Check(bytes.size() == entry.size);
        if (inside && entry.size > 0) Check(std::memcmp(bytes.data(), data + entry.offset, entry.size) == 0);

        uint8_t sentinel = 0;
        uint8_t* notNull = &sentinel;
        Check(!archive.ReadEntry(name.c_str(), notNull, length) && notNull == &sentinel);
    }
    std::vector<std::string> system;
    archive.ListSystemGraphics(system);
    return 0;
}
