// The resampling kernels of every kernel set against their per-pixel definitions, for every row
// length up to a few SIMD widths (so each set's tail handling is hit) and for taps in any order.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/RowKernels.h"

namespace zepa {
namespace {

uint32_t LerpTexel(uint32_t a, uint32_t b, const uint8_t* weights) {
    uint32_t result = 0;
    for (int channel = 0; channel < 4; ++channel) {
        const int shift = 8 * channel;
        result |= LerpChannel(a >> shift & 255, b >> shift & 255, weights[channel]) << shift;
    }
    return result;
}

class RowKernelSets : public ::testing::TestWithParam<const char*> {};

TEST_P(RowKernelSets, ResamplingMatchesTheDefinitions) {
    const RowKernelSet* kernels = FindRowKernels(GetParam());
    if (!kernels) GTEST_SKIP() << GetParam() << " kernels not supported here";
    EXPECT_STREQ(kernels->name, GetParam());
    std::mt19937 random(3);
    constexpr int kRow = 97;
    std::vector<uint32_t> row(kRow), other(kRow);
    for (int count = 0; count <= 70; ++count) {
        for (uint32_t& texel : row) texel = static_cast<uint32_t>(random());
        for (uint32_t& texel : other) texel = static_cast<uint32_t>(random());
        std::vector<int> first(count), second(count);
        std::vector<uint8_t> weights(4 * static_cast<size_t>(count));
        const bool magnified = count % 2 == 0;  // neighbouring taps, as when magnifying
        for (int i = 0; i < count; ++i) {
            first[i] = magnified ? (kRow - 1) * i / 70 / 2 : static_cast<int>(random() % kRow);
            second[i] = magnified ? std::min(first[i] + 1, kRow - 1) : static_cast<int>(random() % kRow);
        }
        for (uint8_t& weight : weights) weight = static_cast<uint8_t>(random());
        const int weight = static_cast<int>(random() % 256);

        std::vector<uint32_t> out(count + 3, 0xDEADBEEFu), expected(count + 3, 0xDEADBEEFu);
        for (int i = 0; i < count; ++i)
            expected[i] = LerpTexel(row[first[i]], row[second[i]], &weights[4 * i]);
        kernels->GatherLerpRow(out.data(), row.data(), first.data(), second.data(), weights.data(), count);
        ASSERT_EQ(out, expected) << "gather-lerp, count " << count;

        for (int i = 0; i < count; ++i) expected[i] = row[first[i]];
        kernels->GatherRow(out.data(), row.data(), first.data(), count);
        ASSERT_EQ(out, expected) << "gather, count " << count;

        for (int i = 0; i < count; ++i) expected[i] = row[count - 1 - i];
        kernels->ReverseRow(out.data(), row.data(), count);
        ASSERT_EQ(out, expected) << "reverse, count " << count;

        const uint8_t same[4] = {uint8_t(weight), uint8_t(weight), uint8_t(weight), uint8_t(weight)};
        for (int i = 0; i < count; ++i) expected[i] = LerpTexel(row[i], other[i], same);
        kernels->LerpRows(out.data(), row.data(), other.data(), count, weight);
        ASSERT_EQ(out, expected) << "lerp rows, count " << count;
    }
}

// "best" names the fastest set, which every processor has; the portable set is always there.
TEST(RowKernelSelection, BestAndScalarAreFoundAndUnknownNamesAreNot) {
    ASSERT_EQ(FindRowKernels("best"), &BestRowKernels());
    ASSERT_NE(FindRowKernels("scalar"), nullptr);
    EXPECT_EQ(FindRowKernels(BestRowKernels().name), &BestRowKernels());
    EXPECT_EQ(FindRowKernels("mmx"), nullptr);
    EXPECT_EQ(FindRowKernels(""), nullptr);
}

INSTANTIATE_TEST_SUITE_P(KernelSets, RowKernelSets, ::testing::Values("avx512", "avx2", "sse2", "scalar"));

}  // namespace
}  // namespace zepa
