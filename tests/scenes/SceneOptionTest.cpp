// The options scene inside a running game object: the menu's descriptions, the four pickers, the
// cancel paths, the settings file written on leaving and the engine taking the values in only
// then; and a golden image of the scene with a picker open.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTestSupport.h"
#include "windows/MessageTyping.h"

namespace zepa {
namespace {

using test::kKeyCancel;
using test::kKeyDown;
using test::kKeyLeft;
using test::kKeyReturn;
using test::kKeyRight;
using test::kKeyUp;

// Starts the game, enters the options scene from the title and waits until its menu takes input.
CSceneOption& EnterOptions(test::SceneStage& stage) {
    stage.Frame();
    stage.SwitchTo("Option");
    auto* scene = dynamic_cast<CSceneOption*>(stage.game().currentScene());
    EXPECT_NE(scene, nullptr);
    stage.WaitForOpening(scene->mainMenu());
    return *scene;
}

// Moves the menu's cursor from item 0 down to `item`, decides, and waits for the picker to open.
const CWindowSelectable& OpenPicker(test::SceneStage& stage, CSceneOption& scene, int item) {
    for (int i = 0; i < item; ++i) stage.Press(kKeyDown);
    stage.Press(kKeyReturn);
    const CWindowSelectable& picker = scene.picker(item);
    stage.WaitForOpening(picker);
    return picker;
}

std::string ShownDescription(const CSceneOption& scene) {
    return const_cast<CWindowSelectable&>(scene.mainMenu()).descriptionWindow()->pendingText().text();
}

TEST(OptionScene, ChoosingSpeedThreeSetsTheSpeedAndRewritesItsDescription) {
    test::SceneStage stage;
    CSceneOption& scene = EnterOptions(stage);
    EXPECT_EQ(scene.mainMenu().cursor(), 0);
    EXPECT_EQ(scene.description(0), Cp932("メッセージの表示速度設定・現在値＝2"));
    EXPECT_EQ(ShownDescription(scene), scene.description(0));

    const CWindowSelectable& picker = OpenPicker(stage, scene, CSceneOption::kSpeedPicker);
    EXPECT_TRUE(picker.active());
    EXPECT_EQ(picker.cursor(), 0);  // not the current value
    EXPECT_EQ(picker.itemCount(), 5);
    EXPECT_EQ(picker.itemsPerPage(), 5);
    EXPECT_TRUE(scene.mainMenu().isOpen());  // the menu stays on screen without a selection
    EXPECT_FALSE(scene.mainMenu().active());

    stage.Press(kKeyRight);
    stage.Press(kKeyRight);
    EXPECT_EQ(picker.cursor(), 2);
    stage.Press(kKeyReturn);
    EXPECT_EQ(stage.game().settings().messageSpeed, 3);
    EXPECT_EQ(scene.description(0), Cp932("メッセージの表示速度設定・現在値＝3"));
    EXPECT_EQ(ShownDescription(scene), scene.description(0));
    EXPECT_FALSE(picker.isOpen());
    EXPECT_TRUE(scene.mainMenu().active());
    EXPECT_EQ(scene.mainMenu().cursor(), 0);
    EXPECT_EQ(stage.game().windowEnvironment().messageSpeed,
              2);  // the engine takes it in when the scene is left

    stage.Press(kKeyUp);  // wraps to FINISH
    stage.Press(kKeyReturn);
    EXPECT_EQ(stage.game().currentSceneName(), "Title");
    EXPECT_EQ(stage.game().windowEnvironment().messageSpeed, 3);
}

TEST(OptionScene, VolumePickersStoreTheirValueAndDescribeIt) {
    struct Case {
        int item;
        uint8_t key;  // pressed once in the picker before deciding
        int SettingsRecord::*member;
        int expected;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {CSceneOption::kBgmPicker, kKeyLeft, &SettingsRecord::bgmVolume, 0, "BGMの音量設定・現在値＝100",
         "BGMの音量設定・現在値＝0"},
        {CSceneOption::kBgsPicker, kKeyRight, &SettingsRecord::bgsVolume, 90, "BGSの音量設定・現在値＝100",
         "BGSの音量設定・現在値＝90"},
        // Down goes to the second row of six: item 6.
        {CSceneOption::kSePicker, kKeyDown, &SettingsRecord::seVolume, 40,
         "効果音（SE）の音量設定・現在値＝100", "SEの音量設定・現在値＝40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        test::SceneStage stage;
        CSceneOption& scene = EnterOptions(stage);
        EXPECT_EQ(scene.description(c.item), Cp932(c.before));
        const CWindowSelectable& picker = OpenPicker(stage, scene, c.item);
        EXPECT_EQ(picker.itemCount(), 11);
        EXPECT_EQ(picker.pages(), 1);
        stage.Press(c.key);
        stage.Press(kKeyReturn);
        EXPECT_EQ(stage.game().settings().*c.member, c.expected);
        EXPECT_EQ(scene.description(c.item), Cp932(c.after));
        EXPECT_EQ(scene.mainMenu().cursor(), 0);
        EXPECT_EQ(ShownDescription(scene), scene.description(0));
    }
}

TEST(OptionScene, BgmSetToZeroFallsSilentOnlyWhenTheSceneIsLeft) {
    test::SceneStage stage;
    ASSERT_TRUE(stage.game().stage().audio.PlayBGM("Music/bgm/theme.wav"));
    EXPECT_EQ(stage.MusicVolume("theme.wav"), kMaxClipVolume);
    CSceneOption& scene = EnterOptions(stage);
    OpenPicker(stage, scene, CSceneOption::kBgmPicker);
    stage.Press(kKeyLeft);  // "0"
    stage.Press(kKeyReturn);
    EXPECT_EQ(stage.game().settings().bgmVolume, 0);
    stage.Frames(10);
    EXPECT_EQ(stage.MusicVolume("theme.wav"), kMaxClipVolume);

    stage.Press(kKeyCancel);
    EXPECT_EQ(stage.game().currentSceneName(), "Title");
    EXPECT_EQ(stage.MusicVolume("theme.wav"), 0);
    EXPECT_EQ(stage.game().stage().audio.bgmName(), "Music/bgm/theme.wav");
}

TEST(OptionScene, CancelsChangeNothingAndTheMenuCancelLeavesWritingTheFile) {
    test::SceneStage stage;
    const SettingsRecord before = stage.game().settings();
    CSceneOption& scene = EnterOptions(stage);
    const CWindowSelectable& picker = OpenPicker(stage, scene, CSceneOption::kBgsPicker);
    stage.Press(kKeyRight);
    stage.Press(kKeyCancel);
    EXPECT_EQ(stage.game().settings(), before);
    EXPECT_FALSE(picker.isOpen());
    EXPECT_FALSE(picker.active());
    EXPECT_TRUE(scene.mainMenu().active());
    EXPECT_EQ(scene.mainMenu().cursor(), 0);  // back on "MESSAGE SPEED", not on "BGS VOLUME"
    EXPECT_EQ(scene.description(CSceneOption::kBgsPicker), Cp932("BGSの音量設定・現在値＝100"));
    // Menu moves, the decision, the picker's move and its cancel, with the title's sounds.
    EXPECT_EQ(stage.EffectsPlayed(),
              (std::vector<std::string>{"Music/se/mokin.wav", "Music/se/mokin.wav", "Music/se/cursor8.wav",
                                        "Music/se/mokin.wav", "Music/se/bahu.wav"}));

    // Leaving without a change still writes the file.
    std::filesystem::remove("option.ini");
    stage.Press(kKeyCancel);
    EXPECT_EQ(stage.game().currentSceneName(), "Title");
    EXPECT_EQ(stage.ReadSettingsFile(), FormatSettings(before));
}

TEST(OptionScene, OutOfRangeValuesShowUnchangedAndTheFileHoldsTheNewValuesAfterLeaving) {
    test::SceneStage stage(
        "MESSAGE_SPEED=7\nBGM_VOLUME=55\nBGS_VOLUME=100\nSE_VOLUME=-3\nBUTTON_OK=9\nBUTTON_CANCEL=2\n"
        "BUTTON_START=3\nBUTTON_SELECT=4\nBUTTON_X=5\nBUTTON_Y=6\nBUTTON_L=7\nBUTTON_R=35\n");
    CSceneOption& scene = EnterOptions(stage);
    EXPECT_EQ(scene.description(0), Cp932("メッセージの表示速度設定・現在値＝7"));
    EXPECT_EQ(scene.description(1), Cp932("BGMの音量設定・現在値＝55"));
    EXPECT_EQ(scene.description(3), Cp932("効果音（SE）の音量設定・現在値＝-3"));
    EXPECT_EQ(scene.description(4), Cp932("終了"));

    OpenPicker(stage, scene, CSceneOption::kSpeedPicker);
    stage.Press(kKeyLeft);  // "   ５"
    stage.Press(kKeyReturn);
    stage.Press(kKeyUp);
    stage.Press(kKeyReturn);  // FINISH
    EXPECT_EQ(stage.game().currentSceneName(), "Title");
    EXPECT_EQ(stage.ReadSettingsFile(),
              "MESSAGE_SPEED=5\r\nBGM_VOLUME=55\r\nBGS_VOLUME=100\r\nSE_VOLUME=-3\r\nBUTTON_OK=9\r\n"
              "BUTTON_CANCEL=2\r\nBUTTON_START=3\r\nBUTTON_SELECT=4\r\nBUTTON_X=5\r\nBUTTON_Y=6\r\n"
              "BUTTON_L=7\r\nBUTTON_R=35\r\n");
    EXPECT_EQ(stage.game().windowEnvironment().messageSpeed, 5);
    EXPECT_EQ(stage.game().stage().audio.bgmVolume(), 55.0f);
}

TEST(OptionScene, SecondExitDoesNotWriteAgain) {
    test::SceneStage stage;
    SettingsRecord& settings = stage.game().settings();
    const std::string path = "second-exit.ini";
    CSceneOption scene(stage.game().services(), path);
    ASSERT_TRUE(scene.Init());
    scene.Exit();
    EXPECT_EQ(testing::ReadFileBytes(path), FormatSettings(settings));
    settings.messageSpeed = 4;
    scene.Exit();  // the destructor's run must not overwrite the file with later edits
    EXPECT_EQ(testing::ReadFileBytes(path), FormatSettings(SettingsRecord{}));
}

// Tolerance 0: the menu over the background, its (emptied) description window and the BGM
// picker with its cursor on "50". Everything the scene draws lies in the top 240 rows.
TEST(OptionScene, GoldenImageWithTheBgmPickerOpen) {
    test::SceneStage stage;
    stage.Frame();
    stage.SwitchTo("Option");
    stage.game().stage().background.SetBackground(test::kTestBackground, "", 0);
    auto& scene = dynamic_cast<CSceneOption&>(*stage.game().currentScene());
    stage.WaitForOpening(scene.mainMenu());
    OpenPicker(stage, scene, CSceneOption::kBgmPicker);
    for (int i = 0; i < 5; ++i) stage.Press(kKeyRight);
    ASSERT_EQ(scene.picker(CSceneOption::kBgmPicker).cursor(), 5);
    stage.game().DrawFrame();
    EXPECT_EQ(test::CompareWithGolden(stage.game().spriteBatch(), "scene-option.pam", 0, 0, 640, 240), 0);
}

}  // namespace
}  // namespace zepa
