// Turning image file bytes into a texture: decode, apply the colour key, apply the format.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/Texture.h"

namespace zepa {

// Decodes `bytes`; texels whose whole ARGB value equals `colorKey` (when it is not 0) become
// 0x00000000, then formats without alpha force every texel opaque. Null when the bytes do not
// decode.
std::unique_ptr<CTexture> CreateTextureFromImage(const std::vector<uint8_t>& bytes, uint32_t format,
                                                 uint32_t colorKey);

}  // namespace zepa
