// The author's start option: a new game whose initialization script runs as usual, then the story
// starts at a label of a script instead of the top of "Script/Script.txt".
#pragma once

#include <optional>
#include <string>

#include "scenes/SceneServices.h"

namespace zepa {

class ILog;

// "FILE" or "FILE:LABEL" as typed (UTF-8; FILE names a script of the Script folder, LABEL may
// keep its leading '*'), in the engine's CP932. Nullopt, with the reason in `error`, when it
// cannot be.
std::optional<WarpTarget> ParseWarp(const std::string& utf8, std::string& error);

// True when the script exists (loose, or in "GameData.pac" of the working directory) and holds
// the label; otherwise false with the reason in `error`.
bool CheckWarpTarget(const WarpTarget& target, ILog& log, std::string& error);

}  // namespace zepa
