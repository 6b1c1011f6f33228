// Whole games played by the built engine, headless, from the title scene, driven by replay files;
// the state dumps tell what happened. Also the player's extras: Tab fast-forward and F9 shots.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/FileSystem.h"
#include "script/SaveFile.h"
#include "support/EngineProcess.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

using nlohmann::json;

class PlaythroughTest : public ::testing::Test {
  protected:
    PlaythroughTest() {
        test::WriteSolidPng(game_ / "Graphics/BG/Title.png", 640, 480, 0xFF224466u);
        test::WriteScriptFile(game_.path().string(), "Initialize.txt", "Calc($num[50] = 7)\nWaitOK\n");
        test::WriteScriptFile(game_.path().string(), "Script.txt",
                              "MessageWindow.Open(0)\n"
                              "MessageWindow.PrintText(0, \"はじめ\")\n"
                              "SelectWindow.Open(0, 120, 300, 400, 120)\n"
                              "SelectWindow.ContentsNum(0, 2)\n"
                              "SelectWindow.ContentsHeight(0, 24)\n"
                              "SelectWindow.SetContents(0, 0, \"右\")\n"
                              "SelectWindow.SetContents(0, 1, \"左\")\n"
                              "SelectWindow.Select(0, true, 100)\n"
                              "Calc($num[101] = $num[100] + 10)\n"
                              "SavePoint(\"分かれ道\")\n"
                              "Calc($num[102] = 1)\n"
                              "WaitOK\n"
                              "Calc($num[103] = 1)\n"
                              "EndScript\n");
    }

    // Runs `frames` frames with the replay and a dump after each of `dumpFrames`.
    void Run(const std::string& replay, int frames, const std::vector<int>& dumpFrames,
             const std::string& prefix = "d") {
        game_.Write("input.txt", replay);
        std::vector<std::string> args{"--headless",           "--game",  game_.path().string(), "--frames",
                                      std::to_string(frames), "--input", game_ / "input.txt"};
        for (int frame : dumpFrames) {
            args.push_back("--dump");
            args.push_back(std::to_string(frame) + ":" + DumpPath(prefix, frame));
        }
        const test::ProcessResult run = test::RunZepa(args);
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    std::string DumpPath(const std::string& prefix, int frame) const {
        return game_ / (prefix + std::to_string(frame) + ".json");
    }
    json Dump(int frame, const std::string& prefix = "d") const {
        return json::parse(test::ReadFileBytes(DumpPath(prefix, frame)));
    }

    test::TempDir game_;
};

// START, slot 2, a choice, the save point, a quick save with S during the wait, the end of the
// script, back at the title, LOAD slot 2 and the game resumed at its save point.
TEST_F(PlaythroughTest, FromTheTitleThroughAGameAndBackIntoItsQuickSave) {
    const std::string replay =
        "# the menu has opened by frame 14\n"
        "20 press Z\n"                                    // START
        "40 press Down\n42 press Down\n45 press Z\n"      // new game on slot 2
        "65 press Down\n67 press Z\n"                     // the second choice
        "75 press S\n"                                    // quick save during the wait for OK
        "80 press Z\n"                                    // the wait ends; the script ends in the next frame
        "100 press Down\n102 press Z\n"                   // LOAD
        "125 press Down\n127 press Down\n130 press Z\n";  // slot 2
    Run(replay, 131, {21, 45, 46, 68, 74, 76, 81, 82, 120, 131});

    EXPECT_EQ(Dump(21)["titleScene"]["showing"], "newGame");
    EXPECT_EQ(Dump(21)["titleScene"]["prompt"]["text"], "どれをセーブ用に使いますか？");
    EXPECT_EQ(Dump(45)["titleScene"]["newGamePicker"]["cursor"], 2);
    const json started = Dump(46);
    EXPECT_EQ(started["scene"], "Main");
    EXPECT_EQ(started["quickSaveSlot"], 2);
    EXPECT_EQ(started["background"]["name"], "Graphics/BG/Title.png");  // kept from the title
    EXPECT_EQ(started["vars"]["ints"], json({{"50", 7}}));              // Initialize.txt ran past its WaitOK
    EXPECT_EQ(started["selectWindows"][0]["active"], true);

    const json chosen = Dump(68);
    EXPECT_EQ(chosen["vars"]["ints"], json({{"50", 7}, {"100", 1}, {"101", 11}, {"102", 1}}));
    EXPECT_EQ(chosen["script"]["waitForOk"], true);
    EXPECT_EQ(chosen["selectWindows"][0]["active"], false);
    EXPECT_EQ(Dump(74)["script"]["waitForOk"], true);
    EXPECT_EQ(Dump(76)["script"]["waitForOk"], true);  // saving does not end the wait

    EXPECT_EQ(Dump(81)["scene"], "Main");
    EXPECT_EQ(Dump(81)["vars"]["ints"]["103"], 1);
    EXPECT_EQ(Dump(82)["scene"], "Title");

    const json listing = Dump(120)["titleScene"];
    EXPECT_EQ(listing["showing"], "load");
    EXPECT_EQ(listing["loadPicker"]["items"], json({"0 > NO DATA", "1 > NO DATA", "2 > 分かれ道",
                                                    "3 > NO DATA", "4 > NO DATA", "5 > NO DATA"}));
    EXPECT_EQ(listing["loadPicker"]["enabled"], json({false, false, true, false, false, false}));
    EXPECT_EQ(listing["prompt"]["text"], "どのデータをロードしますか？");

    // The quick save holds the snapshot of the save point, not the state at the moment of saving.
    const auto saved = DecodeSaveFile(test::ReadFileBytes(game_ / "Save/Save2.dat"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->record.savePointName, Cp932("分かれ道"));
    EXPECT_EQ(saved->record.scriptFile, "Script/Script.txt");
    EXPECT_EQ(saved->ints[101], 11);
    EXPECT_EQ(saved->ints[102], 0);

    const json resumed = Dump(131);
    EXPECT_EQ(resumed["scene"], "Main");
    EXPECT_EQ(resumed["quickSaveSlot"], 2);
    EXPECT_EQ(resumed["script"]["file"], "Script/Script.txt");
    EXPECT_EQ(resumed["script"]["waitForOk"], true);
    EXPECT_EQ(resumed["vars"]["ints"], json({{"50", 7}, {"100", 1}, {"101", 11}, {"102", 1}}));
    EXPECT_EQ(resumed["selectWindows"][0]["open"], false);  // the statements before it did not run
}

// Tab held runs several frames per loop turn; what the game does in each frame is unchanged.
TEST_F(PlaythroughTest, FastForwardLeavesEveryFrameAsItWas) {
    const std::string replay = "20 press Z\n40 press Down\n45 press Z\n65 press Z\n";
    Run(replay, 90, {30, 46, 70, 90}, "plain");
    Run("2 key 0x09 down\n" + replay + "88 key 0x09 up\n", 90, {30, 46, 70, 90}, "fast");
    for (int frame : {30, 46, 70, 90}) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(Dump(frame, "plain"), Dump(frame, "fast"));
    }
    EXPECT_EQ(Dump(70, "fast")["vars"]["ints"].count("100"), 0u);  // chose the first item
    EXPECT_EQ(Dump(70, "fast")["vars"]["ints"]["101"], 10);
}

TEST_F(PlaythroughTest, F9WritesNumberedScreenshotsNextToTheSaves) {
    Run("5 press F9\n8 press F9\n", 10, {});
    EXPECT_TRUE(IsRegularFile(game_ / "Save/zepa-shot-1.png"));
    EXPECT_TRUE(IsRegularFile(game_ / "Save/zepa-shot-2.png"));
    Run("3 press F9\n", 4, {});  // a later run keeps the earlier shots
    EXPECT_TRUE(IsRegularFile(game_ / "Save/zepa-shot-3.png"));
    EXPECT_FALSE(IsRegularFile(game_ / "zepa-shot-1.png"));
}

}  // namespace
}  // namespace zepa
