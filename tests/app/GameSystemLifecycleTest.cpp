// The game object's life: its services published while it runs and cleared when it goes (so that
// many game objects can live one after another in one process), the settings re-applied after
// the options scene, and the stage and variables surviving scene switches.
#include <gtest/gtest.h>

#include "app/SceneFactory.h"
#include "app/SceneRequest.h"
#include "resources/PackArchive.h"
#include "scenes/SaveResume.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"
#include "support/GameHarness.h"
#include "windows/MessageTyping.h"
#include "windows/WindowBase.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;

void WriteGame(const TempFolder& folder) {
    test::WriteSolidPng(folder / "Graphics/BG/Title.png", 640, 480, 0xFF336699u);
    test::WriteSolidPng(folder / "Graphics/System/WindowBase.png", 64, 64, 0xFF808080u);
    test::WriteScriptFile(folder.path(), "Initialize.txt", "Calc($num[1] += 1)\n");
    test::WriteScriptFile(folder.path(), "Script.txt",
                          "MessageWindow.Open(0)\nMessageWindow.PrintText(0, \"テスト\")\nWaitOK\n");
}

TEST(GameSystemLifecycle, ServicesArePublishedWhileTheGameRunsAndClearedAfterIt) {
    TempFolder folder;
    WriteGame(folder);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        {
            GameHarness harness(folder.path());
            ASSERT_TRUE(harness.initialized());
            CGameSystem& game = harness.game();
            EXPECT_EQ(GameSystem(), &game);
            EXPECT_EQ(Stage(), &game.stage());
            EXPECT_EQ(TextureStore(), &game.textureStore());
            EXPECT_EQ(Archive(), &game.archive());
            EXPECT_EQ(PublishedVariables(), &game.variables());
            EXPECT_EQ(CWindowBase::Buttons(), &game.buttons());
            harness.Frames(3);
            EXPECT_EQ(game.currentSceneName(), "Title");
            StartNewGame(game.variables(), 0);
            harness.Frames(5);
            ASSERT_EQ(game.currentSceneName(), "Main");
            EXPECT_EQ(game.variables().GetInt(1), 1);  // a fresh store each round
            EXPECT_NE(game.textureStore().GetTexture("Graphics/BG/Title.png"), nullptr);
        }
        EXPECT_EQ(GameSystem(), nullptr);
        EXPECT_EQ(Stage(), nullptr);
        EXPECT_EQ(TextureStore(), nullptr);
        EXPECT_EQ(Archive(), nullptr);
        EXPECT_EQ(PublishedVariables(), nullptr);
        EXPECT_EQ(CWindowBase::Buttons(), nullptr);
        EXPECT_EQ(MessageSpeed(), kDefaultMessageSpeed);
    }
}

// Stands in for the options scene: changes the settings the way the player would, then leaves.
class SettingsEditingScene : public CSceneBase {
  public:
    explicit SettingsEditingScene(bool change) : change_(change) {}
    bool Init() override { return true; }
    void Update() override {
        if (change_) {
            GameSystem()->settings().bgmVolume = 40;
            GameSystem()->settings().messageSpeed = 5;
        }
        RequestSceneChange("Title");
    }
    void Draw(CSpriteBatch&) override {}
    void Exit() override {}

  private:
    bool change_;
};

class SettingsAfterOptionsTest : public ::testing::Test {
  protected:
    SettingsAfterOptionsTest() : harness_((WriteGame(folder_), folder_.path())) {
        harness_.game().SetSceneCreator([this](const std::string& name) -> std::unique_ptr<CSceneBase> {
            if (name == "Option") return std::make_unique<SettingsEditingScene>(changeSettings_);
            return CreateScene(name);
        });
        harness_.Frames(2);
    }
    const CAudioChannels& audio() { return harness_.game().stage().audio; }

    TempFolder folder_;
    GameHarness harness_;
    bool changeSettings_ = true;
};

TEST_F(SettingsAfterOptionsTest, LeavingTheOptionsSceneAppliesTheNewVolumeAndMessageSpeed) {
    EXPECT_EQ(audio().bgmVolume(), 100);
    RequestSceneChange("Option");
    harness_.Frames(1);  // the options scene changes the settings and asks for the title
    EXPECT_EQ(harness_.game().settings().bgmVolume, 40);
    EXPECT_EQ(audio().bgmVolume(), 100);
    EXPECT_EQ(MessageSpeed(), 2);
    harness_.Frames(1);
    EXPECT_EQ(harness_.game().currentSceneName(), "Title");
    EXPECT_EQ(audio().bgmVolume(), 40);
    EXPECT_EQ(MessageSpeed(), 5);
}

TEST_F(SettingsAfterOptionsTest, OnlyASwitchAfterTheOptionsSceneAppliesTheSettings) {
    changeSettings_ = false;
    harness_.game().settings().bgmVolume = 70;
    harness_.game().settings().messageSpeed = 4;
    StartNewGame(harness_.game().variables(), 0);
    harness_.Frames(1);
    RequestSceneChange("Title");
    harness_.Frames(1);
    EXPECT_EQ(audio().bgmVolume(), 100);  // no options scene in between: nothing re-applied
    EXPECT_EQ(MessageSpeed(), 2);
    RequestSceneChange("Option");
    harness_.Frames(2);  // into the options scene, which changes nothing, and out again
    EXPECT_EQ(audio().bgmVolume(), 70);
    EXPECT_EQ(MessageSpeed(), 4);
}

TEST_F(SettingsAfterOptionsTest, TheBackgroundAndTheVariablesSurviveSceneSwitches) {
    CGameSystem& game = harness_.game();
    ASSERT_EQ(game.stage().background.name(), "Graphics/BG/Title.png");
    StartNewGame(game.variables(), 2);
    harness_.Frames(1);
    ASSERT_EQ(game.currentSceneName(), "Main");
    EXPECT_EQ(game.stage().background.name(), "Graphics/BG/Title.png");  // the script shows none
    game.variables().SetInt(9, 123);
    RequestSceneChange("Option");
    harness_.Frames(2);
    EXPECT_EQ(game.currentSceneName(), "Title");
    EXPECT_EQ(game.stage().background.name(), "Graphics/BG/Title.png");
    EXPECT_EQ(game.variables().GetInt(9), 123);
    EXPECT_EQ(game.variables().GetInt(1), 1);
}

}  // namespace
}  // namespace zepa
