// The reading aids end to end: the built engine plays a small game headless from a replay file,
// and its state dumps and screenshots show each aid at work.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/EngineProcess.h"

namespace zepa {
namespace {

using test::ReadFileBytes;
using test::RunZepa;
using test::TempDir;

class ReadingAidsReplay : public ::testing::Test {
  protected:
    // The game's main script (ASCII, line feeds) and an empty initialization script.
    void WriteGame(const std::string& script) {
        dir_.Write("game/Script/Initialize.txt", "");
        dir_.Write("game/Script/Script.txt", script);
    }
    // Plays the replay for `frames` frames with a dump and a shot after each frame.
    void Play(const std::string& replay, int frames) {
        dir_.Write("input.replay", replay);
        std::vector<std::string> args = {
            "--headless",           "--game",  dir_ / "game",        "--scene", "Main", "--frames",
            std::to_string(frames), "--input", dir_ / "input.replay"};
        for (int frame = 1; frame <= frames; ++frame) {
            args.push_back("--dump");
            args.push_back(std::to_string(frame) + ":" + (dir_ / ("d" + std::to_string(frame) + ".json")));
            args.push_back("--shot");
            args.push_back(std::to_string(frame) + ":" + (dir_ / ("s" + std::to_string(frame) + ".png")));
        }
        const auto result = RunZepa(args);
        ASSERT_EQ(result.exitCode, 0) << result.output;
    }
    nlohmann::json Dump(int frame) {
        return nlohmann::json::parse(ReadFileBytes(dir_ / ("d" + std::to_string(frame) + ".json")));
    }
    std::string Shot(int frame) { return ReadFileBytes(dir_ / ("s" + std::to_string(frame) + ".png")); }
    // The value of `key` in the dumps of these frames.
    std::vector<nlohmann::json> Field(const std::string& key, std::initializer_list<int> frames) {
        std::vector<nlohmann::json> values;
        for (int frame : frames) values.push_back(Dump(frame)[key]);
        return values;
    }

    TempDir dir_;
};

TEST_F(ReadingAidsReplay, TheHistoryOpensScrollsAndCloses) {
    WriteGame(
        "MessageWindow.Open(0, 0, 320, 640, 160)\n"
        "*loop\n"
        "Calc($num[1] ++)\n"
        "MessageWindow[0].PrintText(\"entry $num[1]\")\n"
        "if($num[1] < 20)\n"
        "Jump(loop)\n"
        "end\n"
        "MessageWindow[0].AddText(\" and more\")\n"
        "WaitOK\n");
    Play(
        "5 wheel up       # opens at the newest entry\n"
        "7 press Up       # one older\n"
        "9 wheel down     # the newest again\n"
        "11 wheel down    # past it: closed\n"
        "13 press PageUp  # opens\n"
        "15 press PageDown # at the end: closed\n"
        "17 wheel up\n"
        "19 click right   # closes\n"
        "21 wheel up\n"
        "23 press X       # Cancel closes\n",
        24);
    const nlohmann::json history = Dump(4)["history"];
    ASSERT_EQ(history.size(), 20u);
    EXPECT_EQ(history[0], "entry 1");
    EXPECT_EQ(history[19], "entry 20 and more");
    using Values = std::vector<nlohmann::json>;
    EXPECT_EQ(
        Field("historyOpen", {4, 5, 8, 10, 11, 12, 13, 14, 15, 17, 18, 19, 21, 23}),
        (Values{false, true, true, true, false, false, true, true, false, true, true, false, true, false}));
    EXPECT_TRUE(Shot(5) != Shot(4));  // the view over the game
    EXPECT_TRUE(Shot(7) != Shot(5));  // scrolled
    EXPECT_TRUE(Shot(9) == Shot(5));  // and back
    EXPECT_TRUE(Dump(24)["script"]["waitForOk"]);
}

}  // namespace
}  // namespace zepa
