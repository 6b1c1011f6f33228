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
    // Plays the replay for `frames` frames with a dump (and a shot, if asked) after each frame.
    void Play(const std::string& replay, int frames, bool shots = false) {
        dir_.Write("input.replay", replay);
        std::vector<std::string> args = {
            "--headless",           "--game",  dir_ / "game",        "--scene", "Main", "--frames",
            std::to_string(frames), "--input", dir_ / "input.replay"};
        for (int frame = 1; frame <= frames; ++frame) {
            args.push_back("--dump");
            args.push_back(std::to_string(frame) + ":" + (dir_ / ("d" + std::to_string(frame) + ".json")));
            if (!shots) continue;
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
        24, true);
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

TEST_F(ReadingAidsReplay, AutoAdvancePassesWaitsForOkOnlyWhileOnAndNeverAChoice) {
    WriteGame(
        "MessageWindow.Open(0, 0, 320, 640, 160)\n"
        "MessageWindow[0].PrintText(\"abcd\")\n"
        "WaitOK\n"
        "Calc($num[1] = 1)\n"
        "MessageWindow[0].PrintText(\"efghijkl\")\n"
        "WaitOK\n"
        "Calc($num[1] = 2)\n"
        "SelectWindow.Open(0, 0, 0, 300, 100)\n"
        "SelectWindow.ContentsNum(0, 2)\n"
        "SelectWindow.SetContents(0, 0, \"yes\")\n"
        "SelectWindow.SetContents(0, 1, \"no\")\n"
        "SelectWindow.Select(0, true, 5)\n"
        "Calc($num[1] = 3)\n"
        "WaitOK\n");
    dir_.Write("game/zepa.ini",
               "# a shorter pause\nAUTO_ADVANCE_FRAMES=10\nAUTO_ADVANCE_FRAMES_PER_CHARACTER=1\n");
    Play("80 press F2\n", 200);
    auto num = [&](int frame) { return Dump(frame)["vars"]["ints"].value("1", 0); };
    // Off, the first wait holds.
    EXPECT_FALSE(Dump(79)["autoAdvance"]);
    EXPECT_TRUE(Dump(79)["script"]["waitForOk"]);
    EXPECT_EQ(num(79), 0);
    // On: 10 frames plus one per character typed since the previous wait, counted from the frame
    // that found the typing finished (long ago here: the frame of F2).
    EXPECT_TRUE(Dump(80)["autoAdvance"]);
    EXPECT_TRUE(Dump(93)["script"]["waitForOk"]);
    EXPECT_FALSE(Dump(94)["script"]["waitForOk"]);
    EXPECT_EQ(num(95), 1);
    int typed = 95;
    while (typed < 200 && Dump(typed)["messageWindows"][0]["typing"]) ++typed;
    ASSERT_LT(typed, 200);
    EXPECT_TRUE(Dump(typed + 17)["script"]["waitForOk"]);
    EXPECT_FALSE(Dump(typed + 18)["script"]["waitForOk"]);
    // The choice waits however long auto-advance is on.
    EXPECT_EQ(num(200), 2);
    EXPECT_TRUE(Dump(200)["selectWindows"][0]["active"]);
    // Neither option.ini nor zepa.ini was changed by it.
    EXPECT_EQ(ReadFileBytes(dir_ / "game/zepa.ini"),
              "# a shorter pause\nAUTO_ADVANCE_FRAMES=10\nAUTO_ADVANCE_FRAMES_PER_CHARACTER=1\n");
}

TEST_F(ReadingAidsReplay, HidingTheWindowsPausesUntilTheNextPressWhichOnlyShowsThem) {
    WriteGame(
        "MessageWindow.Open(0, 0, 320, 640, 160)\n"
        "MessageWindow[0].PrintText(\"hello\")\n"
        "WaitOK\n"
        "Calc($num[1] = 1)\n"
        "Wait(1000)\n");
    Play(
        "10 press H\n"
        "12 press Z      # only shows the windows\n"
        "16 click middle # hides them\n"
        "18 press F2     # only shows them: auto-advance stays off\n"
        "20 mousebutton middle down\n"
        "21 mousebutton middle up\n"
        "23 click left   # shows\n"
        "25 press Z      # reaches the game\n"
        "30 press H\n"
        "40 press X\n",
        42, true);
    using Values = std::vector<nlohmann::json>;
    EXPECT_EQ(Field("windowsHidden", {9, 10, 11, 12, 16, 17, 18, 20, 22, 23, 30, 39, 40}),
              (Values{false, true, true, false, true, true, false, true, true, false, true, true, false}));
    EXPECT_FALSE(Dump(19)["autoAdvance"]);
    EXPECT_TRUE(Shot(10) != Shot(9));  // the message window is gone
    EXPECT_TRUE(Shot(12) == Shot(9));  // and back
    EXPECT_EQ(Dump(24)["vars"]["ints"].value("1", 0), 0);
    EXPECT_EQ(Dump(26)["vars"]["ints"].value("1", 0), 1);
    // Hidden, the game is paused: the wait stands still until the frame after the showing press.
    const int waiting = Dump(30)["script"]["waitCounter"];
    EXPECT_EQ(Dump(40)["script"]["waitCounter"], waiting);
    EXPECT_EQ(Dump(41)["script"]["waitCounter"], waiting - 1);
}

TEST_F(ReadingAidsReplay, AJoystickHatMovesLikeTheStick) {
    WriteGame(
        "SelectWindow.Open(0, 0, 0, 400, 200)\n"
        "SelectWindow.SetColumn(0, 2)\n"
        "SelectWindow.ContentsNum(0, 4)\n"
        "SelectWindow.SetContents(0, 0, \"a\")\n"
        "SelectWindow.SetContents(0, 1, \"b\")\n"
        "SelectWindow.SetContents(0, 2, \"c\")\n"
        "SelectWindow.SetContents(0, 3, \"d\")\n"
        "SelectWindow.Select(0, true, 5)\n"
        "WaitOK\n");
    Play(
        "10 joy hat down\n11 joy hat centered\n"
        "15 joy hat right\n16 joy hat centered\n"
        "20 joy hat up\n21 joy hat centered\n"
        "25 joy hat left\n26 joy hat centered\n"
        "30 joy hat down+right   # a diagonal: down is taken first\n31 joy hat centered\n"
        "35 joy button 1 down    # OK with the default BUTTON_OK\n36 joy button 1 up\n",
        40);
    auto cursor = [&](int frame) { return Dump(frame)["selectWindows"][0]["cursor"]; };
    EXPECT_EQ(cursor(9), 0);
    EXPECT_EQ(cursor(10), 2);
    EXPECT_EQ(cursor(14), 2);  // held and let go: one step
    EXPECT_EQ(cursor(15), 3);
    EXPECT_EQ(cursor(20), 1);
    EXPECT_EQ(cursor(25), 0);
    EXPECT_EQ(cursor(30), 2);
    EXPECT_EQ(Dump(36)["vars"]["ints"].value("5", -1), 2);
}

}  // namespace
}  // namespace zepa
