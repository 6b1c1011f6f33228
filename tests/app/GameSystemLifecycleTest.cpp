// The game object's life: the services it hands its scenes are its own, and nothing of one game
// reaches the next (so that many game objects can live one after another in one process), the
// settings re-applied after the options scene, and the stage and variables surviving scene
// switches.
#include <gtest/gtest.h>

#include "core/SceneRequests.h"
#include "resources/PackArchive.h"
#include "scenes/SaveResume.h"
#include "scenes/SceneFactory.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"
#include "support/GameHarness.h"
#include "windows/MessageTyping.h"

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

TEST(GameSystemLifecycle, EachGameHandsOutItsOwnServicesAndLeavesNothingBehind) {
    TempFolder folder;
    WriteGame(folder);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        GameHarness harness(folder.path());
        ASSERT_TRUE(harness.initialized());
        CGameSystem& game = harness.game();
        // What the scenes are handed is the game's own services.
        const SceneServices& services = game.services();
        EXPECT_EQ(&services.settings, &game.settings());
        EXPECT_EQ(&services.stage, &game.stage());
        EXPECT_EQ(&services.textures, &game.textureStore());
        EXPECT_EQ(&services.glyphs, &game.glyphs());
        EXPECT_EQ(&services.windows, &game.windowEnvironment());
        EXPECT_EQ(&services.sceneRequests, &game.sceneRequests());
        EXPECT_EQ(&services.script.variables, &game.variables());
        EXPECT_EQ(&services.script.random, &game.random());
        EXPECT_EQ(&services.script.buttons, &game.buttons());
        EXPECT_EQ(services.script.archive, &game.archive());
        EXPECT_EQ(services.script.stage, &game.stage());
        EXPECT_EQ(&services.script.messageBoxes, &game.messageBoxes());
        EXPECT_EQ(&services.script.log, &game.log());
        EXPECT_EQ(game.windowEnvironment().textures, &game.textureStore());
        EXPECT_EQ(&game.windowEnvironment().glyphs, &game.glyphs());
        EXPECT_EQ(game.windowEnvironment().audio, &game.stage().audio);
        // Nothing the game before changed reaches this one.
        EXPECT_EQ(game.windowEnvironment().messageSpeed, kDefaultMessageSpeed);
        EXPECT_EQ(game.windowTitle(), "ZEPA Engine");
        EXPECT_TRUE(game.messageBoxes().shown().empty());
        EXPECT_TRUE(game.sceneRequests().pending());
        EXPECT_EQ(game.sceneRequests().name(), "Title");
        harness.Frames(3);
        EXPECT_EQ(game.currentSceneName(), "Title");
        StartNewGame(game.variables(), 0, game.sceneRequests());
        harness.Frames(5);
        ASSERT_EQ(game.currentSceneName(), "Main");
        EXPECT_EQ(game.variables().GetInt(1), 1);  // a fresh store each round
        EXPECT_NE(game.textureStore().GetTexture("Graphics/BG/Title.png"), nullptr);
        // Changes the next game must not see.
        game.settings().messageSpeed = 5;
        game.ApplySettings();
        EXPECT_EQ(game.windowEnvironment().messageSpeed, 5);
        game.SetWindowTitle("changed");
        game.messageBoxes().Show("left behind", "test");
        game.sceneRequests().Request("Option");
    }
}

// Stands in for the options scene: changes the settings the way the player would, then leaves.
class SettingsEditingScene : public CSceneBase {
  public:
    SettingsEditingScene(bool change, const SceneServices& services)
        : change_(change), settings_(services.settings), sceneRequests_(services.sceneRequests) {}
    bool Init() override { return true; }
    void Update(const ButtonState&) override {
        if (change_) {
            settings_.bgmVolume = 40;
            settings_.messageSpeed = 5;
        }
        sceneRequests_.Request("Title");
    }
    void Draw(CSpriteBatch&) override {}
    void Exit() override {}

  private:
    bool change_;
    SettingsRecord& settings_;
    CSceneRequests& sceneRequests_;
};

class SettingsAfterOptionsTest : public ::testing::Test {
  protected:
    SettingsAfterOptionsTest() : harness_((WriteGame(folder_), folder_.path())) {
        harness_.game().SetSceneCreator(
            [this](const std::string& name, const SceneServices& services) -> std::unique_ptr<CSceneBase> {
                if (name == "Option")
                    return std::make_unique<SettingsEditingScene>(changeSettings_, services);
                return CreateScene(name, services);
            });
        harness_.Frames(2);
    }
    const CAudioChannels& audio() { return harness_.game().stage().audio; }
    int messageSpeed() { return harness_.game().windowEnvironment().messageSpeed; }
    void RequestSceneChange(const std::string& name) { harness_.game().sceneRequests().Request(name); }

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
    EXPECT_EQ(messageSpeed(), 2);
    harness_.Frames(1);
    EXPECT_EQ(harness_.game().currentSceneName(), "Title");
    EXPECT_EQ(audio().bgmVolume(), 40);
    EXPECT_EQ(messageSpeed(), 5);
}

TEST_F(SettingsAfterOptionsTest, OnlyASwitchAfterTheOptionsSceneAppliesTheSettings) {
    changeSettings_ = false;
    harness_.game().settings().bgmVolume = 70;
    harness_.game().settings().messageSpeed = 4;
    StartNewGame(harness_.game().variables(), 0, harness_.game().sceneRequests());
    harness_.Frames(1);
    RequestSceneChange("Title");
    harness_.Frames(1);
    EXPECT_EQ(audio().bgmVolume(), 100);  // no options scene in between: nothing re-applied
    EXPECT_EQ(messageSpeed(), 2);
    RequestSceneChange("Option");
    harness_.Frames(2);  // into the options scene, which changes nothing, and out again
    EXPECT_EQ(audio().bgmVolume(), 70);
    EXPECT_EQ(messageSpeed(), 4);
}

TEST_F(SettingsAfterOptionsTest, TheBackgroundAndTheVariablesSurviveSceneSwitches) {
    CGameSystem& game = harness_.game();
    ASSERT_EQ(game.stage().background.name(), "Graphics/BG/Title.png");
    StartNewGame(game.variables(), 2, game.sceneRequests());
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
