#include "gfx/RowKernels.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "gfx/RowKernelSet.h"
#include "platform/Platform.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEPA_X86_KERNELS 1
#endif

namespace zepa {

uint32_t BlendPixel(uint32_t dst, uint32_t texel, uint32_t color) {
    auto channel = [](uint32_t value, int shift) { return (value >> shift) & 0xFFu; };
    const uint32_t alpha = Div255(channel(texel, 24) * channel(color, 24));
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = Div255(channel(texel, shift) * channel(color, shift));
        result |= Div255(c * alpha + channel(dst, shift) * (255 - alpha)) << shift;
    }
    return result;
}

namespace {

void BlendRowScalar(uint32_t* dst, const uint32_t* src, int count, uint32_t color) {
    for (int i = 0; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], color);
}

void LerpRowsScalar(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight) {
    auto* o = reinterpret_cast<uint8_t*>(out);
    const auto* x = reinterpret_cast<const uint8_t*>(a);
    const auto* y = reinterpret_cast<const uint8_t*>(b);
    for (int i = 0; i < count * 4; ++i)
        o[i] = static_cast<uint8_t>(LerpChannel(x[i], y[i], uint32_t(weight)));
}

void GatherRowScalar(uint32_t* out, const uint32_t* row, const int* columns, int count) {
    for (int i = 0; i < count; ++i) out[i] = row[columns[i]];
}

void GatherLerpRowScalar(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                         const uint8_t* weights, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t a = row[first[i]], b = row[second[i]];
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            result |= LerpChannel(a >> shift & 255, b >> shift & 255, weights[4 * i + shift / 8]) << shift;
        }
        out[i] = result;
    }
}

// out[i] = row[count - 1 - i]
void ReverseRowScalar(uint32_t* out, const uint32_t* row, int count) {
    for (int i = 0; i < count; ++i) out[i] = row[count - 1 - i];
}

// The paths without a fused kernel, built from one set's own kernels (template arguments, as a
// set's entries are plain function pointers that cannot name their set).
// Interpolates into a buffer, then blends.
template <RowKernelSet::LerpRowsFn kLerp, RowKernelSet::BlendFn kPlain, RowKernelSet::BlendFn kModulated>
void BlendLerpedRowsInTwoSteps(uint32_t* dst, const uint32_t* first, const uint32_t* second, int weight,
                               int count, uint32_t color) {
    const RowKernelSet::BlendFn blend = color == 0xFFFFFFFFu ? kPlain : kModulated;
    uint32_t lerped[kScreenWidth];
    for (int done = 0; done < count; done += kScreenWidth) {
        const int part = std::min(kScreenWidth, count - done);
        kLerp(lerped, first + done, second + done, part, weight);
        blend(dst + done, lerped, part, color);
    }
}

// Reverses into a buffer, then blends.
template <RowKernelSet::ReverseFn kReverse, RowKernelSet::BlendFn kPlain, RowKernelSet::BlendFn kModulated>
void BlendReversedInTwoSteps(uint32_t* dst, const uint32_t* row, int count, uint32_t color) {
    const RowKernelSet::BlendFn blend = color == 0xFFFFFFFFu ? kPlain : kModulated;
    uint32_t reversed[kScreenWidth];
    for (int done = 0; done < count; done += kScreenWidth) {
        const int part = std::min(kScreenWidth, count - done);
        kReverse(reversed, row + count - done - part, part);  // row[count - 1 - done - j]
        blend(dst + done, reversed, part, color);
    }
}

#ifdef ZEPA_X86_KERNELS

// Interpolation in 16-bit lanes: (a << 8) + (b - a) * w + 128 wraps modulo 2^16 on the way, but
// the true value lies in 0..65408, so the wrapped sum is exact.
__attribute__((target("avx2"))) inline __m256i LerpHalf(__m256i a, __m256i b, __m256i w) {
    const __m256i sum =
        _mm256_add_epi16(_mm256_slli_epi16(a, 8), _mm256_mullo_epi16(_mm256_sub_epi16(b, a), w));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

__attribute__((target("avx2"))) inline __m256i Lerp8(__m256i a, __m256i b, __m256i w) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low =
        LerpHalf(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), _mm256_unpacklo_epi8(w, zero));
    const __m256i high =
        LerpHalf(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), _mm256_unpackhi_epi8(w, zero));
    return _mm256_packus_epi16(low, high);
}

__attribute__((target("avx2"))) void LerpRowsAvx2(uint32_t* out, const uint32_t* a, const uint32_t* b,
                                                  int count, int weight) {
    const __m256i w = _mm256_set1_epi8(static_cast<char>(weight));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Lerp8(x, y, w));
    }
    LerpRowsScalar(out + i, a + i, b + i, count - i, weight);
}

// Eight texels by plain loads: processor gather instructions are slower than this on common parts.
__attribute__((target("avx2"))) inline __m256i Pick8(const uint32_t* row, const int* index) {
    return _mm256_setr_epi32(static_cast<int>(row[index[0]]), static_cast<int>(row[index[1]]),
                             static_cast<int>(row[index[2]]), static_cast<int>(row[index[3]]),
                             static_cast<int>(row[index[4]]), static_cast<int>(row[index[5]]),
                             static_cast<int>(row[index[6]]), static_cast<int>(row[index[7]]));
}

__attribute__((target("avx2"))) void GatherLerpRowAvx2(uint32_t* out, const uint32_t* row, const int* first,
                                                       const int* second, const uint8_t* weights, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 4 * i));
        const __m256i lerped = Lerp8(Pick8(row, first + i), Pick8(row, second + i), w);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), lerped);
    }
    GatherLerpRowScalar(out + i, row, first + i, second + i, weights + 4 * i, count - i);
}

inline __m128i LerpHalfSse2(__m128i a, __m128i b, __m128i w) {
    const __m128i sum = _mm_add_epi16(_mm_slli_epi16(a, 8), _mm_mullo_epi16(_mm_sub_epi16(b, a), w));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

inline __m128i Lerp4(__m128i a, __m128i b, __m128i w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        LerpHalfSse2(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(w, zero));
    const __m128i high =
        LerpHalfSse2(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(w, zero));
    return _mm_packus_epi16(low, high);
}

void LerpRowsSse2(uint32_t* out, const uint32_t* a, const uint32_t* b, int count, int weight) {
    const __m128i w = _mm_set1_epi8(static_cast<char>(weight));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Lerp4(x, y, w));
    }
    LerpRowsScalar(out + i, a + i, b + i, count - i, weight);
}

void GatherLerpRowSse2(uint32_t* out, const uint32_t* row, const int* first, const int* second,
                       const uint8_t* weights, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i a =
            _mm_setr_epi32(static_cast<int>(row[first[i]]), static_cast<int>(row[first[i + 1]]),
                           static_cast<int>(row[first[i + 2]]), static_cast<int>(row[first[i + 3]]));
        const __m128i b =
            _mm_setr_epi32(static_cast<int>(row[second[i]]), static_cast<int>(row[second[i + 1]]),
                           static_cast<int>(row[second[i + 2]]), static_cast<int>(row[second[i + 3]]));
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 4 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Lerp4(a, b, w));
    }
    GatherLerpRowScalar(out + i, row, first + i, second + i, weights + 4 * i, count - i);
}

// The same steps at two widths: 16-bit lanes, one pixel's four channels per 64 bits.
// round(x / 255) as ((x + 128) * 257) >> 16, which equals Div255 for every 16-bit x.
__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

// Each widened pixel's alpha word copied to its four channel words, in one byte shuffle.
__attribute__((target("avx2"))) inline __m256i AlphaWords(__m256i wide) {
    const __m256i pick = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7,
                                          6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
    return _mm256_shuffle_epi8(wide, pick);
}

__attribute__((target("avx2"))) inline __m256i BlendHalf(__m256i s, __m256i d, __m256i mod, bool modulate) {
    if (modulate) s = Div255x16(_mm256_mullo_epi16(s, mod));
    const __m256i a = AlphaWords(s);
    const __m256i inverse = _mm256_xor_si256(a, _mm256_set1_epi16(255));  // 255 - a
    return Div255x16(_mm256_add_epi16(_mm256_mullo_epi16(s, a), _mm256_mullo_epi16(d, inverse)));
}

// Eight texels given as widened halves (unpacklo / unpackhi order) blended over eight pixels.
__attribute__((target("avx2"))) inline __m256i BlendWide(__m256i low, __m256i high, __m256i d, __m256i mod,
                                                         bool modulate) {
    const __m256i zero = _mm256_setzero_si256();
    low = BlendHalf(low, _mm256_unpacklo_epi8(d, zero), mod, modulate);
    high = BlendHalf(high, _mm256_unpackhi_epi8(d, zero), mod, modulate);
    return _mm256_or_si256(_mm256_packus_epi16(low, high), _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

__attribute__((target("avx2"))) inline __m256i AlphaMask() {
    return _mm256_set1_epi32(static_cast<int>(0xFF000000u));
}

// Where the blend loop takes its texels from. A source loads a block of eight, tells whether all
// of them are transparent (nothing to draw) or opaque (a copy when unmodulated), and widens them.
// Texels straight from one row:
struct PlainTexels {
    using Block = __m256i;
    const uint32_t* row;
    __attribute__((target("avx2"))) Block Load(int i) const {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
    }
    __attribute__((target("avx2"))) Block LoadMasked(int i, __m256i mask) const {
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(row + i), mask);
    }
    __attribute__((target("avx2"))) bool Transparent(Block b) const {
        return _mm256_testz_si256(b, AlphaMask());
    }
    __attribute__((target("avx2"))) bool Opaque(Block b) const { return _mm256_testc_si256(b, AlphaMask()); }
    __attribute__((target("avx2"))) __m256i Packed(Block b) const { return b; }
    __attribute__((target("avx2"))) void Widen(Block b, __m256i& low, __m256i& high) const {
        low = _mm256_unpacklo_epi8(b, _mm256_setzero_si256());
        high = _mm256_unpackhi_epi8(b, _mm256_setzero_si256());
    }
};

// A row of `count` texels read backwards (mirrored exact copies): texel i is row[count - 1 - i].
struct ReversedTexels : PlainTexels {
    int count;
    __attribute__((target("avx2"))) Block Load(int i) const {
        const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
        const __m256i texels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + count - 8 - i));
        return _mm256_permutevar8x32_epi32(texels, reverse);
    }
    // The last few texels (count - i < 8) by plain reads: no address before the row is formed.
    __attribute__((target("avx2"))) Block LoadMasked(int i, __m256i) const {
        alignas(32) uint32_t tail[8] = {};
        for (int j = 0; j < count - i; ++j) tail[j] = row[count - 1 - i - j];
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(tail));
    }
};

// Texels interpolated between two rows with one weight, kept in 16-bit lanes for the blend.
// Both inputs transparent (opaque) give a transparent (opaque) result.
struct LerpedTexels {
    struct Block {
        __m256i first, second;
    };
    const uint32_t* first;
    const uint32_t* second;
    __m256i weight;  // 16-bit lanes
    __attribute__((target("avx2"))) Block Load(int i) const {
        return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + i))};
    }
    __attribute__((target("avx2"))) Block LoadMasked(int i, __m256i mask) const {
        return {_mm256_maskload_epi32(reinterpret_cast<const int*>(first + i), mask),
                _mm256_maskload_epi32(reinterpret_cast<const int*>(second + i), mask)};
    }
    __attribute__((target("avx2"))) bool Transparent(Block b) const {
        return _mm256_testz_si256(_mm256_or_si256(b.first, b.second), AlphaMask());
    }
    __attribute__((target("avx2"))) bool Opaque(Block b) const {
        return _mm256_testc_si256(_mm256_and_si256(b.first, b.second), AlphaMask());
    }
    __attribute__((target("avx2"))) void Widen(Block b, __m256i& low, __m256i& high) const {
        const __m256i zero = _mm256_setzero_si256();
        low = LerpHalf(_mm256_unpacklo_epi8(b.first, zero), _mm256_unpacklo_epi8(b.second, zero), weight);
        high = LerpHalf(_mm256_unpackhi_epi8(b.first, zero), _mm256_unpackhi_epi8(b.second, zero), weight);
    }
    __attribute__((target("avx2"))) __m256i Packed(Block b) const {
        __m256i low, high;
        Widen(b, low, high);
        return _mm256_packus_epi16(low, high);
    }
};

template <bool kModulate, typename Texels>
__attribute__((target("avx2"))) void BlendTexelsAvx2(uint32_t* dst, const Texels& texels, int count,
                                                     uint32_t color) {
    const __m256i mod =
        _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(color)), _mm256_setzero_si256());
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const auto block = texels.Load(i);
        if (texels.Transparent(block)) continue;  // nothing to do
        auto* out = reinterpret_cast<__m256i*>(dst + i);
        if (!kModulate && texels.Opaque(block)) {  // a copy
            _mm256_storeu_si256(out, texels.Packed(block));
            continue;
        }
        __m256i low, high;
        texels.Widen(block, low, high);
        _mm256_storeu_si256(out, BlendWide(low, high, _mm256_loadu_si256(out), mod, kModulate));
    }
    if (i == count) return;
    // The last 1..7 pixels through masked loads and stores: nothing beyond the row is touched.
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), lanes);
    auto* tail = reinterpret_cast<int*>(dst + i);
    __m256i low, high;
    texels.Widen(texels.LoadMasked(i, mask), low, high);
    _mm256_maskstore_epi32(tail, mask,
                           BlendWide(low, high, _mm256_maskload_epi32(tail, mask), mod, kModulate));
}

template <bool kModulate>
__attribute__((target("avx2"))) void BlendRowAvx2(uint32_t* dst, const uint32_t* src, int count,
                                                  uint32_t color) {
    BlendTexelsAvx2<kModulate>(dst, PlainTexels{src}, count, color);
}

__attribute__((target("avx2"))) void BlendReversedRowAvx2(uint32_t* dst, const uint32_t* row, int count,
                                                          uint32_t color) {
    const ReversedTexels texels{{row}, count};
    if (color == 0xFFFFFFFFu) {
        BlendTexelsAvx2<false>(dst, texels, count, color);
    } else {
        BlendTexelsAvx2<true>(dst, texels, count, color);
    }
}

__attribute__((target("avx2"))) void BlendLerpedRowsAvx2(uint32_t* dst, const uint32_t* first,
                                                         const uint32_t* second, int weight, int count,
                                                         uint32_t color) {
    const LerpedTexels texels{first, second, _mm256_set1_epi16(static_cast<short>(weight))};
    if (color == 0xFFFFFFFFu) {
        BlendTexelsAvx2<false>(dst, texels, count, color);
    } else {
        BlendTexelsAvx2<true>(dst, texels, count, color);
    }
}

// Reads a texture row backwards (mirrored exact copies).
__attribute__((target("avx2"))) void ReverseRowAvx2(uint32_t* out, const uint32_t* row, int count) {
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i texels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + count - 8 - i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_permutevar8x32_epi32(texels, reverse));
    }
    ReverseRowScalar(out + i, row, count - i);
}

inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i BlendHalfSse2(__m128i s, __m128i d, __m128i mod, bool modulate) {
    if (modulate) s = Div255x8(_mm_mullo_epi16(s, mod));
    __m128i a = _mm_shufflelo_epi16(s, 0xFF);
    a = _mm_shufflehi_epi16(a, 0xFF);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return Div255x8(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, inverse)));
}

template <bool kModulate>
void BlendRowSse2(uint32_t* dst, const uint32_t* src, int count, uint32_t color) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i mod = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const int alphaZero = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), zero));
        if (alphaZero == 0xFFFF) continue;
        auto* out = reinterpret_cast<__m128i*>(dst + i);
        const __m128i d = _mm_loadu_si128(out);
        const __m128i low =
            BlendHalfSse2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), mod, kModulate);
        const __m128i high =
            BlendHalfSse2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), mod, kModulate);
        _mm_storeu_si128(out, _mm_or_si128(_mm_packus_epi16(low, high), alphaMask));
    }
    BlendRowScalar(dst + i, src + i, count - i, color);
}

constexpr RowKernelSet kAvx2Kernels{BlendRowAvx2<false>, BlendRowAvx2<true>,  BlendReversedRowAvx2,
                                    LerpRowsAvx2,        GatherRowScalar,     ReverseRowAvx2,
                                    GatherLerpRowAvx2,   BlendLerpedRowsAvx2, "avx2"};
constexpr RowKernelSet kSse2Kernels{
    BlendRowSse2<false>,
    BlendRowSse2<true>,
    BlendReversedInTwoSteps<ReverseRowScalar, BlendRowSse2<false>, BlendRowSse2<true>>,
    LerpRowsSse2,
    GatherRowScalar,
    ReverseRowScalar,
    GatherLerpRowSse2,
    BlendLerpedRowsInTwoSteps<LerpRowsSse2, BlendRowSse2<false>, BlendRowSse2<true>>,
    "sse2"};

bool Avx2Supported() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#endif

constexpr RowKernelSet kScalarKernels{
    BlendRowScalar,
    BlendRowScalar,
    BlendReversedInTwoSteps<ReverseRowScalar, BlendRowScalar, BlendRowScalar>,
    LerpRowsScalar,
    GatherRowScalar,
    ReverseRowScalar,
    GatherLerpRowScalar,
    BlendLerpedRowsInTwoSteps<LerpRowsScalar, BlendRowScalar, BlendRowScalar>,
    "scalar"};

const RowKernelSet& PickBestKernels() {
#ifdef ZEPA_X86_KERNELS
    if (const RowKernelSet* wide = kernels::Avx512KernelSet()) return *wide;
    return Avx2Supported() ? kAvx2Kernels : kSse2Kernels;
#else
    return kScalarKernels;
#endif
}

}  // namespace

void CopyRowOpaque(uint32_t* dst, const uint32_t* src, int count) {
    if (count > 0) std::memcpy(dst, src, static_cast<size_t>(count) * sizeof(uint32_t));
}

const RowKernelSet& BestRowKernels() {
    // The processor does not change while the program runs: detect once.
    static const RowKernelSet& best = PickBestKernels();
    return best;
}

const RowKernelSet* FindRowKernels(std::string_view name) {
    if (name == "best") return &BestRowKernels();
    std::vector<const RowKernelSet*> sets{&kScalarKernels};
#ifdef ZEPA_X86_KERNELS
    sets.push_back(&kSse2Kernels);
    if (Avx2Supported()) sets.push_back(&kAvx2Kernels);
    if (const RowKernelSet* wide = kernels::Avx512KernelSet()) sets.push_back(wide);
#endif
    for (const RowKernelSet* set : sets)
        if (name == set->name) return set;
    return nullptr;
}

}  // namespace zepa
