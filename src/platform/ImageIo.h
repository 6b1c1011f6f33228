// Image files at the platform edge: decoding and PNG writing are SDL2_image's on the desktop
// (sdl/ImageIo.cpp), stb_image's in the browser (web/StbImageIo.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zepa {

// A decoded image: width x height ARGB pixels (alpha in the top byte), row after row.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes an image file held in memory (PNG, JPEG, BMP, PNM or TGA). False for empty, broken or
// other data, or an image larger than maxSide on a side.
bool DecodeImage(const uint8_t* data, size_t size, int maxSide, DecodedImage& out);

// Writes 32-bit XRGB pixels (alpha ignored, written opaque) as an RGB PNG. False on any failure.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels);

}  // namespace zepa
