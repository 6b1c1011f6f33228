// The drawing conventions on known images, compared exactly (tolerance 0: every case below is an
// exact copy or a uniform colour).
#include "gfx/SpriteBatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "gfx/RowKernels.h"

namespace zepa {
namespace {

constexpr uint32_t kBackground = 0xFF102030u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A w x h texture whose texel (x, y) is opaque with red = x, green = y, blue = 0x55.
std::unique_ptr<CTexture> Gradient(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(0xFF000055u | uint32_t(x) << 16 | uint32_t(y) << 8);
    }
    return CTexture::CreateFromPixels(pixels.data(), width, height, D3DFMT_A8R8G8B8);
}

std::unique_ptr<CTexture> Uniform(int width, int height, uint32_t color) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, color);
    return CTexture::CreateFromPixels(pixels.data(), width, height, D3DFMT_A8R8G8B8);
}

class SpriteBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        batch.BackBuffer().Clear(kBackground);
        batch.Begin();
    }
    // Pixels outside [left, right) x [top, bottom) still show the background.
    void ExpectUntouchedOutside(int left, int top, int right, int bottom) {
        for (int y = 0; y < kScreenHeight; ++y) {
            for (int x = 0; x < kScreenWidth; ++x) {
                if (x >= left && x < right && y >= top && y < bottom) continue;
                ASSERT_EQ(batch.BackBuffer().At(x, y), kBackground) << x << "," << y;
            }
        }
    }
    CSpriteBatch batch;
};

TEST_F(SpriteBatchTest, IdentityAndNullPositionDrawAtTheTopLeft) {
    auto texture = Gradient(5, 3);
    batch.Draw(texture.get(), nullptr, nullptr, kWhite);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(batch.BackBuffer().At(x, y), texture->TexelAt(x, y));
    }
    // The padding of an alpha texture (8 x 4) is transparent: nothing beyond the image.
    ExpectUntouchedOutside(0, 0, 5, 3);
}

TEST_F(SpriteBatchTest, PaddingOfAnOpaqueFormatDrawsBlack) {
    std::vector<uint32_t> pixels(3 * 3, 0x00FFFFFFu);
    auto texture = CTexture::CreateFromPixels(pixels.data(), 3, 3, D3DFMT_R8G8B8);
    ASSERT_EQ(texture->textureWidth(), 4);
    batch.Draw(texture.get(), nullptr, nullptr, kWhite);
    EXPECT_EQ(batch.BackBuffer().At(2, 2), 0xFFFFFFFFu);  // alpha forced opaque
    EXPECT_EQ(batch.BackBuffer().At(3, 0), 0xFF000000u);
    EXPECT_EQ(batch.BackBuffer().At(0, 3), 0xFF000000u);
    ExpectUntouchedOutside(0, 0, 4, 4);
}

TEST_F(SpriteBatchTest, SourceRectangleLandsWithItsTopLeftAtThePosition) {
    auto texture = Gradient(32, 32);
    const Rect source{4, 6, 10, 9};
    const Vector3 at{200, 100, 0};
    batch.Draw(texture.get(), &source, &at, kWhite);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(batch.BackBuffer().At(200 + x, 100 + y), texture->TexelAt(4 + x, 6 + y));
    }
    ExpectUntouchedOutside(200, 100, 206, 103);
}

TEST_F(SpriteBatchTest, MirroredAtZeroLiesEntirelyOffScreen) {
    auto texture = Gradient(40, 20);
    batch.SetTransform(MatrixScaling(-1, 1, 1));
    const Vector3 at{-0.0f, 10, 0};
    batch.Draw(texture.get(), nullptr, &at, kWhite);
    ExpectUntouchedOutside(0, 0, 0, 0);
}

TEST_F(SpriteBatchTest, MirroredImageCoversXMinusWidthToXReversed) {
    auto texture = Gradient(40, 20);
    const Rect source{0, 0, 40, 20};
    batch.SetTransform(MatrixScaling(-1, 1, 1));
    const Vector3 at{-300, 10, 0};
    batch.Draw(texture.get(), &source, &at, kWhite);
    for (int x = 0; x < 40; ++x) EXPECT_EQ(batch.BackBuffer().At(299 - x, 15), texture->TexelAt(x, 5));
    ExpectUntouchedOutside(260, 10, 300, 30);
}

TEST_F(SpriteBatchTest, DoubleMagnificationCoversTwiceTheSizeAtTheScreenPosition) {
    const int w = 13, h = 7;
    auto texture = Uniform(w, h, 0xFFC08040u);
    const Rect source{0, 0, w, h};
    batch.SetTransform(MatrixScaling(2, 2, 1));
    const Vector3 at{100.0f / 2, 50.0f / 2, 0};
    batch.Draw(texture.get(), &source, &at, kWhite);
    for (int y = 50; y < 50 + 2 * h; ++y) {
        for (int x = 100; x < 100 + 2 * w; ++x)
            ASSERT_EQ(batch.BackBuffer().At(x, y), 0xFFC08040u) << x << "," << y;
    }
    ExpectUntouchedOutside(100, 50, 100 + 2 * w, 50 + 2 * h);
}

TEST_F(SpriteBatchTest, TransformRestoredAfterAScaledDrawCopiesExactly) {
    auto texture = Gradient(16, 16);
    const Rect source{0, 0, 16, 16};
    batch.SetTransform(MatrixScaling(3, 3, 1));
    const Vector3 scaledAt{100, 100, 0};
    batch.Draw(texture.get(), &source, &scaledAt, kWhite);
    batch.SetTransform(MatrixIdentity());
    const Vector3 at{20, 30, 0};
    batch.Draw(texture.get(), &source, &at, kWhite);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) ASSERT_EQ(batch.BackBuffer().At(20 + x, 30 + y), texture->TexelAt(x, y));
    }
    EXPECT_EQ(batch.BackBuffer().At(19, 30), kBackground);
    EXPECT_EQ(batch.BackBuffer().At(36, 30), kBackground);
}

TEST_F(SpriteBatchTest, NullTextureAndAlphaZeroTouchNothing) {
    auto texture = Gradient(8, 8);
    batch.Draw(nullptr, nullptr, nullptr, kWhite);
    batch.Draw(texture.get(), nullptr, nullptr, 0x00FFFFFFu);
    auto transparent = Uniform(8, 8, 0x00FFFFFFu);
    batch.Draw(transparent.get(), nullptr, nullptr, kWhite);
    ExpectUntouchedOutside(0, 0, 0, 0);
}

TEST_F(SpriteBatchTest, DrawsClippedAtEveryEdgeWithoutWritingOutside) {
    auto texture = Gradient(64, 64);
    for (const Vector3& at : {Vector3{-32, -32, 0}, Vector3{608, 448, 0}, Vector3{-100, 200, 0},
                              Vector3{639.5f, 479.5f, 0}, Vector3{-1e9f, 5, 0}, Vector3{3e38f, 5, 0}}) {
        batch.Draw(texture.get(), nullptr, &at, kWhite);
    }
    EXPECT_EQ(batch.BackBuffer().At(0, 0), texture->TexelAt(32, 32));
    // The draw at (639.5, 479.5) covers the last pixel: its centre lies on the rectangle's edge.
    EXPECT_EQ(batch.BackBuffer().At(639, 479), texture->TexelAt(0, 0));
    EXPECT_EQ(batch.BackBuffer().At(638, 479), texture->TexelAt(30, 31));
    EXPECT_EQ(batch.BackBuffer().At(0, 200), kBackground);  // fully left of the screen
}

TEST_F(SpriteBatchTest, ModulationAndBlendingRoundExactly) {
    auto half = Uniform(4, 4, 0x80FF0000u);  // red at alpha 128
    batch.BackBuffer().Clear(0xFF0000FFu);
    batch.Draw(half.get(), nullptr, nullptr, kWhite);
    // red: round(255 * 128 / 255) = 128; blue: round(255 * 127 / 255) = 127.
    EXPECT_EQ(batch.BackBuffer().At(0, 0), 0xFF80007Fu);
    auto opaque = Uniform(4, 4, 0xFFFFFFFFu);
    const Vector3 at{10, 0, 0};
    batch.Draw(opaque.get(), nullptr, &at, 0xFF888888u);
    EXPECT_EQ(batch.BackBuffer().At(10, 0), 0xFF888888u);
}

// A blend that paints a marker instead: shows which kernel set a batch draws with.
constexpr uint32_t kMarker = 0xFF123456u;
void PaintMarker(uint32_t* dst, const uint32_t*, int count, uint32_t) {
    std::fill_n(dst, count, kMarker);
}

TEST_F(SpriteBatchTest, DrawsWithTheRowKernelsItIsGiven) {
    EXPECT_EQ(&batch.rowKernels(), &BestRowKernels());
    RowKernelSet marking = BestRowKernels();
    marking.plain = marking.modulated = PaintMarker;
    marking.name = "marking";
    batch.SetRowKernels(marking);
    EXPECT_STREQ(batch.rowKernels().name, "marking");
    auto half = Uniform(4, 4, 0x80FF0000u);  // not opaque: blended, never copied
    batch.Draw(half.get(), nullptr, nullptr, kWhite);
    EXPECT_EQ(batch.BackBuffer().At(3, 3), kMarker);
    EXPECT_EQ(batch.BackBuffer().At(4, 3), kBackground);
}

TEST(RowKernels, Div255RoundsEveryBlendSumToNearest) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(Div255(x), (2 * x + 255) / 510) << x;
}

uint32_t LerpPixel(uint32_t a, uint32_t b, int weight) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
        result |= LerpChannel(a >> shift & 255, b >> shift & 255, uint32_t(weight)) << shift;
    return result;
}

// Each kernel set against the per-pixel rules, for every row length around the vector widths
// (tails included) and for plain, modulated and faint colours. Texels mix alphas pixel by pixel,
// or come in runs of transparent, opaque and mixed texels that take the kernels' shortcuts.
TEST(RowKernels, EveryKernelSetMatchesThePixelRules) {
    std::vector<uint32_t> src(67), other(67), dst(67), expected(67);
    uint32_t state = 12345;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    auto randomTexel = [&](int i, bool runs) {
        const int kind = runs ? (i / 16) % 3 : i % 5;
        const uint32_t alpha = kind == 0 ? 0u : kind == 1 ? 255u : next() >> 24;
        return (next() & 0xFFFFFFu) | alpha << 24;
    };
    for (const char* name : {"avx512", "avx2", "sse2", "scalar"}) {
        const RowKernelSet* kernels = FindRowKernels(name);
        if (!kernels) continue;
        for (uint32_t color : {0xFFFFFFFFu, 0xFF888888u, 0x7F102030u, 0x01FFFFFFu}) {
            for (int count = 0; count <= 67; ++count) {
                const int weight = static_cast<int>(next() >> 24);
                const bool runs = count % 2 == 1;
                for (int i = 0; i < 67; ++i) {
                    src[i] = randomTexel(i, runs);
                    other[i] = randomTexel(i + 1, runs);
                    dst[i] = next() | 0xFF000000u;
                }
                std::vector<uint32_t> lerpDst = dst, reversedDst = dst;
                for (int i = 0; i < 67; ++i)
                    expected[i] = i < count ? BlendPixel(dst[i], src[i], color) : dst[i];
                kernels->BlendRow(dst.data(), src.data(), count, color);
                ASSERT_EQ(dst, expected) << "count " << count << " kernels " << name;
                for (int i = 0; i < 67; ++i) {
                    const uint32_t texel = LerpPixel(src[i], other[i], weight);
                    expected[i] = i < count ? BlendPixel(lerpDst[i], texel, color) : lerpDst[i];
                }
                kernels->BlendLerpedRows(lerpDst.data(), src.data(), other.data(), weight, count, color);
                ASSERT_EQ(lerpDst, expected) << "lerped, count " << count << " kernels " << name;
                for (int i = 0; i < 67; ++i)
                    expected[i] =
                        i < count ? BlendPixel(reversedDst[i], src[count - 1 - i], color) : reversedDst[i];
                kernels->BlendReversedRow(reversedDst.data(), src.data(), count, color);
                ASSERT_EQ(reversedDst, expected) << "reversed, count " << count << " kernels " << name;
            }
        }
    }
}

}  // namespace
}  // namespace zepa
