// Released images come back without a read or a decode while their file is unchanged, and the
// textures kept aside stay within their pixel bound.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/WorkMeter.h"
#include "platform/ImageIo.h"
#include "resources/ReleasedTextures.h"
#include "resources/TextureStore.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

void WriteImage(const std::string& path, int side, uint32_t colour) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::vector<uint32_t> pixels(static_cast<size_t>(side) * side, colour);
    ASSERT_TRUE(WritePng(path, pixels.data(), side, side, side));
}

TEST(ReleasedTextures, AnUnchangedFileLoadedAgainIsNeitherReadNorDecoded) {
    testing::InTempFolder game;
    const std::string name = "Graphics/Picture/a.png";
    WriteImage(name, 32, 0xFF112233u);
    CWorkMeter meter;
    CTextureStore store(nullptr, testing::TestLog(), &meter);
    ASSERT_TRUE(store.LoadTextureFile(name));
    const uint64_t firstLoad = meter.units();
    EXPECT_GT(firstLoad, 32u * 32u);
    ASSERT_TRUE(store.ReleaseTexture(name));
    EXPECT_EQ(store.GetTexture(name), nullptr);
    ASSERT_TRUE(store.LoadTextureFile(name));
    EXPECT_EQ(meter.units(), firstLoad);
    EXPECT_EQ(store.GetTexture(name)->TexelAt(3, 3), 0xFF112233u);

    // A changed file is read and decoded again.
    store.ReleaseTexture(name);
    WriteImage(name, 64, 0xFF445566u);
    ASSERT_TRUE(store.LoadTextureFile(name));
    EXPECT_GT(meter.units(), firstLoad);
    EXPECT_EQ(store.GetTexture(name)->width(), 64);
    EXPECT_EQ(store.GetTexture(name)->TexelAt(3, 3), 0xFF445566u);
}

TEST(ReleasedTextures, TheOldestGoWhenThePixelBoundIsPassed) {
    CReleasedTextures released;
    const auto key = [](const char* name) { return ImageKey{name, 0, 0, std::nullopt}; };
    released.Keep(key("a"), CTexture::CreateBlank(4096, 2048));
    released.Keep(key("b"), CTexture::CreateBlank(4096, 2048));
    EXPECT_EQ(released.pixels(), CReleasedTextures::kMaxPixels);
    released.Keep(key("c"), CTexture::CreateBlank(64, 64));
    EXPECT_LE(released.pixels(), CReleasedTextures::kMaxPixels);
    EXPECT_EQ(released.Take(key("a")), nullptr);
    EXPECT_NE(released.Take(key("c")), nullptr);
    EXPECT_NE(released.Take(key("b")), nullptr);
    EXPECT_EQ(released.Take(key("b")), nullptr);  // taken once
    EXPECT_EQ(released.pixels(), 0u);
}

}  // namespace
}  // namespace zepa
