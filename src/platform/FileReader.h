// The one way engine code reads a whole file: bounded, so that a file of any size (or a device
// that never ends) cannot take all memory.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Reads the file at `path` whole into `out` (left unchanged unless the result is Ok).
FileReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out,
                             size_t limit = kMaxFileBytes);
FileReadResult ReadWholeFile(const std::string& path, std::string& out, size_t limit = kMaxFileBytes);

}  // namespace zepa
