// Resuming a saved game: what the stage is rebuilt from, and whole headless runs that save at a
// save point and resume there with --load.
#include "scenes/SaveResume.h"

#include <gtest/gtest.h>

#include "support/TestServices.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

#include "audio/SoundFiles.h"
#include "script/SaveFile.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::Quote;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(SaveResume, SavedCoordinatesTruncateTowardZeroAndDamageStaysInRange) {
    EXPECT_EQ(SavedCoordinateToPixels(12.9f), 12);
    EXPECT_EQ(SavedCoordinateToPixels(-12.9f), -12);
    EXPECT_EQ(SavedCoordinateToPixels(std::nanf("")), 0);
    EXPECT_EQ(SavedCoordinateToPixels(std::numeric_limits<float>::infinity()), 2147483520);
    EXPECT_EQ(SavedCoordinateToPixels(-1e30f), std::numeric_limits<int>::min());
}

TEST(SaveResume, PlanShowsTheSavedStageWithTheResumeTransitions) {
    SavePointRecord record;
    record.backgroundPath = "Graphics/BG/room.png";
    record.bgmPath = "Music/bgm/theme.ogg";
    record.characters[1].imagePath = "Graphics/Char/mia.png";
    record.characters[1].x = 12.9f;
    record.characters[1].y = 300.2f;
    record.characters[1].flags = CharacterSlotRecord::kMirroredBit;
    record.characters[4].flags = CharacterSlotRecord::kVisibleBit | 0xF0;  // stray bits mean nothing
    record.focus = 1;
    const StageRestorePlan plan = PlanStageRestore(record);
    EXPECT_EQ(plan.bgmPath, "Music/bgm/theme.ogg");
    EXPECT_EQ(plan.bgsPath, "");
    EXPECT_EQ(plan.background.path, "Graphics/BG/room.png");
    EXPECT_EQ(plan.background.transition, "crossfade2");
    EXPECT_EQ(plan.background.frames, 30);
    const CharacterShow& mia = plan.characters[1];
    EXPECT_EQ(mia.path, "Graphics/Char/mia.png");
    EXPECT_EQ(mia.transition, "crossfade");
    EXPECT_EQ(mia.frames, 30);
    EXPECT_EQ(mia.x, 12);
    EXPECT_EQ(mia.y, 300);
    EXPECT_EQ(mia.move, "default");
    EXPECT_EQ(mia.moveFrames, 30);
    EXPECT_FALSE(mia.visible);
    EXPECT_TRUE(mia.mirrored);
    EXPECT_TRUE(plan.characters[4].visible);
    EXPECT_FALSE(plan.characters[4].mirrored);
    EXPECT_EQ(plan.focus, 1);
}

// A game folder and headless runs of the engine on it.
class SaveResumeRun : public ::testing::Test {
  protected:
    void WriteScript(const std::string& name, const std::string& text) {
        WriteFileBytes(game / ("Script/" + name), text);
    }
    // Runs `frames` frames; the state at exit is returned.
    nlohmann::json Run(const std::string& options, int frames) {
        const std::string dump = game / "exit.json";
        const testing::CommandResult result =
            RunCommand(Quote(ZEPA_BINARY) + " --headless --game " + Quote(game.path()) + " --frames " +
                       std::to_string(frames) + " --dump-at-exit " + Quote(dump) + " " + options);
        output = result.output;
        EXPECT_EQ(result.exitCode, 0) << output;
        std::ifstream file(dump);
        return nlohmann::json::parse(file);
    }

    TempFolder game;
    std::string output;
};

TEST_F(SaveResumeRun, ASaveAtASavePointResumesThereWithItsVariables) {
    WriteScript("Initialize.txt", "Calc($num[8] = 8)\n");
    WriteScript("Script.txt",
                "SetTitle(\"Start\")\n"
                "Calc($num[5] += 1)\n"
                "Jump(chapter, \"Chapter2.txt\")\n");
    WriteScript("Chapter2.txt",
                "Calc($num[6] = 1)\n"
                "*chapter\n"
                "Calc($num[5] += 10)\n"
                "Calc($str[3] = \"Ken\")\n"
                "Calc($flag[9] = true)\n"
                "Calc($num[8] = 80)\n"
                "Sound.BGM(\"theme.wav\")\n"
                "Sound.BGS(\"rain.wav\")\n"
                "SavePoint(\"Morning\")\n"
                "SetTitle(\"At $str[3]\")\n"
                "Calc($num[2] += 1)\n"
                "SaveData.Save(3)\n"
                "Calc($num[5] = 0)\n"
                "WaitOK\n");
    std::filesystem::create_directories(game / "Music/bgm");
    std::filesystem::create_directories(game / "Music/bgs");
    ASSERT_TRUE(test::WriteSineWav(game / "Music/bgm/theme.wav", 440, 0.5));
    ASSERT_TRUE(test::WriteSineWav(game / "Music/bgs/rain.wav", 880, 0.5));
    const nlohmann::json first = Run("--scene Main", 2);
    EXPECT_EQ(first["title"], "At Ken");
    EXPECT_EQ(first["quickSaveSlot"], 3);
    EXPECT_EQ(first["vars"]["ints"], nlohmann::json({{"2", 1}, {"8", 80}}));
    const std::string saved = ReadFileBytes(game / "Save/Save3.dat");
    ASSERT_EQ(saved.size(), kMinimalSaveFileSize + 3);
    EXPECT_EQ(saved.substr(2380, 20), std::string("Script/Chapter2.txt\0", 20));
    EXPECT_EQ(saved.substr(2636, 8), std::string("Morning\0", 8));
    EXPECT_EQ(saved.substr(256, 20), std::string("Music/bgm/theme.wav\0", 20));
    EXPECT_EQ(saved.substr(512, 19), std::string("Music/bgs/rain.wav\0", 19));

    // The new run loads the snapshot of the save point, runs the initialization script over it and
    // continues with the SavePoint statement itself: nothing before it runs again.
    const nlohmann::json resumed = Run("--load 3", 1);
    EXPECT_EQ(resumed["scene"], "Main");
    EXPECT_EQ(resumed["quickSaveSlot"], 3);
    EXPECT_EQ(resumed["title"], "At Ken");
    EXPECT_EQ(resumed["script"]["file"], "Script/Chapter2.txt");
    EXPECT_EQ(resumed["script"]["waitForOk"], true);
    EXPECT_EQ(resumed["vars"]["ints"], nlohmann::json({{"2", 1}, {"8", 8}}));
    EXPECT_EQ(resumed["vars"]["strings"], nlohmann::json({{"3", "Ken"}}));
    EXPECT_EQ(resumed["vars"]["flags"], nlohmann::json::array({9}));
    // Nothing in the resumed run plays music before its SavePoint: the record brought it back.
    EXPECT_EQ(resumed["audio"]["bgm"], "Music/bgm/theme.wav");
    EXPECT_EQ(resumed["audio"]["bgs"], "Music/bgs/rain.wav");
    EXPECT_EQ(resumed["audio"]["playing"]["bgm"], true);
    EXPECT_EQ(resumed["audio"]["playing"]["bgs"], true);
    // The SavePoint ran again: the resumed game's save holds the state after the initialization.
    auto again = DecodeSaveFile(ReadFileBytes(game / "Save/Save3.dat"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->record.savePointName, "Morning");
    EXPECT_EQ(again->ints[8], 8);
    EXPECT_EQ(again->ints[5], 11);
    EXPECT_EQ(again->record.bgmPath, "Music/bgm/theme.wav");
}

TEST_F(SaveResumeRun, AnInitializationScriptThatLoopsForeverIsStopped) {
    WriteScript("Script.txt", "Calc($num[1] = 1)\nWaitOK\n");
    for (const char* loop :
         {"*again\nCalc($num[2] = 1)\nJump(again)\n", "*again\nCalc($num[2] = 1)\nWaitOK\nJump(again)\n"}) {
        SCOPED_TRACE(loop);
        WriteScript("Initialize.txt", loop);
        const nlohmann::json state = Run("--scene Main", 1);
        EXPECT_NE(output.find("Initialize.txt loops without end"), std::string::npos) << output;
        EXPECT_EQ(state["vars"]["ints"], nlohmann::json({{"1", 1}, {"2", 1}}));
        EXPECT_EQ(state["script"]["file"], "Script/Script.txt");
    }
}

TEST_F(SaveResumeRun, LoadingASlotWithoutAFileStartsANewGameOnThatSlot) {
    WriteScript("Initialize.txt", "");
    WriteScript("Script.txt", "Calc($num[1] = 1)\nWaitOK\n");
    const nlohmann::json state = Run("--load 4", 1);
    EXPECT_NE(output.find("nothing loaded from Save/Save4.dat"), std::string::npos) << output;
    EXPECT_EQ(state["scene"], "Main");
    EXPECT_EQ(state["quickSaveSlot"], 4);
    EXPECT_EQ(state["vars"]["ints"], nlohmann::json({{"1", 1}}));
}

TEST_F(SaveResumeRun, ASaveWithoutASavePointStartsFromTheTopAndAMissingNameFromTheFileStart) {
    WriteScript("Initialize.txt", "");
    WriteScript("Script.txt", "Calc($num[1] += 1)\nSaveData.Save(0)\nWaitOK\n");
    Run("--scene Main", 1);
    const nlohmann::json again = Run("--load 0", 1);
    EXPECT_EQ(again["vars"]["ints"], nlohmann::json({{"1", 1}}));  // a new game's snapshot: 0, then +1

    WriteScript("Other.txt", "Calc($num[2] += 5)\nWaitOK\n");
    CVariableStore vars;
    SavePointRecord record;
    record.scriptFile = "Script/Other.txt";
    record.savePointName = "Gone";
    vars.SetInt(2, 1);
    vars.TakeSnapshot(record);
    WriteFileBytes(game / "Save/Save1.dat", EncodeSaveFile(vars, zepa::testing::TestLog()));
    const nlohmann::json restarted = Run("--load 1", 1);
    EXPECT_EQ(restarted["script"]["file"], "Script/Other.txt");
    EXPECT_EQ(restarted["vars"]["ints"], nlohmann::json({{"2", 6}}));
}

}  // namespace
}  // namespace zepa

namespace zepa {
namespace {

TEST_F(SaveResumeRun, TheBackgroundAndTheCharactersComeBackFromTheSavePoint) {
    WriteScript("Initialize.txt", "");
    WriteScript("Script.txt",
                "Background.Set(\"room.png\", \"cut\")\n"
                "Character.SetGraph(1, \"ren.png\", \"cut\", 0, 300, 20, \"default\", 0)\n"
                "Character[1].SetReverse(true)\n"
                "Wait(5)\n"
                "SavePoint(\"Scene1\")\n"
                "SaveData.Save(2)\n"
                "WaitOK\n");
    const nlohmann::json first = Run("--scene Main", 10);
    ASSERT_EQ(first["characters"][1]["x"], 300) << first.dump();
    const auto saved = DecodeSaveFile(ReadFileBytes(game / "Save/Save2.dat"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->record.backgroundPath, first["background"]["name"].get<std::string>());
    EXPECT_EQ(saved->record.characters[1].imagePath, first["characters"][1]["name"].get<std::string>());
    EXPECT_TRUE(saved->record.characters[1].mirrored());

    // The resumed run starts from an empty stage; the save point's stage is back once its
    // transitions have run.
    const nlohmann::json resumed = Run("--load 2", 40);
    EXPECT_EQ(resumed["background"]["name"], first["background"]["name"]);
    EXPECT_EQ(resumed["characters"][1]["name"], first["characters"][1]["name"]);
    EXPECT_EQ(resumed["characters"][1]["x"], 300);
    EXPECT_EQ(resumed["characters"][1]["y"], 20);
    EXPECT_EQ(resumed["characters"][1]["mirrored"], true);
    EXPECT_EQ(resumed["characters"][0]["name"], "");
}

}  // namespace
}  // namespace zepa
