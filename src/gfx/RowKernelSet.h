// One set of row kernels for one instruction set, called through its members (the arithmetic is
// RowKernels.h's). Every set computes identical pixels; a compositor holds the set it draws with.
#pragma once

#include <cstdint>

namespace zepa {

struct RowKernelSet {
    using BlendFn = void (*)(uint32_t* dst, const uint32_t* src, int count, uint32_t color);
    using BlendLerpedFn = void (*)(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight,
                                   int count, uint32_t color);
    using LerpRowsFn = void (*)(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight);
    using GatherFn = void (*)(uint32_t* out, const uint32_t* row, const int* columns, int count);
    using ReverseFn = void (*)(uint32_t* out, const uint32_t* row, int count);
    using GatherLerpFn = void (*)(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                                  const uint8_t* channelWeights, int count);

    BlendFn plain;
    BlendFn modulated;
    BlendFn reversed;
    LerpRowsFn lerpRows;
    GatherFn gather;
    ReverseFn reverse;
    GatherLerpFn gatherLerp;
    BlendLerpedFn blendLerped;
    const char* name;  // "avx512", "avx2", "sse2" or "scalar"

    // Blends src over dst (count pixels) with the modulation colour `color` (0xFFFFFFFF: none).
    void BlendRow(uint32_t* dst, const uint32_t* src, int count, uint32_t color) const {
        (color == 0xFFFFFFFFu ? plain : modulated)(dst, src, count, color);
    }
    // Blends the interpolation between two rows (LerpRows) over dst, modulated by `color`.
    void BlendLerpedRows(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight, int count,
                         uint32_t color) const {
        blendLerped(dst, first, second, weight, count, color);
    }
    // Blends a row read backwards (dst[i] gets row[count - 1 - i]) over dst: mirrored exact copies.
    void BlendReversedRow(uint32_t* dst, const uint32_t* row, int count, uint32_t color) const {
        reversed(dst, row, count, color);
    }

    // Linear interpolation per channel: out = (a * (256 - w) + b * w + 128) >> 8, w in 0..255.
    // Between two rows with one weight:
    void LerpRows(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight) const {
        lerpRows(out, a, b, count, weight);
    }
    // out[i] = row[columns[i]]: the texels of one texture row picked per destination column.
    void GatherRow(uint32_t* out, const uint32_t* row, const int* columns, int count) const {
        gather(out, row, columns, count);
    }
    // out[i] = row[count - 1 - i]: a texture row read backwards.
    void ReverseRow(uint32_t* out, const uint32_t* row, int count) const { reverse(out, row, count); }
    // out[i] = interpolation between row[first[i]] and row[second[i]] with four channel weights.
    void GatherLerpRow(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                       const uint8_t* channelWeights, int count) const {
        gatherLerp(out, row, first, second, channelWeights, count);
    }
};

namespace kernels {
// The AVX-512 (BW + VL) set when this processor runs it, else null.
const RowKernelSet* Avx512KernelSet();
}  // namespace kernels

}  // namespace zepa
