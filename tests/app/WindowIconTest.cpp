// The window's icon: the game's icon.png when it has a usable one, else the engine's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/EngineRunner.h"
#include "app/WindowIcon.h"
#include "platform/ImageIo.h"
#include "platform/Log.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

class CRecordingLog : public ILog {
  public:
    void Warning(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

TEST(WindowIcon, TheEngineIconIsAStarOnATile) {
    const DecodedImage icon = EngineIcon(64);
    ASSERT_EQ(icon.width, 64);
    ASSERT_EQ(icon.pixels.size(), 64u * 64u);
    EXPECT_EQ(icon.pixels[0], 0xFF1B2A4Au);             // corner: the tile
    EXPECT_EQ(icon.pixels[34 * 64 + 32], 0xFFF5D76Eu);  // centre: the star
    EXPECT_EQ(icon.pixels[6 * 64 + 32] >> 24, 0xFFu);   // opaque everywhere
}

TEST(WindowIcon, TheGamesOwnIconWinsAndABrokenOneFallsBackWithAWarning) {
    testing::InTempFolder inFolder;
    CRecordingLog log;
    EXPECT_EQ(ChooseWindowIcon(log).width, 64);  // none: the engine's
    EXPECT_TRUE(log.lines.empty());

    const std::vector<uint32_t> red(16 * 8, 0xFFFF0000u);
    ASSERT_TRUE(WritePng(kGameIconFile, red.data(), 16, 8, 16));
    const DecodedImage own = ChooseWindowIcon(log);
    EXPECT_EQ(own.width, 16);
    EXPECT_EQ(own.height, 8);
    EXPECT_EQ(own.pixels[0], 0xFFFF0000u);

    testing::WriteFileBytes(kGameIconFile, "not a picture");
    EXPECT_EQ(ChooseWindowIcon(log).width, 64);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("icon.png"), std::string::npos);
}

TEST(WindowIcon, ARunGivesTheWindowTheGamesIcon) {
    testing::InTempFolder inFolder;
    testing::WriteFileBytes("Script/Initialize.txt", "");
    testing::WriteFileBytes("Script/Script.txt", "WaitOK\n");
    const std::vector<uint32_t> green(32 * 32, 0xFF00FF00u);
    ASSERT_TRUE(WritePng(kGameIconFile, green.data(), 32, 32, 32));
    CommandLineOptions options;
    options.headless = true;
    options.frames = 2;
    PlatformBackend backend = CreateHeadlessBackend();
    auto* window = static_cast<CHeadlessWindow*>(backend.window.get());
    ASSERT_EQ(RunEngineOn(options, backend), 0);
    EXPECT_EQ(window->iconWidth(), 32);
    ASSERT_EQ(window->icon().size(), 32u * 32u);
    EXPECT_EQ(window->icon()[0], 0xFF00FF00u);
}

}  // namespace
}  // namespace zepa
