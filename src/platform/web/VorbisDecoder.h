// Ogg Vorbis files to samples, with vorbisfile as on the desktop: at most the first two channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/web/SoundSink.h"

namespace zepa {

// Decodes at most `maxFrames` frames into `sink` (a longer stream is cut) and returns how many;
// nullopt with the reason in `error` when the bytes are not Ogg Vorbis (then `sink` got nothing).
std::optional<size_t> DecodeVorbis(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                   std::string& error);

}  // namespace zepa
