#include "ImageTestFiles.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

namespace zepa::testing {
namespace {

// Saves through an SDL writer into a growing memory buffer.
template <typename Save>
std::vector<uint8_t> Encode(const std::vector<uint32_t>& argb, int width, int height, Save save) {
    std::vector<uint32_t> copy = argb;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(copy.data(), width, height, 32, width * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    std::vector<uint8_t> buffer(1 << 20);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    save(surface, rw);
    buffer.resize(static_cast<size_t>(SDL_RWtell(rw)));
    SDL_RWclose(rw);
    SDL_FreeSurface(surface);
    return buffer;
}

}  // namespace

std::vector<uint8_t> EncodePng(const std::vector<uint32_t>& argb, int width, int height) {
    return Encode(argb, width, height, [](SDL_Surface* s, SDL_RWops* rw) { IMG_SavePNG_RW(s, rw, 0); });
}

std::vector<uint8_t> EncodeBmp(const std::vector<uint32_t>& argb, int width, int height) {
    return Encode(argb, width, height, [](SDL_Surface* s, SDL_RWops* rw) { SDL_SaveBMP_RW(s, rw, 0); });
}

std::vector<uint8_t> EncodeTga(const std::vector<uint32_t>& argb, int width, int height) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<uint8_t>(width);
    bytes[13] = static_cast<uint8_t>(width >> 8);
    bytes[14] = static_cast<uint8_t>(height);
    bytes[15] = static_cast<uint8_t>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;  // top-left origin, 8 alpha bits
    for (uint32_t pixel : argb) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(pixel >> shift));
    }
    return bytes;
}

}  // namespace zepa::testing
