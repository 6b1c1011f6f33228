// Which General MIDI soundfont MIDI music plays through: the one named in SDL_SOUNDFONTS (the
// variable SDL_mixer itself reads, a ';'-separated list), else the first of the places Debian's
// soundfont packages install one.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace zepa {

// The places looked at when SDL_SOUNDFONTS is not set, in order: the soundfont the engine depends
// on first (so that MIDI sounds the same on every machine that has it), then the system's choice
// (Debian's default-GM alternative) and the other packaged General MIDI soundfonts.
inline constexpr std::array<const char*, 5> kDefaultSoundFontPaths{
    "/usr/share/sounds/sf2/TimGM6mb.sf2",          "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",        "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf3/MuseScore_General.sf3",
};

struct SoundFontChoice {
    // What to hand SDL_mixer: empty when SDL_SOUNDFONTS decides (or nothing was found).
    std::string toSet;
    // Set when no soundfont exists; MIDI then plays silent.
    std::optional<std::string> warning;
};

// `soundFontsVariable` is SDL_SOUNDFONTS (nullopt when unset); `exists` tells whether a path is a
// readable file.
SoundFontChoice ChooseSoundFont(const std::optional<std::string>& soundFontsVariable,
                                const std::function<bool(const std::string&)>& exists);

}  // namespace zepa
