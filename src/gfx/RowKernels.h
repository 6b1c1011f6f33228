// The compositor's inner loops over contiguous pixel rows. All arithmetic is exact integer maths:
//   modulation  c = round(t * m / 255) per channel, alpha included;
//   blending    d = round((c * a + d * (255 - a)) / 255) for red, green and blue, a = c's alpha;
//   the X byte of the result is 0xFF.
// A texel whose modulated alpha is 0 leaves the destination as it was (the formula gives d).
#pragma once

#include <cstdint>
#include <string>

namespace zepa {

// round(x / 255) for 0 <= x <= 255 * 255.
constexpr uint32_t Div255(uint32_t x) {
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

// Blends src over dst (count pixels) with the modulation colour `color` (0xFFFFFFFF: none).
void BlendRow(uint32_t* dst, const uint32_t* src, int count, uint32_t color);
// Blends the interpolation between two rows (LerpRows) over dst, modulated by `color`.
void BlendLerpedRows(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight, int count,
                     uint32_t color);
// Blends a row read backwards (dst[i] gets row[count - 1 - i]) over dst: mirrored exact copies.
void BlendReversedRow(uint32_t* dst, const uint32_t* row, int count, uint32_t color);
// Writes opaque src over dst (count pixels): the blend when every texel is opaque, unmodulated.
void CopyRowOpaque(uint32_t* dst, const uint32_t* src, int count);

// Linear interpolation per channel: out = (a * (256 - w) + b * w + 128) >> 8, w in 0..255.
// Between two rows with one weight:
void LerpRows(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight);
// out[i] = row[columns[i]]: the texels of one texture row picked per destination column.
void GatherRow(uint32_t* out, const uint32_t* row, const int* columns, int count);
// out[i] = row[count - 1 - i]: a texture row read backwards.
void ReverseRow(uint32_t* out, const uint32_t* row, int count);
// out[i] = interpolation between row[first[i]] and row[second[i]] with four channel weights.
void GatherLerpRow(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                   const uint8_t* channelWeights, int count);

// The per-pixel definitions the fast kernels must match (also the tails of the SIMD loops).
uint32_t BlendPixel(uint32_t dst, uint32_t texel, uint32_t color);
constexpr uint32_t LerpChannel(uint32_t a, uint32_t b, uint32_t w) {
    return (a * (256 - w) + b * w + 128) >> 8;
}

// The name of the kernel set in use ("avx512", "avx2", "sse2" or "scalar").
const char* BlendKernelName();
// Switches to the named kernel set ("best" for the fastest); false when this processor lacks it.
// Every set computes identical pixels; tests run them all.
bool UseRowKernels(const std::string& name);

}  // namespace zepa
