// How a file name a script writes fares once the game is packed: a loose file is found the way
// Windows finds it (letter case ignored, '\' as a folder separator), an archive entry only under
// its exact name.
#pragma once

#include <optional>
#include <string>

namespace zepa {

// The problem of `written` (a name as the script gives it after the folder its command adds,
// CP932) when the loose file found for it is stored as `storedName` (relative to the game folder): the
// name uses '\' or differs from the stored one in letter case. The message starts with the
// quoted written name.
std::optional<std::string> LooseNameProblem(const std::string& written, const std::string& storedName);

// The hint for a name found nowhere when the archive holds `archiveName` (folder + name) under
// other letter case or with '/' for '\': "; did you mean ...".
std::string OtherCaseHint(const std::string& folder, const std::string& archiveName);

}  // namespace zepa
