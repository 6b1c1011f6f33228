// The one way engine code reads a whole file: bounded, so that a file of any size (or a device
// that never ends) cannot take all memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zepa {

// Larger files are refused. Far above any script, image, sound, save or settings file.
inline constexpr size_t kMaxFileBytes = size_t{1} << 30;

enum class FileReadResult {
    Ok,
    Missing,   // cannot be opened
    Failed,    // an error while reading
    TooLarge,  // more than the limit
};

// What may be read. Game files must be regular files: a FIFO would block the engine forever and
// a device (/dev/zero) never ends, so both count as missing. Files named on the command line may
// also be pipes.
enum class FileTypes {
    RegularOnly,
    AnyReadable,
};

// Opens `path` for reading only when it is a regular file (a FIFO is never waited for); null
// otherwise.
std::FILE* OpenRegularFile(const std::string& path);

// Reads the file at `path` whole into `out` (left unchanged unless the result is Ok).
FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit = kMaxFileBytes,
                             FileTypes types = FileTypes::RegularOnly);
FileReadResult ReadWholeFile(const std::string& path, std::string& out, size_t limit = kMaxFileBytes,
                             FileTypes types = FileTypes::RegularOnly);
// Reads at most the first `limit` bytes of the regular file at `path` (what a format needs of a
// file that may have anything appended); Ok however long the file is.
FileReadResult ReadFileStart(const std::string& path, std::string& out, size_t limit);

}  // namespace zepa
