// Checks the statements of one script text. The game around it (other scripts, image and sound
// files) is reached through ILintGame, so the checks can run on texts built in memory.
#pragma once

#include <string>
#include <vector>

#include "lint/GameLint.h"

namespace zepa {

class ILintGame {
  public:
    virtual ~ILintGame() = default;
    // The text of the script resource `path` (CP932 name, "Script/..."), or null when there is none.
    virtual const std::string* ScriptText(const std::string& path) = 0;
    // True when the resource `path` exists as a loose file or an archive entry.
    virtual bool ResourceExists(const std::string& path) = 0;
    // True when the script `path` is read from GameData.pac (no loose file hides it).
    virtual bool IsArchived(const std::string& /*path*/) { return false; }
};

// Appends the problems of the script `path` (CP932 name) whose text is `text`.
void LintScript(const std::string& path, const std::string& text, ILintGame& game,
                std::vector<LintFinding>& findings);

}  // namespace zepa
