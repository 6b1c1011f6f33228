// The fast compositor against the reference one: thousands of seeded random draws covering every
// clip edge, mirroring, scaling, modulation and the alpha extremes must give identical pixels.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ReferenceCompositor.h"
#include "gfx/RowKernels.h"
#include "gfx/SpriteBatch.h"

namespace zepa {
namespace {

using Random = std::mt19937;

int Uniform(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

template <typename T>
T Pick(Random& random, std::initializer_list<T> values) {
    return *(values.begin() + Uniform(random, 0, static_cast<int>(values.size()) - 1));
}

uint32_t RandomTexel(Random& random, int alphaStyle) {
    const uint32_t rgb = static_cast<uint32_t>(random()) & 0x00FFFFFFu;
    switch (alphaStyle) {
        case 0:
            return rgb | 0xFF000000u;  // opaque texture
        case 1:
            return rgb | (Pick<uint32_t>(random, {0u, 0u, 255u, 255u, 128u, 1u, 254u}) << 24);
        default:
            return rgb | (static_cast<uint32_t>(Uniform(random, 0, 255)) << 24);
    }
}

std::unique_ptr<CTexture> RandomTexture(Random& random) {
    const int width = Pick(random, {1, 2, 3, Uniform(random, 1, 90), Uniform(random, 40, 300)});
    const int height = Pick(random, {1, 2, Uniform(random, 1, 90), Uniform(random, 40, 200)});
    const int alphaStyle = Uniform(random, 0, 2);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (uint32_t& pixel : pixels) pixel = RandomTexel(random, alphaStyle);
    const uint32_t format = Pick<uint32_t>(random, {D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8});
    return CTexture::CreateFromPixels(pixels.data(), width, height, format);
}

struct DrawCall {
    const CTexture* texture = nullptr;
    bool hasSource = false;
    Rect source;
    bool hasPosition = false;
    Vector3 position;
    float scaleX = 1;
    float scaleY = 1;
    uint32_t color = 0xFFFFFFFFu;

    std::string Describe() const {
        std::ostringstream text;
        text << "texture " << (texture ? texture->width() : 0) << "x" << (texture ? texture->height() : 0);
        if (hasSource)
            text << " source " << source.left << "," << source.top << "-" << source.right << ","
                 << source.bottom;
        if (hasPosition) text << " at " << position.x << "," << position.y;
        text << " scale " << scaleX << "," << scaleY << " color " << std::hex << color;
        return text.str();
    }
};

// A screen coordinate near an interesting place: an edge of the screen, just beyond it, inside.
float ScreenCoordinate(Random& random, int limit, int extent) {
    const int edge =
        Pick(random, {0, limit, -extent, limit - extent, Uniform(random, -extent - 20, limit + 20)});
    const float offset = static_cast<float>(Uniform(random, -3, 3));
    const float fraction = Pick(random, {0.0f, 0.0f, 0.0f, 0.5f, 0.25f, 0.7f});
    return static_cast<float>(edge) + offset + fraction;
}

float RandomScale(Random& random) {
    return Pick(random, {1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 2.0f, -2.0f, 0.5f, 1.5f, -0.75f, 3.0f, 0.3f,
                         static_cast<float>(Uniform(random, -400, 400)) / 100.0f});
}

DrawCall RandomDraw(Random& random, const std::vector<std::unique_ptr<CTexture>>& textures) {
    DrawCall call;
    call.texture =
        Uniform(random, 0, 60) == 0 ? nullptr : textures[Uniform(random, 0, int(textures.size()) - 1)].get();
    const int width = call.texture ? call.texture->textureWidth() : 8;
    const int height = call.texture ? call.texture->textureHeight() : 8;
    call.hasSource = Uniform(random, 0, 4) != 0;
    if (call.hasSource) {
        call.source.left = Uniform(random, -4, width + 2);
        call.source.top = Uniform(random, -4, height + 2);
        call.source.right = call.source.left + Uniform(random, -2, width + 4);
        call.source.bottom = call.source.top + Uniform(random, -2, height + 4);
    }
    call.scaleX = RandomScale(random);
    call.scaleY = Uniform(random, 0, 2) == 0 ? call.scaleX : RandomScale(random);
    call.hasPosition = Uniform(random, 0, 8) != 0;
    // Aim the transformed rectangle at screen places, then express that in pre-transform units.
    const int drawnWidth = static_cast<int>(width * std::abs(call.scaleX));
    const int drawnHeight = static_cast<int>(height * std::abs(call.scaleY));
    call.position.x = ScreenCoordinate(random, kScreenWidth, drawnWidth) / call.scaleX;
    call.position.y = ScreenCoordinate(random, kScreenHeight, drawnHeight) / call.scaleY;
    call.color = Pick<uint32_t>(
        random, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF888888u, 0x00FFFFFFu, 0x00123456u, 0x80FFFFFFu,
                 static_cast<uint32_t>(random()), static_cast<uint32_t>(random()) | 0xFF000000u});
    return call;
}

// Every kernel set this processor runs, each on its own seed.
class CompositorDifferential : public ::testing::TestWithParam<const char*> {};

TEST_P(CompositorDifferential, RandomDrawsMatchTheReferencePixelForPixel) {
    const RowKernelSet* kernels = FindRowKernels(GetParam());
    if (!kernels) GTEST_SKIP() << GetParam() << " kernels not supported here";
    const uint32_t firstSeed = static_cast<uint32_t>(std::string(GetParam()).size());
    for (uint32_t seed : {firstSeed, firstSeed + 10}) {
        Random random(seed);
        std::vector<std::unique_ptr<CTexture>> textures;
        for (int i = 0; i < 14; ++i) textures.push_back(RandomTexture(random));
        CSpriteBatch batch;
        batch.SetRowKernels(*kernels);
        testing::ReferenceCompositor reference;
        for (size_t i = 0; i < reference.pixels().size(); ++i) {
            reference.pixels()[i] = batch.BackBuffer().Pixels()[i] =
                static_cast<uint32_t>(random()) | 0xFF000000u;
        }
        batch.Begin();
        for (int draw = 0; draw < 1200; ++draw) {
            const DrawCall call = RandomDraw(random, textures);
            batch.SetTransform(MatrixScaling(call.scaleX, call.scaleY, 1));
            reference.SetScale(call.scaleX, call.scaleY);
            const Rect* source = call.hasSource ? &call.source : nullptr;
            const Vector3* position = call.hasPosition ? &call.position : nullptr;
            batch.Draw(call.texture, source, position, call.color);
            reference.Draw(call.texture, source, position, call.color);
            const uint32_t* fast = batch.BackBuffer().Pixels();
            for (size_t p = 0; p < reference.pixels().size(); ++p) {
                if (fast[p] != reference.pixels()[p]) {
                    FAIL() << "seed " << seed << " draw " << draw << " (" << call.Describe() << ") pixel "
                           << p % kScreenWidth << "," << p / kScreenWidth << ": " << std::hex << fast[p]
                           << " != reference " << reference.pixels()[p];
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KernelSets, CompositorDifferential,
                         ::testing::Values("avx512", "avx2", "sse2", "scalar"));

}  // namespace
}  // namespace zepa
