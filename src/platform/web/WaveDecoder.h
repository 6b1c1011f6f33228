// RIFF WAVE files to samples: integer PCM of 8, 16, 24 or 32 bits and 32-bit float, any channel
// count (the first two are kept). Compressed WAVE (ADPCM and the like) is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/web/SoundSink.h"

namespace zepa {

// Decodes at most `maxFrames` frames into `sink` (the rest is cut) and returns how many; nullopt
// with the reason in `error` when the file is not a WAVE it can read (then `sink` got nothing).
std::optional<size_t> DecodeWave(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                 std::string& error);

}  // namespace zepa
