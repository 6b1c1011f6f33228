// Screenshots taken by the player (F9): PNG files in the save folder, numbered so that no earlier
// shot is ever overwritten.
#pragma once

#include <string>

namespace zepa {

inline constexpr const char* kScreenshotFolder = "Save";

// "Save/zepa-shot-<n>.png" with the smallest n >= 1 that names no file yet, the Save folder inside
// `writableFolder` (empty: the game folder). The folder is created when it is missing; empty when
// it cannot be.
std::string NextScreenshotPath(const std::string& writableFolder = {});

}  // namespace zepa
