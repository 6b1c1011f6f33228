// Checks of a game's files beside its scripts: the system pictures the engine draws its windows
// with, and sounds and fonts stored in GameData.pac, where the engine never looks for them.
#pragma once

#include <vector>

#include "lint/GameLint.h"

namespace zepa {

class CLooseFiles;
class CPackArchive;

// Reports each system picture (window skin, selection cursor, page arrows) that is neither a loose
// file nor an archive entry. `archive` may be null.
void LintSystemPictures(CLooseFiles& files, const CPackArchive* archive, std::vector<LintFinding>& findings);

// Reports each archive entry under Music/ or Parts/ that no loose file of the same name stands
// beside: sounds and fonts are read only as loose files.
void LintArchiveOnlyFiles(CLooseFiles& files, const CPackArchive& archive,
                          std::vector<LintFinding>& findings);

}  // namespace zepa
