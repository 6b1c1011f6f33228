#include "platform/ImageIo.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/GifStructure.h"

namespace zepa {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

uint32_t BigEndian16(const uint8_t* p) {
    return uint32_t{p[0]} << 8 | p[1];
}

// The size in a JPEG's frame header (the first SOF marker); true when there is none to read, so
// that the decoder itself rejects the file.
bool JpegSizeFits(const uint8_t* data, size_t size, int maxSide) {
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return true;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {  // markers without a length
            at += 2;
            continue;
        }
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
            if (at + 9 > size) return true;
            return static_cast<int>(BigEndian16(data + at + 5)) <= maxSide &&
                   static_cast<int>(BigEndian16(data + at + 7)) <= maxSide;
        }
        at += 2 + BigEndian16(data + at + 2);
    }
    return true;
}

// The width and height of a PNM header ("P1".."P6", then numbers separated by white space and
// comments); true when they cannot be read, so that the decoder itself rejects the file.
bool PnmSizeFits(const uint8_t* data, size_t size, int maxSide) {
    size_t at = 2;
    for (int field = 0; field < 2; ++field) {
        while (at < size && (std::isspace(data[at]) || data[at] == '#')) {
            if (data[at] == '#') {
                while (at < size && data[at] != '\n') ++at;
            } else {
                ++at;
            }
        }
        int64_t value = 0;
        bool digits = false;
        while (at < size && data[at] >= '0' && data[at] <= '9') {
            value = value * 10 + (data[at++] - '0');
            digits = true;
            if (value > maxSide) return false;
        }
        if (!digits) return false;  // the decoder would skip what is not a digit and read on
    }
    return true;
}

// Whether a PNG's chunks each fit in the file, up to its IEND chunk. The decoder believes a chunk's
// declared length and, reading past the end of the data, would checksum up to 2 GB of nothing.
bool PngChunksFit(const uint8_t* data, size_t size) {
    constexpr size_t kSignatureSize = 8;
    constexpr size_t kChunkFraming = 12;  // length, type, checksum
    size_t at = kSignatureSize;
    while (size - at >= kChunkFraming) {
        const size_t length = BigEndian32(data + at);
        if (length > size - at - kChunkFraming) return false;
        const bool end = std::memcmp(data + at + 4, "IEND", 4) == 0;
        at += kChunkFraming + length;
        if (end) return true;
    }
    return false;
}

// The size a PNG, BMP, JPEG or PNM header declares, read before decoding so that a file
// claiming a huge image is refused without the decoder allocating for it. False when it declares
// too much.
bool DeclaredSizeFits(const uint8_t* data, size_t size, int maxSide) {
    const auto fits = [maxSide](int64_t w, int64_t h) {
        return std::abs(w) <= maxSide && std::abs(h) <= maxSide;
    };
    if (size >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return JpegSizeFits(data, size, maxSide);
    if (size >= 2 && data[0] == 'P' && data[1] >= '1' && data[1] <= '6')
        return PnmSizeFits(data, size, maxSide);
    if (size >= 24 && std::memcmp(data, "\x89PNG", 4) == 0)
        return fits(BigEndian32(data + 16), BigEndian32(data + 20)) && PngChunksFit(data, size);
    if (size >= 26 && data[0] == 'B' && data[1] == 'M' && LittleEndian32(data + 14) >= 40)
        return fits(static_cast<int32_t>(LittleEndian32(data + 18)),
                    static_cast<int32_t>(LittleEndian32(data + 22)));
    return true;
}

// Whether a TGA's header is one the decoder reads and its data can hold the image it declares (TGA
// has no signature, so this is asked only when it is tried by name). Checking the data size first
// keeps a few bytes declaring a large image from costing the decoder a full-size surface.
bool TgaSizeFits(const uint8_t* data, size_t size, int maxSide) {
    if (size < 18) return false;
    const int imageType = data[2];
    const bool runLength = (imageType & 8) != 0;
    if ((imageType & ~8) < 1 || (imageType & ~8) > 3) return false;  // colour-mapped, true colour, grey
    const int64_t width = data[12] | data[13] << 8;
    const int64_t height = data[14] | data[15] << 8;
    const int64_t pixelBytes = (data[16] + 7) / 8;
    if (width == 0 || height == 0 || width > maxSide || height > maxSide || pixelBytes == 0) return false;
    const int64_t colourMapBytes = data[1] ? (data[5] | data[6] << 8) * int64_t{(data[7] + 7) / 8} : 0;
    const int64_t dataStart = 18 + data[0] + colourMapBytes;
    if (dataStart > static_cast<int64_t>(size)) return false;
    const int64_t available = static_cast<int64_t>(size) - dataStart;
    const int64_t pixels = width * height;
    // A run-length packet is one header byte and one pixel value for up to 128 pixels.
    const int64_t needed = runLength ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    return needed <= available;
}

// The file types a game's images come in: PNG, JPEG, BMP, PNM and GIF by their signatures, then
// TGA, which has none. A GIF reaches the decoder only when its whole block structure is sound (the
// library's GIF reader frees a wild pointer on some damaged files). Other types the decoder
// library knows (XPM, TIFF, WebP, SVG, ...) are not image types of a game and are refused, which
// keeps their less exercised decoders away from untrusted bytes.
SDL_Surface* LoadSurface(const uint8_t* data, size_t size, int maxSide) {
    if (size > static_cast<size_t>(INT32_MAX)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return nullptr;
    const char* type = nullptr;
    if (IMG_isPNG(rw)) {
        type = "PNG";
    } else if (IMG_isJPG(rw)) {
        type = "JPG";
    } else if (IMG_isBMP(rw)) {
        type = "BMP";
    } else if (IMG_isPNM(rw)) {
        type = "PNM";
    } else if (IsGif(data, size)) {
        type = GifStructureValid(data, size, maxSide) ? "GIF" : nullptr;
    } else if (TgaSizeFits(data, size, maxSide)) {
        type = "TGA";
    }
    SDL_Surface* surface = type ? IMG_LoadTyped_RW(rw, 0, type) : nullptr;
    SDL_RWclose(rw);
    return surface;
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, int maxSide, DecodedImage& out) {
    if (!data || size == 0 || !DeclaredSizeFits(data, size, maxSide)) return false;
    SDL_Surface* decoded = LoadSurface(data, size, maxSide);
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
