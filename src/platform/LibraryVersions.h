// The versions of the libraries the engine runs with, for `zepa --version` and bug reports.
#pragma once

#include <string>

namespace zepa {

// One line per library: "SDL2 2.26.5", "SDL2_image 2.6.3", "SDL2_mixer 2.6.3", "FreeType 2.12.1".
// The versions are those of the libraries loaded at run time, which may differ from the headers
// the engine was built with; such a difference is shown as "(built with X)".
std::string RuntimeLibraryVersions();

}  // namespace zepa
