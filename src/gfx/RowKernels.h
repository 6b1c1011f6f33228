// The compositor's inner loops over contiguous pixel rows. All arithmetic is exact integer maths:
//   modulation  c = round(t * m / 255) per channel, alpha included;
//   blending    d = round((c * a + d * (255 - a)) / 255) for red, green and blue, a = c's alpha;
//   the X byte of the result is 0xFF.
// A texel whose modulated alpha is 0 leaves the destination as it was (the formula gives d).
// The loops themselves are calls on a RowKernelSet (RowKernelSet.h), one set per instruction set.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/RowKernelSet.h"

namespace zepa {

// round(x / 255) for 0 <= x <= 255 * 255.
constexpr uint32_t Div255(uint32_t x) {
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

// Writes opaque src over dst (count pixels): the blend when every texel is opaque, unmodulated.
// Any set's plain blend gives the same pixels; a copy needs no kernel.
void CopyRowOpaque(uint32_t* dst, const uint32_t* src, int count);

// The per-pixel definitions the fast kernels must match (also the tails of the SIMD loops).
uint32_t BlendPixel(uint32_t dst, uint32_t texel, uint32_t color);
constexpr uint32_t LerpChannel(uint32_t a, uint32_t b, uint32_t w) {
    return (a * (256 - w) + b * w + 128) >> 8;
}

// The fastest set this processor runs, chosen once.
const RowKernelSet& BestRowKernels();
// The set called `name` ("avx512", "avx2", "sse2", "scalar"; "best" for BestRowKernels), or null
// when this processor lacks it or the name is unknown.
const RowKernelSet* FindRowKernels(std::string_view name);

}  // namespace zepa
