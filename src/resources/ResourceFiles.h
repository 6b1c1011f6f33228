// Finding a game's data: a resource name is CP932 bytes, a relative path. A loose file is found
// as CLooseFiles finds it (exact bytes, their UTF-8 form, backslashes as separators, then without
// regard to ASCII case); only then the archive, whose names are matched exactly. Names that would
// leave the game folder are refused for loose files, with a warning in the log.
//
// Each function comes in two forms: one takes the caller's CLooseFiles (whose folder listings are
// kept between calls), the other makes one for the call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zepa {

class CLooseFiles;
class CPackArchive;
class ILog;

// `name` with "." and empty components dropped and each ".." taking away the component before
// it, as Windows resolves a path (so "Graphics/BG/../Char/a.png" works whether or not the
// folder "BG" exists); nullopt when the name is absolute, holds a NUL or climbs above the game
// folder.
std::optional<std::string> NormalizeResourceName(const std::string& name);

// True when `name` stays inside the game folder.
bool IsSafeResourceName(const std::string& name);

// The path of an existing loose file for `nameCp932`, or nullopt (refused or absent).
// A refused name is reported to `log`.
std::optional<std::string> FindLooseFile(const std::string& nameCp932, CLooseFiles& files);
std::optional<std::string> FindLooseFile(const std::string& nameCp932, ILog& log);

// The entries of a loose folder (".", ".." and sub-folders included; the folder's CP932 bytes and
// its UTF-8 form both count) as resource names: an entry stored under a UTF-8 name is given in its
// CP932 form, which FindLooseFile leads back to the same file; an entry whose bytes are not such a
// name keeps them. A folder absent under its exact name is looked for as a file is. Empty when
// the folder is refused or absent.
std::vector<std::string> ListLooseFolder(const std::string& folderCp932, CLooseFiles& files);
std::vector<std::string> ListLooseFolder(const std::string& folderCp932);

// Reads the loose file for `nameCp932` whole; false when there is none or it cannot be read.
bool ReadLooseFile(const std::string& nameCp932, std::vector<uint8_t>& out, CLooseFiles& files);
bool ReadLooseFile(const std::string& nameCp932, std::vector<uint8_t>& out, ILog& log);

// Loose file first, then the archive entry of the same name (archive may be null).
bool ReadResource(const std::string& nameCp932, const CPackArchive* archive, std::vector<uint8_t>& out,
                  CLooseFiles& files);
bool ReadResource(const std::string& nameCp932, const CPackArchive* archive, std::vector<uint8_t>& out,
                  ILog& log);

// Script text: like ReadResource, but CR LF becomes LF in a loose file, and archive text ends at
// its first NUL byte.
bool ReadScriptText(const std::string& nameCp932, const CPackArchive* archive, std::string& out,
                    CLooseFiles& files);
bool ReadScriptText(const std::string& nameCp932, const CPackArchive* archive, std::string& out, ILog& log);

}  // namespace zepa
