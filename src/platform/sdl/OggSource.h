// Ogg Vorbis decoded in pieces (libvorbisfile) and converted to the output's format, for Ogg played
// as an effect or a background sound: a file may hold hours of sound, so it is never decoded whole
// beyond a bound.
#pragma once

#include <memory>
#include <string>

#include "platform/sdl/PcmSource.h"

namespace zepa {

// True when the file starts as an Ogg stream ("OggS").
bool LooksLikeOgg(const std::string& path);

// Null with `error` set when the file is not Ogg Vorbis that can be decoded.
std::unique_ptr<IPcmSource> OpenOggSource(const std::string& path, PcmFormat format, std::string& error);

}  // namespace zepa
