#include "platform/ImageIo.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstring>
#include <vector>

namespace zepa {

namespace {

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
    if (!data || size == 0) return false;
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
