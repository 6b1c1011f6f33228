// Textures store only their image; the padding up to the power-of-two size is implied. Draws whose
// source rectangle reaches into that padding must show exactly what stored padding showed:
// transparent black for formats with alpha, opaque black for formats without.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ReferenceCompositor.h"
#include "gfx/RowKernels.h"
#include "gfx/SpriteBatch.h"

namespace zepa {
namespace {

// A 37 x 21 image (texture 64 x 32) whose texels vary in every channel, alpha included.
std::unique_ptr<CTexture> OddSizedTexture(uint32_t format) {
    constexpr int kWidth = 37, kHeight = 21;
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const uint32_t alpha = (i % 5 == 0) ? 0u : (i % 3 == 0) ? 255u : uint32_t(40 + i % 200);
        pixels[i] = alpha << 24 | uint32_t(i * 2654435761u) >> 8;
    }
    return CTexture::CreateFromPixels(pixels.data(), kWidth, kHeight, format);
}

TEST(TexturePadding, OnlyTheImageIsStoredAndThePaddingFollowsTheFormat) {
    auto alpha = OddSizedTexture(D3DFMT_A8R8G8B8);
    auto opaque = OddSizedTexture(D3DFMT_X8R8G8B8);
    for (const CTexture* texture : {alpha.get(), opaque.get()}) {
        EXPECT_EQ(texture->textureWidth(), 64);
        EXPECT_EQ(texture->textureHeight(), 32);
        EXPECT_EQ(texture->pitch(), 37);
        EXPECT_EQ(texture->StoredBytes(), 37u * 21u * 4u);
    }
    EXPECT_EQ(alpha->TexelAt(37, 0), 0u);
    EXPECT_EQ(alpha->TexelAt(0, 21), 0u);
    EXPECT_EQ(alpha->TexelAt(63, 31), 0u);
    EXPECT_EQ(opaque->TexelAt(37, 20), 0xFF000000u);
    EXPECT_EQ(opaque->TexelAt(36, 31), 0xFF000000u);
    EXPECT_EQ(opaque->TexelAt(-1, 0), 0xFF000000u);  // outside the texture: an answer, no read
    EXPECT_EQ(opaque->TexelAt(36, 20) >> 24, 0xFFu);
    EXPECT_FALSE(alpha->allOpaque());
    EXPECT_TRUE(opaque->allOpaque());
    // A fully opaque image with padding is not all opaque when the padding is transparent.
    const std::vector<uint32_t> solid(3 * 3, 0xFF102030u);
    EXPECT_FALSE(CTexture::CreateFromPixels(solid.data(), 3, 3, D3DFMT_A8R8G8B8)->allOpaque());
    EXPECT_TRUE(CTexture::CreateFromPixels(solid.data(), 4, 2, D3DFMT_A8R8G8B8)->allOpaque());
    // Blank textures are drawing surfaces: the whole texture is stored and writable.
    auto canvas = CTexture::CreateBlank(37, 21);
    EXPECT_EQ(canvas->pitch(), 64);
    EXPECT_EQ(canvas->storedHeight(), 32);
    canvas->Lock()[31 * 64 + 63] = 0xFF00FF00u;
    canvas->Unlock();
    EXPECT_EQ(canvas->TexelAt(63, 31), 0xFF00FF00u);
}

// What the padding shows on screen, independent of the reference: opaque black squares for
// formats without alpha, nothing at all for formats with alpha.
TEST(TexturePadding, DrawnPaddingIsBlackOrInvisible) {
    for (uint32_t format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
        auto texture = OddSizedTexture(format);
        CSpriteBatch batch;
        std::fill_n(batch.BackBuffer().Pixels(), kScreenWidth * kScreenHeight, 0xFFFFFFFFu);
        batch.Begin();
        const Rect padding{40, 24, 60, 31};
        const Vector3 at{10, 10, 0};
        batch.Draw(texture.get(), &padding, &at, 0xFFFFFFFFu);
        batch.SetTransform(MatrixScaling(-2, 2, 1));
        const Vector3 mirrored{-200, 10, 0};  // covers x 360..399 (mirrored), y 20..33
        const Rect rightEdge{37, 0, 64, 7};
        batch.Draw(texture.get(), &rightEdge, &mirrored, 0xFFFFFFFFu);
        const uint32_t expected = format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0xFFFFFFFFu;
        for (int y = 10; y < 17; ++y)
            for (int x = 10; x < 30; ++x) ASSERT_EQ(batch.BackBuffer().At(x, y), expected) << x << "," << y;
        for (int y = 21; y < 33; ++y)
            for (int x = 347; x < 399; ++x) ASSERT_EQ(batch.BackBuffer().At(x, y), expected) << x << "," << y;
        EXPECT_EQ(batch.BackBuffer().At(30, 10), 0xFFFFFFFFu);
    }
}

class PaddedDraws : public ::testing::TestWithParam<const char*> {};

// Source rectangles reaching into the padding on the right, below, both, or lying wholly in
// it, at exact, mirrored and scaled sizes, plain and modulated, for both alpha kinds.
TEST_P(PaddedDraws, MatchTheReferenceWherePaddingIsSampled) {
    const RowKernelSet* kernels = FindRowKernels(GetParam());
    if (!kernels) GTEST_SKIP() << GetParam() << " kernels not supported here";
    const std::unique_ptr<CTexture> textures[] = {OddSizedTexture(D3DFMT_A8R8G8B8),
                                                  OddSizedTexture(D3DFMT_X8R8G8B8)};
    const Rect sources[] = {{30, 3, 64, 18},  {5, 15, 30, 32}, {20, 10, 64, 32},
                            {40, 24, 60, 31}, {0, 0, 64, 32},  {36, 20, 38, 22}};
    const float scales[][2] = {{1, 1}, {-1, 1}, {1, -1},       {-1, -1},
                               {2, 2}, {-2, 1}, {1.5f, 0.75f}, {-0.6f, 3}};
    const uint32_t colors[] = {0xFFFFFFFFu, 0xC0FF8040u};
    for (const auto& texture : textures) {
        for (const Rect& source : sources) {
            for (const auto& scale : scales) {
                for (uint32_t color : colors) {
                    CSpriteBatch batch;
                    batch.SetRowKernels(*kernels);
                    testing::ReferenceCompositor reference;
                    for (size_t i = 0; i < reference.pixels().size(); ++i)
                        reference.pixels()[i] = batch.BackBuffer().Pixels()[i] =
                            0xFF000000u | uint32_t(i * 40503u);
                    batch.Begin();
                    batch.SetTransform(MatrixScaling(scale[0], scale[1], 1));
                    reference.SetScale(scale[0], scale[1]);
                    const Vector3 position{(scale[0] < 0 ? -200.0f : 100.0f) / scale[0],
                                           (scale[1] < 0 ? -150.0f : 50.0f) / scale[1], 0};
                    batch.Draw(texture.get(), &source, &position, color);
                    reference.Draw(texture.get(), &source, &position, color);
                    const uint32_t* fast = batch.BackBuffer().Pixels();
                    int differing = 0;
                    for (size_t p = 0; p < reference.pixels().size(); ++p)
                        differing += fast[p] != reference.pixels()[p];
                    ASSERT_EQ(differing, 0)
                        << "format " << texture->format() << " source " << source.left << "," << source.top
                        << "-" << source.right << "," << source.bottom << " scale " << scale[0] << ","
                        << scale[1] << " color " << std::hex << color;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KernelSets, PaddedDraws, ::testing::Values("avx512", "avx2", "sse2", "scalar"));

}  // namespace
}  // namespace zepa
