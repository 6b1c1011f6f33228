#include "platform/SoundFontLookup.h"

#include <algorithm>

namespace zepa {
namespace {

constexpr const char* kNoSoundFont =
    "zepa: no General MIDI soundfont found (install timgm6mb-soundfont or fluid-soundfont-gm, or "
    "name a .sf2 file in SDL_SOUNDFONTS); MIDI music is silent, everything else plays";

bool AnyExists(const std::string& list, const std::function<bool(const std::string&)>& exists) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(';', start), list.size());
        if (end > start && exists(list.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

SoundFontChoice ChooseSoundFont(const std::optional<std::string>& soundFontsVariable,
                                const std::function<bool(const std::string&)>& exists) {
    SoundFontChoice choice;
    if (soundFontsVariable) {
        if (!AnyExists(*soundFontsVariable, exists))
            choice.warning =
                std::string(kNoSoundFont) + " (SDL_SOUNDFONTS names no file: " + *soundFontsVariable + ")";
        return choice;
    }
    for (const char* path : kDefaultSoundFontPaths) {
        if (exists(path)) {
            choice.toSet = path;
            return choice;
        }
    }
    choice.warning = kNoSoundFont;
    return choice;
}

}  // namespace zepa
