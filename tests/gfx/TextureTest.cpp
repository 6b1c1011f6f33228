// Textures: power-of-two sizes, padding, format rules, and image decoding with colour keys.
#include "gfx/Texture.h"

#include <gtest/gtest.h>

#include <vector>

#include "ImageTestFiles.h"
#include "gfx/ImageLoader.h"

namespace zepa {
namespace {

TEST(Texture, SizesRoundUpToPowersOfTwoAndBadSizesFail) {
    EXPECT_EQ(RoundUpToPowerOfTwo(1), 1);
    EXPECT_EQ(RoundUpToPowerOfTwo(3), 4);
    EXPECT_EQ(RoundUpToPowerOfTwo(300), 512);
    EXPECT_EQ(RoundUpToPowerOfTwo(640), 1024);
    auto texture = CTexture::CreateBlank(300, 480);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->width(), 300);
    EXPECT_EQ(texture->textureWidth(), 512);
    EXPECT_EQ(texture->textureHeight(), 512);
    EXPECT_FALSE(CTexture::CreateBlank(0, 5));
    EXPECT_FALSE(CTexture::CreateBlank(5, -1));
    EXPECT_FALSE(CTexture::CreateBlank(CTexture::kMaxSide + 1, 1));
    EXPECT_FALSE(CTexture::CreateFromPixels(nullptr, 2, 2, D3DFMT_A8R8G8B8));
}

TEST(Texture, BlankIsTransparentAndPaddingFollowsTheFormat) {
    auto blank = CTexture::CreateBlank(3, 3);
    EXPECT_EQ(blank->TexelAt(0, 0), 0u);
    EXPECT_FALSE(blank->allOpaque());
    const std::vector<uint32_t> pixels(9, 0x12345678u);
    auto withAlpha = CTexture::CreateFromPixels(pixels.data(), 3, 3, D3DFMT_A8R8G8B8);
    EXPECT_EQ(withAlpha->TexelAt(2, 2), 0x12345678u);
    EXPECT_EQ(withAlpha->TexelAt(3, 0), 0u);
    for (uint32_t format : {D3DFMT_R8G8B8, D3DFMT_X8R8G8B8}) {
        auto opaque = CTexture::CreateFromPixels(pixels.data(), 3, 3, format);
        EXPECT_EQ(opaque->TexelAt(1, 1), 0xFF345678u);
        EXPECT_EQ(opaque->TexelAt(3, 3), 0xFF000000u);
        EXPECT_TRUE(opaque->allOpaque());
    }
}

TEST(Texture, UnlockRefreshesOpacityAndFormatRules) {
    auto texture = CTexture::CreateBlank(4, 4);
    uint32_t* texels = texture->Lock();
    std::fill(texels, texels + texture->pitch() * texture->textureHeight(), 0xFF00FF00u);
    texture->Unlock();
    EXPECT_TRUE(texture->allOpaque());
    texture->Lock()[5] = 0x7F000000u;
    texture->Unlock();
    EXPECT_FALSE(texture->allOpaque());
    auto opaque = CTexture::CreateBlank(2, 2, D3DFMT_X8R8G8B8);
    opaque->Lock()[0] = 0x00ABCDEFu;
    opaque->Unlock();
    EXPECT_EQ(opaque->TexelAt(0, 0), 0xFFABCDEFu);
}

TEST(ImageLoader, PngKeepsAlphaAndKeysTheWholeArgbValue) {
    // Opaque green, half-transparent green, red with alpha.
    const std::vector<uint32_t> pixels{0xFF00FF00u, 0x8000FF00u, 0x40FF0000u, 0xFF0000FFu};
    const auto bytes = testing::EncodePng(pixels, 2, 2);
    auto texture = CreateTextureFromImage(bytes, D3DFMT_A8R8G8B8, 0xFF00FF00u);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->width(), 2);
    EXPECT_EQ(texture->TexelAt(0, 0), 0u);           // keyed
    EXPECT_EQ(texture->TexelAt(1, 0), 0x8000FF00u);  // same colour, other alpha: kept
    EXPECT_EQ(texture->TexelAt(0, 1), 0x40FF0000u);
    auto unkeyed = CreateTextureFromImage(bytes, D3DFMT_A8R8G8B8, 0);
    EXPECT_EQ(unkeyed->TexelAt(0, 0), 0xFF00FF00u);
}

TEST(ImageLoader, FormatsWithoutAlphaForceOpaqueAfterTheKey) {
    const std::vector<uint32_t> pixels{0xFF00FF00u, 0x40FF0000u};
    const auto bytes = testing::EncodePng(pixels, 2, 1);
    auto texture = CreateTextureFromImage(bytes, D3DFMT_R8G8B8, 0xFF00FF00u);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->TexelAt(0, 0), 0xFF000000u);
    EXPECT_EQ(texture->TexelAt(1, 0), 0xFFFF0000u);
}

TEST(ImageLoader, BmpAndTgaDecode) {
    const std::vector<uint32_t> pixels{0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    auto bmp = CreateTextureFromImage(testing::EncodeBmp(pixels, 2, 2), D3DFMT_A8R8G8B8, 0);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->TexelAt(1, 1), 0xFFA0B0C0u);
    auto tga = CreateTextureFromImage(testing::EncodeTga(pixels, 2, 2), D3DFMT_A8R8G8B8, 0);
    ASSERT_TRUE(tga);
    EXPECT_EQ(tga->TexelAt(1, 0), 0xFF405060u);
    EXPECT_EQ(tga->TexelAt(0, 1), 0xFF708090u);
}

// A TGA header: image type, size, bits per pixel, descriptor (top-left origin).
std::vector<uint8_t> TgaHeader(uint8_t type, int width, int height, uint8_t bits) {
    std::vector<uint8_t> header(18, 0);
    header[2] = type;
    header[12] = static_cast<uint8_t>(width);
    header[13] = static_cast<uint8_t>(width >> 8);
    header[14] = static_cast<uint8_t>(height);
    header[15] = static_cast<uint8_t>(height >> 8);
    header[16] = bits;
    header[17] = 0x20;
    return header;
}

TEST(ImageLoader, TgaDataMustHoldTheImageItDeclares) {
    const std::vector<uint32_t> pixels{0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    std::vector<uint8_t> truncated = testing::EncodeTga(pixels, 2, 2);
    truncated.pop_back();
    EXPECT_EQ(CreateTextureFromImage(truncated, D3DFMT_A8R8G8B8, 0), nullptr);

    // Run-length true colour: one packet repeating a pixel four times decodes.
    std::vector<uint8_t> rle = TgaHeader(10, 2, 2, 24);
    rle.insert(rle.end(), {0x83, 0x30, 0x20, 0x10});
    auto run = CreateTextureFromImage(rle, D3DFMT_A8R8G8B8, 0);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->TexelAt(1, 1), 0xFF102030u);

    // Colour-mapped with an image ID field: the data starts after the ID and the colour map.
    std::vector<uint8_t> mapped = TgaHeader(1, 2, 1, 8);
    mapped[0] = 3;   // ID length
    mapped[1] = 1;   // has a colour map
    mapped[5] = 2;   // two entries
    mapped[7] = 24;  // of 24 bits
    mapped.insert(mapped.end(), {'i', 'd', '!', 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 1, 0});
    auto indexed = CreateTextureFromImage(mapped, D3DFMT_A8R8G8B8, 0);
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->TexelAt(0, 0), 0xFF00FF00u);
    EXPECT_EQ(indexed->TexelAt(1, 0), 0xFFFF0000u);
    mapped.pop_back();
    EXPECT_EQ(CreateTextureFromImage(mapped, D3DFMT_A8R8G8B8, 0), nullptr);

    // A few bytes declaring a large image fail before a surface is made for it, compressed or not.
    for (uint8_t type : {2, 10, 3, 11}) {
        std::vector<uint8_t> bytes = TgaHeader(type, 4098, 4098, type & 1 ? 8 : 32);
        bytes.insert(bytes.end(), {0xFF, 0, 0});
        EXPECT_EQ(CreateTextureFromImage(bytes, D3DFMT_A8R8G8B8, 0), nullptr) << int{type};
    }
}

TEST(ImageLoader, PngChunksMustFitInTheFile) {
    const std::vector<uint32_t> pixels{0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    const std::vector<uint8_t> png = testing::EncodePng(pixels, 2, 2);
    ASSERT_TRUE(CreateTextureFromImage(png, D3DFMT_A8R8G8B8, 0));
    // Truncated inside its last chunk.
    EXPECT_EQ(CreateTextureFromImage(std::vector<uint8_t>(png.begin(), png.end() - 1), D3DFMT_A8R8G8B8, 0),
              nullptr);
    // An ancillary chunk before IEND whose length runs far past the end of the file: refused at once
    // (the decoder would checksum gigabytes that are not there).
    std::vector<uint8_t> lying = png;
    const std::vector<uint8_t> chunk{0x70, 0x00, 0x00, 0x00, 't', 'E', 'X', 't', 0, 0, 0, 0};
    lying.insert(lying.end() - 12, chunk.begin(), chunk.end());
    EXPECT_EQ(CreateTextureFromImage(lying, D3DFMT_A8R8G8B8, 0), nullptr);
    // Bytes after IEND do not matter.
    std::vector<uint8_t> trailing = png;
    trailing.insert(trailing.end(), 5, 0xEE);
    EXPECT_TRUE(CreateTextureFromImage(trailing, D3DFMT_A8R8G8B8, 0));
}

TEST(ImageLoader, ImagesWiderThanTheLargestTextureFail) {
    const std::vector<uint32_t> wide(CTexture::kMaxSide + 1, 0xFF000000u);
    EXPECT_FALSE(
        CreateTextureFromImage(testing::EncodeBmp(wide, CTexture::kMaxSide + 1, 1), D3DFMT_A8R8G8B8, 0));
    EXPECT_FALSE(
        CreateTextureFromImage(testing::EncodePng(wide, 1, CTexture::kMaxSide + 1), D3DFMT_A8R8G8B8, 0));
}

TEST(ImageLoader, BrokenTruncatedAndEmptyDataFailCleanly) {
    const std::vector<uint32_t> pixels(64 * 64, 0xFF336699u);
    auto png = testing::EncodePng(pixels, 64, 64);
    for (size_t keep : {size_t{0}, size_t{8}, size_t{40}, png.size() / 2}) {
        const std::vector<uint8_t> truncated(png.begin(), png.begin() + static_cast<long>(keep));
        EXPECT_FALSE(CreateTextureFromImage(truncated, D3DFMT_A8R8G8B8, 0)) << keep;
    }
    std::vector<uint8_t> garbage(500);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_FALSE(CreateTextureFromImage(garbage, D3DFMT_A8R8G8B8, 0));
}

}  // namespace
}  // namespace zepa
