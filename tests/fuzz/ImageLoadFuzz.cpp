// Random bytes as an image file through the engine's loading path: decode (any format the decoder
// knows, with the declared-size check), the colour key, then the texture format. The first byte
// picks the format and the key so that every combination is reached.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/ImageLoader.h"
#include "gfx/Texture.h"
#include "gfx/TextureFormat.h"
#include "resources/TextureStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const uint32_t kKeys[] = {0, zepa::CTextureStore::kPictureColorKey, 0xFF000000u, 0xFFFFFFFFu};
    const uint32_t colorKey = kKeys[data[0] & 3];
    const uint32_t format = (data[0] >> 2) & 1 ? zepa::D3DFMT_A8R8G8B8 : zepa::D3DFMT_X8R8G8B8;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    const auto texture = zepa::CreateTextureFromImage(bytes, format, colorKey);
    if (!texture) return 0;
    if (texture->width() < 1 || texture->height() < 1 || texture->width() > zepa::CTexture::kMaxSide ||
        texture->height() > zepa::CTexture::kMaxSide)
        __builtin_trap();
    return 0;
}
