// Image files in the browser build: decoding by stb_image (PNG, JPEG, baseline and progressive,
// BMP, binary PNM, GIF, TGA), PNG writing by stb_image_write. Lossless files decode to the same
// pixels as the desktop's SDL2_image; JPEG may differ by the decoders' rounding (docs/web.md).
#include <climits>
#include <cstring>
#include <vector>

#include "platform/GifStructure.h"
#include "platform/ImageIo.h"

// Only the formats a game's images come in; the others stb knows stay out of reach of untrusted
// bytes.
#define STBI_NO_PSD
#define STBI_NO_HDR
#define STBI_NO_PIC
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace zepa {
namespace {

// Frees what stb_image allocated.
struct StbPixels {
    unsigned char* data = nullptr;
    ~StbPixels() { stbi_image_free(data); }
};

uint32_t ArgbFromRgba(const unsigned char* p) {
    return uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, int maxSide, DecodedImage& out) {
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
    // The GIF decoder gets only files whose block structure is sound, as on the desktop.
    if (IsGif(data, size) && !GifStructureValid(data, size, maxSide)) return false;
    const int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    // The declared size first, so that a file claiming a huge image costs nothing.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return false;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) return false;
    StbPixels pixels;
    pixels.data = stbi_load_from_memory(data, length, &width, &height, &channels, 4);
    if (!pixels.data || width <= 0 || height <= 0 || width > maxSide || height > maxSide) return false;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < out.pixels.size(); ++i) out.pixels[i] = ArgbFromRgba(pixels.data + i * 4);
    return true;
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels) {
    if (!pixels || width <= 0 || height <= 0 || pitchPixels < width) return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    unsigned char* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, out += 3) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * pitchPixels + x];
            out[0] = static_cast<unsigned char>(pixel >> 16);
            out[1] = static_cast<unsigned char>(pixel >> 8);
            out[2] = static_cast<unsigned char>(pixel);
        }
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

}  // namespace zepa
