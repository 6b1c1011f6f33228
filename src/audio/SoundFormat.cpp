#include "audio/SoundFormat.h"

#include <string>

namespace zepa {

SoundFormat SoundFormatOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view fileName = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string_view::npos) return SoundFormat::Unsupported;
    std::string extension(fileName.substr(dot));
    // ASCII only: the bytes of a CP932 trail byte must not be changed.
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (extension == ".mid") return SoundFormat::Midi;
    if (extension == ".wav") return SoundFormat::Wave;
    if (extension == ".ogg") return SoundFormat::OggVorbis;
    return SoundFormat::Unsupported;
}

}  // namespace zepa
