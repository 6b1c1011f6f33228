// Long PCM WAV read in pieces and converted to the output's format, for WAV played as an effect
// or a background sound whose samples, converted, would take more than a bound (an 8-bit mono
// file at 8 kHz grows 22-fold on the way to 16-bit stereo at 44.1 kHz).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/sdl/PcmSource.h"

namespace zepa {

// The source when `path` is a plain PCM WAV (8, 16 or 32-bit integer, or 32-bit float samples)
// whose converted samples take more than `maxBytes`; null otherwise (the mixer then decodes it
// whole, as any WAV).
std::unique_ptr<IPcmSource> OpenLongWaveSource(const std::string& path, PcmFormat format, size_t maxBytes);

}  // namespace zepa
