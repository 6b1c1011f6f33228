// Screenshots taken by the player (F9): PNG files in the save folder, numbered so that no earlier
// shot is ever overwritten.
#pragma once

#include <string>

namespace zepa {

inline constexpr const char* kScreenshotFolder = "Save";

// "Save/zepa-shot-<n>.png" with the smallest n >= 1 that names no file yet. The folder is
// created when it is missing; empty when it cannot be.
std::string NextScreenshotPath();

}  // namespace zepa
