#include "platform/ImageIo.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace zepa {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// The size a PNG, BMP or GIF header declares, read before decoding so that a file claiming a huge
// image is refused without the decoder allocating for it. False when it declares too much.
bool DeclaredSizeFits(const uint8_t* data, size_t size, int maxSide) {
    const auto fits = [maxSide](int64_t w, int64_t h) {
        return std::abs(w) <= maxSide && std::abs(h) <= maxSide;
    };
    if (size >= 24 && std::memcmp(data, "\x89PNG", 4) == 0)
        return fits(BigEndian32(data + 16), BigEndian32(data + 20));
    if (size >= 26 && data[0] == 'B' && data[1] == 'M' && LittleEndian32(data + 14) >= 40)
        return fits(static_cast<int32_t>(LittleEndian32(data + 18)),
                    static_cast<int32_t>(LittleEndian32(data + 22)));
    if (size >= 10 && std::memcmp(data, "GIF8", 4) == 0)
        return fits(data[6] | data[7] << 8, data[8] | data[9] << 8);
    return true;
}

// Auto-detection covers every format with a signature; TGA has none, so it is tried by name.
SDL_Surface* LoadSurface(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return nullptr;
    SDL_Surface* surface = IMG_Load_RW(rw, 0);
    if (!surface) {
        SDL_RWseek(rw, 0, RW_SEEK_SET);
        surface = IMG_LoadTyped_RW(rw, 0, "TGA");
    }
    SDL_RWclose(rw);
    return surface;
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, int maxSide, DecodedImage& out) {
    if (!data || size == 0 || !DeclaredSizeFits(data, size, maxSide)) return false;
    SDL_Surface* decoded = LoadSurface(data, size);
    if (!decoded) return false;
    if (decoded->w <= 0 || decoded->h <= 0 || decoded->w > maxSide || decoded->h > maxSide) {
        SDL_FreeSurface(decoded);
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (!argb) return false;
    out.width = argb->w;
    out.height = argb->h;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    const auto* rows = static_cast<const uint8_t*>(argb->pixels);
    for (int y = 0; y < out.height; ++y) {
        std::memcpy(&out.pixels[static_cast<size_t>(y) * out.width],
                    rows + static_cast<size_t>(y) * argb->pitch, static_cast<size_t>(out.width) * 4);
    }
    SDL_FreeSurface(argb);
    return true;
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels) {
    if (!pixels || width <= 0 || height <= 0 || pitchPixels < width) return false;
    // Copy with alpha forced opaque: the back buffer is XRGB.
    std::vector<uint32_t> copy(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            copy[static_cast<size_t>(y) * width + x] =
                pixels[static_cast<size_t>(y) * pitchPixels + x] | 0xFF000000u;
        }
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(copy.data(), width, height, 32, width * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return false;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(surface);
    if (!rgb) return false;
    const bool ok = IMG_SavePNG(rgb, path.c_str()) == 0;
    SDL_FreeSurface(rgb);
    return ok;
}

}  // namespace zepa
