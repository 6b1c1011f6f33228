// A scratch game folder as the working directory with a texture store over it for the layers,
// small images written into it, and a sprite batch to draw the layers into.
#pragma once

#include <unistd.h>

#include <gtest/gtest.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "../gfx/ImageTestFiles.h"
#include "gfx/SpriteBatch.h"
#include "resources/TextureStore.h"
#include "support/TestServices.h"

namespace zepa::testing {

class StageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        folder_ =
            std::filesystem::temp_directory_path() /
            ("zepa-stage-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        store.ReleaseAllTextures();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    // Writes a PNG whose pixel (x, y) is pixel(x, y).
    static void WriteImage(const std::string& name, int width, int height,
                           const std::function<uint32_t(int, int)>& pixel) {
        std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) argb[static_cast<size_t>(y) * width + x] = pixel(x, y);
        const std::vector<uint8_t> png = EncodePng(argb, width, height);
        std::filesystem::create_directories(std::filesystem::path(name).parent_path());
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    static void WriteSolid(const std::string& name, int width, int height, uint32_t color) {
        WriteImage(name, width, height, [color](int, int) { return color; });
    }

    // Clears the back buffer to black and lets `draw` paint a frame.
    template <typename Layer>
    void DrawFrame(Layer& layer) {
        batch.BackBuffer().Clear(0xFF000000u);
        batch.Begin();
        layer.Draw(batch);
        batch.End();
    }
    uint32_t Pixel(int x, int y) const { return batch.BackBuffer().At(x, y) & 0x00FFFFFFu; }

    CTextureStore store{nullptr, TestLog()};
    CSpriteBatch batch;

  private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

}  // namespace zepa::testing
