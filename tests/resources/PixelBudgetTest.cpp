// The pixel budget that pictures and text pictures share: past it a new one fails as a missing
// file does, with one warning, and what is released can be had again.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/PixelBudget.h"
#include "platform/GlyphSource.h"
#include "platform/ImageIo.h"
#include "platform/Log.h"
#include "resources/TextureStore.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"
#include "text/TextCanvasStore.h"

namespace zepa {
namespace {

class CCountingLog final : public ILog {
  public:
    void Warning(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

void WriteImage(const std::string& path, int side) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::vector<uint32_t> pixels(static_cast<size_t>(side) * side, 0xFF102030u);
    ASSERT_TRUE(WritePng(path, pixels.data(), side, side, side));
}

TEST(PixelBudget, ImagesPastTheBudgetFailWithOneWarningEachAndReleasedPixelsReturn) {
    testing::InTempFolder game;
    WriteImage("Graphics/Picture/a.png", 64);
    WriteImage("Graphics/Picture/b.png", 64);
    CCountingLog log;
    CPixelBudget budget(log, 64 * 64 + 100);
    CTextureStore store(nullptr, testing::TestLog(), nullptr, &budget);
    ASSERT_TRUE(store.LoadTextureFile("Graphics/Picture/a.png"));
    EXPECT_EQ(budget.used(), 64u * 64u);
    EXPECT_FALSE(store.LoadTextureFile("Graphics/Picture/b.png"));
    EXPECT_EQ(store.GetTexture("Graphics/Picture/b.png"), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("b.png"), std::string::npos) << log.lines[0];
    EXPECT_TRUE(store.ReleaseTexture("Graphics/Picture/a.png"));
    EXPECT_EQ(budget.used(), 0u);
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Picture/b.png"));
    store.ReleaseAllTextures();
    EXPECT_EQ(budget.used(), 0u);
}

TEST(PixelBudget, TextCanvasesShareTheBudget) {
    CCountingLog log;
    CPixelBudget budget(log, 3 * 256 * 256);
    {
        CTextCanvasStore canvases(testing::SharedGlyphs(), &budget);
        EXPECT_TRUE(canvases.CreateCanvas(1, 256, 256));
        EXPECT_TRUE(canvases.CreateCanvas(2, 256, 256));
        EXPECT_TRUE(canvases.CreateCanvas(3, 256, 256));
        EXPECT_FALSE(canvases.CreateCanvas(4, 256, 256));
        EXPECT_EQ(canvases.GetCanvasTexture(4), nullptr);
        EXPECT_EQ(log.lines.size(), 1u);
        canvases.ReleaseCanvas(2);
        EXPECT_TRUE(canvases.CreateCanvas(4, 256, 256));
    }
    EXPECT_EQ(budget.used(), 0u);  // the store gave everything back when it went
}

}  // namespace
}  // namespace zepa
