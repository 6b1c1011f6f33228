// Checks the statements of one script text. The game around it (other scripts, image and sound
// files) is reached through ILintGame, so the checks can run on texts built in memory.
#pragma once

#include <string>
#include <vector>

#include "lint/GameLint.h"

namespace zepa {

// Where a resource is found: loose files first, then the archive.
struct LintLookup {
    enum class Where : unsigned char { Nowhere, Loose, Archive };
    Where where = Where::Nowhere;
    // Loose: the file's name as stored on the disk, as a resource name (CP932, '/' between
    // folders, relative to the game folder).
    std::string storedName;
    // Nowhere: an archive entry whose name differs from the one asked for only in letter case or
    // in '/' for '\', else empty.
    std::string archiveOtherCase;
};

class ILintGame {
  public:
    virtual ~ILintGame() = default;
    // The text of the script resource `path` (CP932 name, "Script/..."), or null when there is none.
    virtual const std::string* ScriptText(const std::string& path) = 0;
    // True when the resource `path` exists as a loose file or an archive entry.
    virtual bool ResourceExists(const std::string& path) = 0;
    // True when the script `path` is read from GameData.pac (no loose file hides it).
    virtual bool IsArchived(const std::string& /*path*/) { return false; }
    // Where the resource `path` is found; by default a loose file under its own name when it exists.
    virtual LintLookup Lookup(const std::string& path) {
        if (!ResourceExists(path)) return {};
        return {LintLookup::Where::Loose, path, {}};
    }
};

// Appends the problems of the script `path` (CP932 name) whose text is `text`.
void LintScript(const std::string& path, const std::string& text, ILintGame& game,
                std::vector<LintFinding>& findings);

}  // namespace zepa
