// Image files at the platform edge: decoding is SDL2_image's, PNG writing too.
#pragma once

#include <cstdint>
#include <string>

namespace zepa {

// Writes 32-bit XRGB pixels (alpha ignored, written opaque) as an RGB PNG. False on any failure.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels);

}  // namespace zepa
