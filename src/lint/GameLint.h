// The script checker behind `zepa-lint`: reads every script of a game (loose files under
// "Script/" and the scripts inside GameData.pac) with the engine's own statement reader and
// command tables, and reports what the engine would complain about at run time and what would
// go wrong without a word: statements that cannot be read, unbalanced blocks, jumps to labels or
// files that do not exist, image and sound files found nowhere, numbers out of range, statements
// that run but not as written; and what works as loose files but breaks once packed (names in
// other letter case or with '\', CR LF scripts in the archive) or is never read (sounds and fonts
// in the archive), UTF-8 scripts and missing system pictures.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zepa {

// One problem; texts are UTF-8. Line 0: the problem concerns the whole file.
struct LintFinding {
    std::string file;
    int line = 0;
    std::string message;
};

struct LintReport {
    bool readable = true;  // false: the game folder or its archive could not be read
    std::string error;     // why not (UTF-8)
    std::vector<LintFinding> findings;
    int scriptCount = 0;  // scripts checked
};

// Checks the game in `folder` (its scripts and the files they name, relative to that folder).
LintReport LintGame(const std::filesystem::path& folder);

// How findings are printed: "file:line: message" (Plain), or "file:line:col: warning: message"
// (Gcc), which editors and build tools jump from.
enum class LintFormat { Plain, Gcc };

// One line per finding. In the Gcc form a finding about a whole file is put on line 1 and every
// file name is preceded by `folder` (the game folder as given, so an editor finds the file).
std::string FormatFindings(const std::vector<LintFinding>& findings, LintFormat format = LintFormat::Plain,
                           const std::string& folder = "");

// 0 clean, 1 problems found, 2 cannot read.
int LintExitCode(const LintReport& report);

}  // namespace zepa
