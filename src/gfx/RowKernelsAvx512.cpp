// The row kernels at 16 pixels per step (AVX-512 BW + VL), compiled for that target function by
// function and chosen at run time, so the build stays baseline x86-64. Row tails go through
// masked loads and stores. The arithmetic is step for step the AVX2 set's (RowKernels.cpp) in
// wider registers: 16-bit lanes, unpack / pack within 128-bit lanes.
#include <cstdint>

#include "gfx/RowKernelSet.h"
#include "gfx/RowKernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define ZEPA_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx2,bmi2")))

namespace zepa::kernels {
namespace {

constexpr __mmask16 kAllLanes = 0xFFFF;

// Masks for the last `left` (< 16) lanes of a row.
ZEPA_AVX512 inline __mmask16 FirstLanes(int left) {
    return static_cast<__mmask16>(_bzhi_u32(0xFFFFu, static_cast<unsigned>(left)));
}

ZEPA_AVX512 inline __m512i AlphaMask() {
    return _mm512_set1_epi32(static_cast<int>(0xFF000000u));
}

// (a << 8) + (b - a) * w + 128, exact modulo 2^16 (see LerpHalf in RowKernels.cpp).
ZEPA_AVX512 inline __m512i LerpHalf(__m512i a, __m512i b, __m512i w) {
    const __m512i sum =
        _mm512_add_epi16(_mm512_slli_epi16(a, 8), _mm512_mullo_epi16(_mm512_sub_epi16(b, a), w));
    return _mm512_srli_epi16(_mm512_add_epi16(sum, _mm512_set1_epi16(128)), 8);
}

ZEPA_AVX512 inline __m512i Lerp16(__m512i a, __m512i b, __m512i w) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i low =
        LerpHalf(_mm512_unpacklo_epi8(a, zero), _mm512_unpacklo_epi8(b, zero), _mm512_unpacklo_epi8(w, zero));
    const __m512i high =
        LerpHalf(_mm512_unpackhi_epi8(a, zero), _mm512_unpackhi_epi8(b, zero), _mm512_unpackhi_epi8(w, zero));
    return _mm512_packus_epi16(low, high);
}

// round(x / 255) as ((x + 128) * 257) >> 16.
ZEPA_AVX512 inline __m512i Div255(__m512i x) {
    return _mm512_mulhi_epu16(_mm512_add_epi16(x, _mm512_set1_epi16(128)), _mm512_set1_epi16(257));
}

ZEPA_AVX512 inline __m512i AlphaWords(__m512i wide) {
    const __m512i pick = _mm512_maskz_broadcast_i32x4(
        kAllLanes, _mm_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15));
    return _mm512_shuffle_epi8(wide, pick);
}

ZEPA_AVX512 inline __m512i BlendHalf(__m512i s, __m512i d, __m512i mod, bool modulate) {
    if (modulate) s = Div255(_mm512_mullo_epi16(s, mod));
    const __m512i a = AlphaWords(s);
    const __m512i inverse = _mm512_xor_si512(a, _mm512_set1_epi16(255));
    return Div255(_mm512_add_epi16(_mm512_mullo_epi16(s, a), _mm512_mullo_epi16(d, inverse)));
}

ZEPA_AVX512 inline __m512i BlendWide(__m512i low, __m512i high, __m512i d, __m512i mod, bool modulate) {
    const __m512i zero = _mm512_setzero_si512();
    low = BlendHalf(low, _mm512_unpacklo_epi8(d, zero), mod, modulate);
    high = BlendHalf(high, _mm512_unpackhi_epi8(d, zero), mod, modulate);
    return _mm512_or_si512(_mm512_packus_epi16(low, high), AlphaMask());
}

// Texel sources, as in RowKernels.cpp: load 16 (or the first `lanes` of 16), tell transparent and
// opaque blocks, widen to 16-bit lanes.
struct PlainTexels {
    using Block = __m512i;
    const uint32_t* row;
    ZEPA_AVX512 Block Load(int i) const { return _mm512_loadu_si512(row + i); }
    ZEPA_AVX512 Block LoadFirst(int i, __mmask16 lanes) const {
        return _mm512_maskz_loadu_epi32(lanes, row + i);
    }
    ZEPA_AVX512 bool Transparent(Block b) const { return _mm512_test_epi32_mask(b, AlphaMask()) == 0; }
    ZEPA_AVX512 bool Opaque(Block b) const {
        return _mm512_cmpeq_epi32_mask(_mm512_and_si512(b, AlphaMask()), AlphaMask()) == 0xFFFF;
    }
    ZEPA_AVX512 __m512i Packed(Block b) const { return b; }
    ZEPA_AVX512 void Widen(Block b, __m512i& low, __m512i& high) const {
        low = _mm512_unpacklo_epi8(b, _mm512_setzero_si512());
        high = _mm512_unpackhi_epi8(b, _mm512_setzero_si512());
    }
};

// Texel i is row[count - 1 - i] (mirrored exact copies).
struct ReversedTexels : PlainTexels {
    int count;
    ZEPA_AVX512 Block Load(int i) const {
        const __m512i reverse = _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
        return _mm512_maskz_permutexvar_epi32(kAllLanes, reverse, _mm512_loadu_si512(row + count - 16 - i));
    }
    // The last texels row[0 .. left - 1] in reverse, loaded under a mask: nothing before the row.
    ZEPA_AVX512 Block LoadFirst(int i, __mmask16 lanes) const {
        const int left = count - i;
        const __m512i index =
            _mm512_sub_epi32(_mm512_set1_epi32(left - 1),
                             _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
        return _mm512_maskz_permutexvar_epi32(lanes, index, _mm512_maskz_loadu_epi32(lanes, row));
    }
};

// Interpolation between two rows with one weight, kept in 16-bit lanes for the blend.
struct LerpedTexels {
    struct Block {
        __m512i first, second;
    };
    const uint32_t* first;
    const uint32_t* second;
    __m512i weight;  // 16-bit lanes
    ZEPA_AVX512 Block Load(int i) const {
        return {_mm512_loadu_si512(first + i), _mm512_loadu_si512(second + i)};
    }
    ZEPA_AVX512 Block LoadFirst(int i, __mmask16 lanes) const {
        return {_mm512_maskz_loadu_epi32(lanes, first + i), _mm512_maskz_loadu_epi32(lanes, second + i)};
    }
    ZEPA_AVX512 bool Transparent(Block b) const {
        return _mm512_test_epi32_mask(_mm512_or_si512(b.first, b.second), AlphaMask()) == 0;
    }
    ZEPA_AVX512 bool Opaque(Block b) const {
        const __m512i both = _mm512_and_si512(_mm512_and_si512(b.first, b.second), AlphaMask());
        return _mm512_cmpeq_epi32_mask(both, AlphaMask()) == 0xFFFF;
    }
    ZEPA_AVX512 void Widen(Block b, __m512i& low, __m512i& high) const {
        const __m512i zero = _mm512_setzero_si512();
        low = LerpHalf(_mm512_unpacklo_epi8(b.first, zero), _mm512_unpacklo_epi8(b.second, zero), weight);
        high = LerpHalf(_mm512_unpackhi_epi8(b.first, zero), _mm512_unpackhi_epi8(b.second, zero), weight);
    }
    ZEPA_AVX512 __m512i Packed(Block b) const {
        __m512i low, high;
        Widen(b, low, high);
        return _mm512_packus_epi16(low, high);
    }
};

template <bool kModulate, typename Texels>
ZEPA_AVX512 void BlendTexels(uint32_t* dst, const Texels& texels, int count, uint32_t color) {
    const __m512i mod =
        _mm512_unpacklo_epi8(_mm512_set1_epi32(static_cast<int>(color)), _mm512_setzero_si512());
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const auto block = texels.Load(i);
        if (texels.Transparent(block)) continue;
        if (!kModulate && texels.Opaque(block)) {
            _mm512_storeu_si512(dst + i, texels.Packed(block));
            continue;
        }
        __m512i low, high;
        texels.Widen(block, low, high);
        _mm512_storeu_si512(dst + i, BlendWide(low, high, _mm512_loadu_si512(dst + i), mod, kModulate));
    }
    if (i == count) return;
    const __mmask16 lanes = FirstLanes(count - i);
    __m512i low, high;
    texels.Widen(texels.LoadFirst(i, lanes), low, high);
    const __m512i blended = BlendWide(low, high, _mm512_maskz_loadu_epi32(lanes, dst + i), mod, kModulate);
    _mm512_mask_storeu_epi32(dst + i, lanes, blended);
}

template <bool kModulate>
ZEPA_AVX512 void BlendRow512(uint32_t* dst, const uint32_t* src, int count, uint32_t color) {
    BlendTexels<kModulate>(dst, PlainTexels{src}, count, color);
}

ZEPA_AVX512 void BlendReversedRow512(uint32_t* dst, const uint32_t* row, int count, uint32_t color) {
    const ReversedTexels texels{{row}, count};
    if (color == 0xFFFFFFFFu) {
        BlendTexels<false>(dst, texels, count, color);
    } else {
        BlendTexels<true>(dst, texels, count, color);
    }
}

ZEPA_AVX512 void BlendLerpedRows512(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight,
                                    int count, uint32_t color) {
    const LerpedTexels texels{first, second, _mm512_set1_epi16(static_cast<short>(weight))};
    if (color == 0xFFFFFFFFu) {
        BlendTexels<false>(dst, texels, count, color);
    } else {
        BlendTexels<true>(dst, texels, count, color);
    }
}

ZEPA_AVX512 void LerpRows512(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight) {
    const __m512i w = _mm512_set1_epi8(static_cast<char>(weight));
    for (int i = 0; i < count; i += 16) {
        const __mmask16 lanes = count - i >= 16 ? kAllLanes : FirstLanes(count - i);
        const __m512i lerped =
            Lerp16(_mm512_maskz_loadu_epi32(lanes, a + i), _mm512_maskz_loadu_epi32(lanes, b + i), w);
        _mm512_mask_storeu_epi32(out + i, lanes, lerped);
    }
}

void Gather(uint32_t* out, const uint32_t* row, const int* columns, int count) {
    for (int i = 0; i < count; ++i) out[i] = row[columns[i]];
}

ZEPA_AVX512 void Reverse512(uint32_t* out, const uint32_t* row, int count) {
    const ReversedTexels texels{{row}, count};
    int i = 0;
    for (; i + 16 <= count; i += 16) _mm512_storeu_si512(out + i, texels.Load(i));
    if (i < count) {
        const __mmask16 lanes = FirstLanes(count - i);
        _mm512_mask_storeu_epi32(out + i, lanes, texels.LoadFirst(i, lanes));
    }
}

ZEPA_AVX512 inline __m256i Pick8(const uint32_t* row, const int* at) {
    return _mm256_setr_epi32(static_cast<int>(row[at[0]]), static_cast<int>(row[at[1]]),
                             static_cast<int>(row[at[2]]), static_cast<int>(row[at[3]]),
                             static_cast<int>(row[at[4]]), static_cast<int>(row[at[5]]),
                             static_cast<int>(row[at[6]]), static_cast<int>(row[at[7]]));
}

// Sixteen texels by plain loads (faster than the processor's gather instruction here).
ZEPA_AVX512 inline __m512i Pick16(const uint32_t* row, const int* index) {
    return _mm512_maskz_inserti64x4(0xFF, _mm512_castsi256_si512(Pick8(row, index)), Pick8(row, index + 8),
                                    1);
}

ZEPA_AVX512 void GatherLerpRow512(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                                  const uint8_t* weights, int count) {
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512i w = _mm512_loadu_si512(weights + 4 * i);
        _mm512_storeu_si512(out + i, Lerp16(Pick16(row, first + i), Pick16(row, second + i), w));
    }
    if (i == count) return;
    // The last texels through a small buffer: indices beyond the row's end are never read.
    alignas(64) uint32_t a[16] = {}, b[16] = {};
    for (int j = 0; i + j < count; ++j) {
        a[j] = row[first[i + j]];
        b[j] = row[second[i + j]];
    }
    const __mmask16 lanes = FirstLanes(count - i);
    const __m512i w = _mm512_maskz_loadu_epi32(lanes, weights + 4 * i);
    _mm512_mask_storeu_epi32(out + i, lanes, Lerp16(_mm512_load_si512(a), _mm512_load_si512(b), w));
}

constexpr RowKernelSet kAvx512Kernels{
    BlendRow512<false>, BlendRow512<true>, BlendReversedRow512, LerpRows512, Gather,
    Reverse512,         GatherLerpRow512,  BlendLerpedRows512,  "avx512"};

}  // namespace

const RowKernelSet* Avx512KernelSet() {
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("bmi2");
    }();
    return supported ? &kAvx512Kernels : nullptr;
}

}  // namespace zepa::kernels

#else

namespace zepa::kernels {
const RowKernelSet* Avx512KernelSet() {
    return nullptr;
}
}  // namespace zepa::kernels

#endif
