// Which player a sound file goes to, chosen by its extension alone.
#pragma once

#include <string_view>

namespace zepa {

enum class SoundFormat { Midi, Wave, OggVorbis, Unsupported };

// The extension is the file name from its last dot on, compared without case: "A.OGG" is Ogg
// Vorbis, "a.mp3", "noext" and "dir.ogg/x" are unsupported.
SoundFormat SoundFormatOf(std::string_view path);

}  // namespace zepa
