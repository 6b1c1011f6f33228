// The author's loop: a reload picks up a changed picture and a changed script line and restarts at
// the latest save point with the variables it had there; --warp lands on its label (or refuses a
// missing one before any window); the overlay and the dump tell the file and line; a message box
// names the statement that raised it.
#include <gtest/gtest.h>

#include "app/DebugOverlay.h"
#include "app/Warp.h"
#include "scenes/SaveResume.h"
#include "support/EngineProcess.h"
#include "support/GameHarness.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;

class AuthorLoopTest : public ::testing::Test {
  protected:
    AuthorLoopTest() {
        test::WriteSolidPng(folder_ / "Graphics/BG/room.png", 8, 8, 0xFF0000FFu);
        test::WriteScriptFile(folder_.path(), "Initialize.txt", "");
        WriteStory("one");
    }

    void WriteStory(const std::string& title) {
        test::WriteScriptFile(folder_.path(), "Script.txt",
                              "Calc($num[1] = 5)\n"
                              "Background.Set(\"room.png\", \"cut\", 0)\n"
                              "SavePoint(\"room\")\n"
                              "Calc($num[2] = $num[1] + 1)\n"
                              "Calc($num[1] = 7)\n"
                              "SetTitle(\"" +
                                  title +
                                  "\")\n"
                                  "WaitOK\n"
                                  "*later\n"
                                  "Calc($flag[3] = true)\n"
                                  "Unknown.Statement\n"
                                  "WaitOK\n"
                                  "EndScript\n");
    }

    CGameSystem& StartGame() {
        harness_ = std::make_unique<GameHarness>(folder_.path());
        EXPECT_TRUE(harness_->initialized());
        StartNewGame(harness_->game().variables(), 0, harness_->game().sceneRequests());
        harness_->Frames(2);
        return harness_->game();
    }

    uint32_t RoomTexel() {
        const CTexture* room = harness_->game().textureStore().GetTexture("Graphics/BG/room.png");
        return room ? room->TexelAt(0, 0) : 0;
    }

    TempFolder folder_;
    std::unique_ptr<GameHarness> harness_;
};

TEST_F(AuthorLoopTest, ReloadRestartsAtTheSavePointWithItsVariablesAndTheChangedFiles) {
    CGameSystem& game = StartGame();
    ASSERT_EQ(game.windowTitle(), "one");
    EXPECT_EQ(game.variables().GetInt(2), 6);
    EXPECT_EQ(RoomTexel() & 0xFFFFFFu, 0x0000FFu);

    test::WriteSolidPng(folder_ / "Graphics/BG/room.png", 8, 8, 0xFFFF0000u);
    WriteStory("two");
    ASSERT_TRUE(game.ReloadGame());
    harness_->Frames(2);
    EXPECT_EQ(game.currentSceneName(), "Main");
    EXPECT_EQ(game.windowTitle(), "two");
    // $num[1] was 5 at the save point: what runs after it computes 6 again, not 8.
    EXPECT_EQ(game.variables().GetInt(2), 6);
    EXPECT_EQ(RoomTexel() & 0xFFFFFFu, 0xFF0000u);

    // Elsewhere than in the main scene a reload does nothing.
    game.sceneRequests().Request("Title");
    harness_->Frames(1);
    EXPECT_FALSE(game.ReloadGame());
}

TEST_F(AuthorLoopTest, WarpStartsAtItsLabelAndTheOverlayAndDumpTellWhere) {
    std::string error;
    EXPECT_FALSE(ParseWarp("Script.txt:", error));
    const std::optional<WarpTarget> warp = ParseWarp("Script.txt:*later", error);
    ASSERT_TRUE(warp);
    EXPECT_EQ(warp->label, "later");
    {
        testing::ScopedWorkingDirectory inFolder(folder_.path());
        EXPECT_TRUE(CheckWarpTarget(*warp, testing::TestLog(), error)) << error;
        EXPECT_FALSE(CheckWarpTarget(WarpTarget{"Script.txt", "nowhere"}, testing::TestLog(), error));
        EXPECT_EQ(error, "--warp: Script/Script.txt has no label *nowhere");
    }

    harness_ = std::make_unique<GameHarness>(folder_.path());
    CGameSystem& game = harness_->game();
    game.SetWarp(*warp);
    StartNewGame(game.variables(), 0, game.sceneRequests());
    ::testing::internal::CaptureStderr();
    harness_->Frames(2);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(game.variables().GetFlag(3));
    EXPECT_NE(game.windowTitle(), "one");  // the lines before the label did not run
    EXPECT_NE(log.find("zepa: message box from Script/Script.txt:10\n"), std::string::npos) << log;

    nlohmann::json state;
    game.currentScene()->DescribeState(state);
    ASSERT_EQ(state["position"].size(), 1u);
    EXPECT_EQ(state["position"][0]["file"], "Script/Script.txt");
    EXPECT_EQ(state["position"][0]["line"], 12);  // EndScript runs after the WaitOK
    const std::vector<std::string> lines = DescribeForOverlay(state, game.variables(), FrameTimes{});
    EXPECT_EQ(lines[0], "1: Script/Script.txt line 12");
    EXPECT_EQ(lines[1], "wait: for OK");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "$flag[3] = true"), lines.end());
}

TEST(WarpOption, AMissingScriptOrLabelEndsTheRunBeforeAnyFrame) {
    test::TempDir game;
    game.Write("Script/Script.txt", "WaitOK\r\n");
    const auto noLabel =
        test::RunZepa({"--headless", "--game", game.path().string(), "--warp", "Script.txt:x"});
    EXPECT_EQ(noLabel.exitCode, 2);
    EXPECT_NE(noLabel.output.find("has no label *x"), std::string::npos) << noLabel.output;
    const auto noFile = test::RunZepa({"--headless", "--game", game.path().string(), "--warp", "Other.txt"});
    EXPECT_EQ(noFile.exitCode, 2);
}

}  // namespace
}  // namespace zepa
