// Crash-safe replacement of a whole file: the new bytes go to a temporary file in the same folder,
// which is flushed to the disk and then renamed over the old file. A reader (or a crash) therefore
// sees either the complete old content or the complete new content, never a torn file.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileOperations.h"

namespace zepa {

// Replaces the file at `path` with `bytes`. When `path` is a symbolic link, the file it points at
// is replaced and the link kept. On failure (folder missing or read-only, disk full, ...) returns
// false, leaves the old file as it was and removes the temporary file.
// `files` makes the system calls (tests pass failing ones).
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         IFileOperations& files = RealFileOperations());

}  // namespace zepa
