// One set of row kernels (RowKernels.h) for one instruction set; RowKernels.cpp picks the set the
// processor runs best. Every set computes identical pixels.
#pragma once

#include <cstdint>

namespace zepa::kernels {

using BlendFn = void (*)(uint32_t* dst, const uint32_t* src, int count, uint32_t color);
using BlendLerpedFn = void (*)(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight,
                               int count, uint32_t color);
using LerpRowsFn = void (*)(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight);
using GatherFn = void (*)(uint32_t* out, const uint32_t* row, const int* columns, int count);
using ReverseFn = void (*)(uint32_t* out, const uint32_t* row, int count);
using GatherLerpFn = void (*)(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                              const uint8_t* channelWeights, int count);

struct RowKernelSet {
    BlendFn plain;
    BlendFn modulated;
    BlendFn reversed;
    LerpRowsFn lerpRows;
    GatherFn gather;
    ReverseFn reverse;
    GatherLerpFn gatherLerp;
    BlendLerpedFn blendLerped;
    const char* name;
};

// The AVX-512 (BW + VL) set when this processor runs it, else null.
const RowKernelSet* Avx512KernelSet();

}  // namespace zepa::kernels
