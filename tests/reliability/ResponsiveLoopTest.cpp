// A script that loops over expensive statements forever, without a wait, still lets every frame
// end: the player's keys are handled and F12 takes the game back to the title.
#include <gtest/gtest.h>

#include "platform/VirtualKeys.h"
#include "scenes/SaveResume.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

TEST(ResponsiveLoop, F12LeavesAGameThatLoadsPicturesForeverWithoutAWait) {
    testing::TempFolder folder;
    test::WriteSolidPng(folder.path() + "/Graphics/Picture/big.png", 1024, 1024, 0xFF336699u);
    test::WriteSolidPng(folder.path() + "/Graphics/BG/big.png", 1024, 1024, 0xFF996633u);
    test::WriteScriptFile(folder.path(), "Initialize.txt", "");
    test::WriteScriptFile(folder.path(), "Script.txt",
                          "*loop\n"
                          "Picture.Load(1, \"big.png\")\nPicture.Release(1)\n"
                          "Background.Set(\"big.png\", \"\", 0)\nBackground.Set(\"\", \"\", 0)\n"
                          "TextPicture.Create(2, 1024, 1024, \"text\")\nTextPicture.Release(2)\n"
                          "Calc($num[1] += 1)\nJump(loop)\n");
    test::GameHarness harness(folder.path());
    ASSERT_TRUE(harness.initialized());
    CGameSystem& game = harness.game();
    StartNewGame(game.variables(), 0, game.sceneRequests());
    harness.Frames(4);
    ASSERT_EQ(game.currentSceneName(), "Main");
    const int turns = game.variables().GetInt(1);
    EXPECT_GT(turns, 0);
    harness.Frames(2);
    EXPECT_GT(game.variables().GetInt(1), turns) << "the loop goes on from frame to frame";
    harness.Press(vk::kF12);
    harness.Frames(1);
    EXPECT_EQ(game.currentSceneName(), "Title");
}

}  // namespace
}  // namespace zepa
