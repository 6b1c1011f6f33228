#include "platform/LibraryVersions.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <SDL2/SDL_mixer.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace zepa {
namespace {

std::string Dotted(int major, int minor, int patch) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

std::string Line(const char* name, const std::string& running, const std::string& built) {
    std::string line = std::string(name) + " " + running;
    if (running != built) line += " (built with " + built + ")";
    return line + "\n";
}

std::string FromSdlVersion(const SDL_version& version) {
    return Dotted(version.major, version.minor, version.patch);
}

// FreeType reports its version only through a library instance.
std::string FreeTypeVersion() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return "unknown";
    FT_Int major = 0, minor = 0, patch = 0;
    FT_Library_Version(library, &major, &minor, &patch);
    FT_Done_FreeType(library);
    return Dotted(major, minor, patch);
}

}  // namespace

std::string RuntimeLibraryVersions() {
    SDL_version sdl;
    SDL_GetVersion(&sdl);
    SDL_version built;
    SDL_VERSION(&built);
    SDL_version imageBuilt;
    SDL_IMAGE_VERSION(&imageBuilt);
    SDL_version mixerBuilt;
    SDL_MIXER_VERSION(&mixerBuilt);
    return Line("SDL2", FromSdlVersion(sdl), FromSdlVersion(built)) +
           Line("SDL2_image", FromSdlVersion(*IMG_Linked_Version()), FromSdlVersion(imageBuilt)) +
           Line("SDL2_mixer", FromSdlVersion(*Mix_Linked_Version()), FromSdlVersion(mixerBuilt)) +
           Line("FreeType", FreeTypeVersion(), Dotted(FREETYPE_MAJOR, FREETYPE_MINOR, FREETYPE_PATCH));
}

}  // namespace zepa
