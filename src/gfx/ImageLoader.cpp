#include "gfx/ImageLoader.h"

#include <new>

#include "platform/ImageIo.h"

namespace zepa {

std::unique_ptr<CTexture> CreateTextureFromImage(const std::vector<uint8_t>& bytes, uint32_t format,
                                                 uint32_t colorKey) {
    // Memory that cannot be had for the decoded pixels makes the image fail to load.
    try {
        DecodedImage image;
        if (!DecodeImage(bytes.data(), bytes.size(), CTexture::kMaxSide, image)) return nullptr;
        if (colorKey != 0) {
            for (uint32_t& pixel : image.pixels) {
                if (pixel == colorKey) pixel = 0;
            }
        }
        return CTexture::CreateFromPixels(image.pixels.data(), image.width, image.height, format);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace zepa
