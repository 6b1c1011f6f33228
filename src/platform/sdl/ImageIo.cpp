#include "platform/ImageIo.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <vector>

namespace zepa {

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
