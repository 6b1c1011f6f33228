// The main scene in-process: the quick save during a wait for OK (right click on the icon with
// the mouse, else the Y button), the icon it draws, and choices inside the initialization script.
#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/SceneRequests.h"
#include "platform/FileSystem.h"
#include "scenes/SaveResume.h"
#include "scenes/SceneMain.h"
#include "script/SaveFile.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;

constexpr uint32_t kIconColour = 0xFFFF0000u;
constexpr uint32_t kBlack = 0xFF000000u;

class SceneMainQuickSaveTest : public ::testing::Test {
  protected:
    SceneMainQuickSaveTest() {
        test::WriteSolidPng(folder_ / "Graphics/System/QuickSave.png", 64, 16, kIconColour);
        test::WriteScriptFile(folder_.path(), "Initialize.txt", "");
        test::WriteScriptFile(folder_.path(), "Script.txt",
                              "Calc($num[1] = 1)\nSavePoint(\"A\")\nCalc($num[1] = 2)\nWaitOK\n"
                              "Calc($num[1] = 3)\nWaitOK\n");
    }
    // A new game on slot 3, run up to its first wait for OK.
    GameHarness& StartGame() {
        harness_ = std::make_unique<GameHarness>(folder_.path());
        StartNewGame(harness_->game().variables(), 3, harness_->game().sceneRequests());
        harness_->Frames(1);
        EXPECT_EQ(harness_->game().currentSceneName(), "Main");
        EXPECT_TRUE(Main().runner().waitForOk);
        return *harness_;
    }
    CSceneMain& Main() { return *dynamic_cast<CSceneMain*>(harness_->game().currentScene()); }
    bool Saved() const { return IsRegularFile(folder_ / "Save/Save3.dat"); }
    uint32_t IconPixel() { return harness_->game().spriteBatch().BackBuffer().At(600, 8); }

    TempFolder folder_;
    std::unique_ptr<GameHarness> harness_;
};

TEST_F(SceneMainQuickSaveTest, TheYButtonWritesTheLastSavePointAndTheWaitGoesOn) {
    StartGame();
    harness_->Press('S');
    ASSERT_TRUE(Saved());
    EXPECT_TRUE(Main().runner().waitForOk);
    const auto saved = DecodeSaveFile(testing::ReadFileBytes(folder_ / "Save/Save3.dat"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->record.savePointName, "A");
    EXPECT_EQ(saved->ints[1], 1);  // the snapshot, not the live value 2
    // Once per press: holding S does not write again.
    RemoveFile(folder_ / "Save/Save3.dat");
    harness_->KeyDown('S');
    harness_->Frames(1);
    ASSERT_TRUE(Saved());
    RemoveFile(folder_ / "Save/Save3.dat");
    harness_->Frames(3);
    EXPECT_FALSE(Saved());
}

TEST_F(SceneMainQuickSaveTest, NoQuickSaveWhileTheScriptIsNotWaitingForOk) {
    test::WriteScriptFile(folder_.path(), "Script.txt", "SavePoint(\"A\")\nWaitOK\nWait(100)\n");
    StartGame();
    harness_->Press('Z');
    harness_->Frames(1);
    ASSERT_FALSE(Main().runner().waitForOk);
    harness_->Press('S');
    harness_->MoveMouse(600, 8);
    harness_->Click(1);
    EXPECT_FALSE(Saved());
}

TEST_F(SceneMainQuickSaveTest, WithTheMouseOnlyARightClickOnTheIconSaves) {
    StartGame();
    harness_->MoveMouse(300, 8);
    harness_->Click(1);
    EXPECT_FALSE(Saved());
    harness_->MoveMouse(576, 17);  // just below the icon
    harness_->Click(1);
    EXPECT_FALSE(Saved());
    harness_->MoveMouse(576, 1);
    harness_->Click(1);
    EXPECT_TRUE(Saved());
    EXPECT_TRUE(Main().runner().waitForOk);  // a right click does not end the wait
}

TEST_F(SceneMainQuickSaveTest, TheIconShowsNearTheMouseLitOnItsAreaAndDimAround) {
    StartGame();
    harness_->Frames(1);
    EXPECT_EQ(IconPixel(), kBlack);  // the mouse has not moved: no pointer mode
    harness_->MoveMouse(600, 8);
    harness_->Frames(1);
    EXPECT_EQ(IconPixel(), kIconColour);
    harness_->MoveMouse(520, 60);
    harness_->Frames(1);
    const uint32_t dim = IconPixel();
    EXPECT_NE(dim, kIconColour);
    EXPECT_GT((dim >> 16) & 0xFF, 0x70u);  // 0x88 alpha over black
    EXPECT_LT((dim >> 16) & 0xFF, 0x98u);
    harness_->MoveMouse(500, 60);
    harness_->Frames(1);
    EXPECT_EQ(IconPixel(), kBlack);
    harness_->MoveMouse(600, 8);
    harness_->Press('Z');  // the wait ends; the next WaitOK follows in a later frame
    harness_->Frames(1);
    harness_->Press(vk::kDown);  // keys leave pointer mode: no icon
    EXPECT_TRUE(Main().runner().waitForOk);
    EXPECT_EQ(IconPixel(), kBlack);
}

// The initialization script runs before any input is read: its waits are passed over, and a
// choice opened in it stays open, to be answered before the game's script goes on.
TEST_F(SceneMainQuickSaveTest, WaitsAndChoicesInTheInitializationScriptDoNotHang) {
    test::WriteScriptFile(folder_.path(), "Initialize.txt",
                          "Calc($num[1] = 1)\nWaitOK\nWait(1000)\n"
                          "SelectWindow.Open(0, 120, 300, 400, 120)\n"
                          "SelectWindow.ContentsNum(0, 2)\n"
                          "SelectWindow.SetContents(0, 0, \"はい\")\n"
                          "SelectWindow.SetContents(0, 1, \"いいえ\")\n"
                          "SelectWindow.Select(0, true, 40)\n"
                          "Calc($num[2] = 2)\n");
    test::WriteScriptFile(folder_.path(), "Script.txt", "Calc($num[3] = $num[40] + 10)\nWaitOK\n");
    harness_ = std::make_unique<GameHarness>(folder_.path());
    harness_->game().sceneRequests().Request("Main");
    harness_->Frames(1);
    const CVariableStore& variables = harness_->game().variables();
    EXPECT_EQ(variables.GetInt(1), 1);
    EXPECT_EQ(variables.GetInt(2), 2);  // the whole file ran
    EXPECT_EQ(variables.GetInt(3), 0);  // the game's script waits for the choice
    ASSERT_TRUE(Main().windows().selection(0).active());
    EXPECT_EQ(Main().runner().reader().Innermost().fileName(), "Script/Script.txt");
    harness_->Frames(CWindowBase::kOpeningFrames + 2);
    harness_->Press(vk::kDown);
    harness_->Press('Z');
    harness_->Frames(1);
    EXPECT_EQ(variables.GetInt(40), 1);
    EXPECT_EQ(variables.GetInt(3), 11);
}

}  // namespace
}  // namespace zepa
