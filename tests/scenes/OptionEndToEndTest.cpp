// The engine run headless with replayed keys: in the options scene the player sets the message
// speed to 3 and the BGM volume to 0 and leaves; "option.ini" then holds the new values and the
// engine uses them, and not before the scene was left.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>

#include "platform/Cp932.h"
#include "support/EngineProcess.h"

namespace zepa {
namespace {

nlohmann::json ReadJson(const std::string& path) {
    return nlohmann::json::parse(test::ReadFileBytes(path));
}

// The keys of the options scene's visit, from frame `start` on (the frame after the switch).
std::string OptionVisit(int start) {
    std::ostringstream replay;
    const struct {
        int frame;
        const char* key;
    } presses[] = {
        {19, "Return"},                                  // MESSAGE SPEED: the speed picker opens
        {39, "Right"},  {41, "Right"},  {43, "Return"},  // "   ３"
        {49, "Down"},   {51, "Return"},                  // BGM VOLUME: the BGM picker opens
        {69, "Left"},   {71, "Return"},                  // "0"
        {83, "Up"},     {85, "Return"},                  // FINISH
    };
    for (const auto& press : presses) replay << start + press.frame << " press " << press.key << "\n";
    return replay.str();
}

void ExpectNewValuesInEffect(const test::TempDir& dir, const std::string& during, const std::string& after) {
    const nlohmann::json inScene = ReadJson(during);
    EXPECT_EQ(inScene["scene"], "Option");
    EXPECT_EQ(inScene["settings"]["MESSAGE_SPEED"], 3);
    EXPECT_EQ(inScene["settings"]["BGM_VOLUME"], 0);
    EXPECT_EQ(inScene["optionScene"]["descriptions"][0], "メッセージの表示速度設定・現在値＝3");
    EXPECT_EQ(inScene["optionScene"]["descriptions"][1], "BGMの音量設定・現在値＝0");
    EXPECT_EQ(inScene["optionScene"]["menu"]["cursor"], 0);
    // Not taken in while the scene runs.
    EXPECT_EQ(inScene["messageSpeed"], 2);
    EXPECT_EQ(inScene["audio"]["volumes"]["bgm"], 100.0);

    const nlohmann::json left = ReadJson(after);
    EXPECT_EQ(left["scene"], "Title");
    EXPECT_EQ(left["messageSpeed"], 3);
    EXPECT_EQ(left["audio"]["volumes"]["bgm"], 0.0);
    EXPECT_EQ(left["audio"]["volumes"]["bgs"], 100.0);
    EXPECT_EQ(test::ReadFileBytes(dir / "option.ini"),
              "MESSAGE_SPEED=3\r\nBGM_VOLUME=0\r\nBGS_VOLUME=100\r\nSE_VOLUME=100\r\nBUTTON_OK=1\r\n"
              "BUTTON_CANCEL=2\r\nBUTTON_START=3\r\nBUTTON_SELECT=4\r\nBUTTON_X=5\r\nBUTTON_Y=6\r\n"
              "BUTTON_L=7\r\nBUTTON_R=8\r\n");
}

TEST(OptionEndToEnd, SpeedAndBgmVolumeChosenInTheSceneAreWrittenAndUsedAfterLeaving) {
    test::TempDir dir;
    dir.Write("keys.replay", OptionVisit(1));
    const auto result = test::RunZepa({"--headless", "--game", dir.path().string(), "--scene", "Option",
                                       "--input", dir / "keys.replay", "--frames", "100", "--dump",
                                       "80:" + (dir / "during.json"), "--dump-at-exit", dir / "after.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    ExpectNewValuesInEffect(dir, dir / "during.json", dir / "after.json");
}

// The same visit reached the player's way: the title menu's OPTION (item 2), and back to the title.
TEST(OptionEndToEnd, FromTheTitleIntoOptionAndBack) {
    test::TempDir dir;
    // The title's menu takes input once it has opened; the switch to the options scene is at 25.
    dir.Write("keys.replay", "20 press Down\n22 press Down\n24 press Return\n" + OptionVisit(25));
    const auto result =
        test::RunZepa({"--headless", "--game", dir.path().string(), "--input", dir / "keys.replay",
                       "--frames", "124", "--dump", "24:" + (dir / "title.json"), "--dump",
                       "104:" + (dir / "during.json"), "--dump-at-exit", dir / "after.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadJson(dir / "title.json")["scene"], "Title");
    ExpectNewValuesInEffect(dir, dir / "during.json", dir / "after.json");
}

// Requested by name only; OK leads on to the options scene.
TEST(OptionEndToEnd, KeyConfigSceneSlidesItsLabelsInAndOkLeadsToTheOptions) {
    test::TempDir dir;
    dir.Write("keys.replay", "9 press Return\n");
    const auto result = test::RunZepa({"--headless", "--game", dir.path().string(), "--scene", "KeyConfig",
                                       "--input", dir / "keys.replay", "--frames", "12", "--dump",
                                       "7:" + (dir / "seven.json"), "--dump-at-exit", dir / "after.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const nlohmann::json seven = ReadJson(dir / "seven.json");
    EXPECT_EQ(seven["scene"], "KeyConfig");
    EXPECT_EQ(seven["pictures"]["textPictures"].size(), 8u);
    EXPECT_EQ(seven["pictures"]["sprites"]["1"]["x"], 21.0);
    EXPECT_NEAR(seven["pictures"]["sprites"]["0"]["x"].get<double>(), 9.0 + 1.0 / 3.0, 1e-4);
    EXPECT_EQ(ReadJson(dir / "after.json")["scene"], "Option");
}

}  // namespace
}  // namespace zepa
