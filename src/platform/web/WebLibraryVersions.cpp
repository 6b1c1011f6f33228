// The libraries of the browser build, for --version.
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/LibraryVersions.h"

namespace zepa {

std::string RuntimeLibraryVersions() {
    return "FreeType " + std::to_string(FREETYPE_MAJOR) + "." + std::to_string(FREETYPE_MINOR) + "." +
           std::to_string(FREETYPE_PATCH) + " (compiled in)\nstb_image, stb_image_write (compiled in)\n";
}

}  // namespace zepa
