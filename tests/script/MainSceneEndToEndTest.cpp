// Runs the built engine headless on a game folder made here and reads its state dumps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "script/ScriptRandom.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;

class MainSceneRun : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps concurrent runs of the suite (plain and sanitizer builds) apart.
        dir = fs::temp_directory_path() /
              (std::string("zepa-main-") + info->name() + "-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Script");
    }
    void TearDown() override { fs::remove_all(dir); }

    void WriteScript(const std::string& name, const std::string& text) {
        std::ofstream(dir / "Script" / name, std::ios::binary) << text;
    }

    // Runs `frames` frames with a dump after every one; returns the exit status.
    int Run(int frames, const std::string& extra = "") {
        std::string command = std::string(ZEPA_BINARY) + " --headless --scene Main --game '" + dir.string() +
                              "' --frames " + std::to_string(frames) + " " + extra;
        for (int frame = 1; frame <= frames; ++frame)
            command += " --dump " + std::to_string(frame) + ":'" + DumpPath(frame) + "'";
        command += " 2>'" + (dir / "stderr.txt").string() + "'";
        return std::system(command.c_str());
    }

    std::string DumpPath(int frame) const {
        return (dir / ("frame" + std::to_string(frame) + ".json")).string();
    }

    nlohmann::json Dump(int frame) const {
        std::ifstream file(DumpPath(frame));
        return nlohmann::json::parse(file);
    }

    fs::path dir;
};

TEST_F(MainSceneRun, ScriptsComputeAndTheGameReturnsToTitleOneFrameAfterTheEnd) {
    WriteScript("Initialize.txt",
                "Calc($num[1] = 6)\r\nCalc($str[2] = \"Ken\")\r\nWaitOK\r\nCalc($flag[3] = true)\r\n");
    WriteScript("Script.txt",
                "Calc($num[10] = $num[1] * -7)\n"
                "Random(11, 100)\n"
                "Random(12, $num[1])\n"
                "Calc($str[2] += \" & Mia\")\n"
                "Calc($num[13] = 7 / 0)\n"
                "Wait(1)\n"
                "Calc($num[14] = $num[10] % 5)\n"
                "EndScript\n"
                "Calc($num[15] = 1)\n");
    ASSERT_EQ(Run(4, "--seed 7"), 0);

    CScriptRandom random;
    random.Seed(7);
    const int r11 = random.Next() % 100;
    const int r12 = random.Next() % 6;

    const nlohmann::json first = Dump(1);
    EXPECT_EQ(first["scene"], "Main");
    EXPECT_EQ(first["script"]["file"], "Script/Script.txt");
    EXPECT_EQ(first["script"]["depth"], 1);
    EXPECT_EQ(first["script"]["waitCounter"], 1);
    EXPECT_EQ(first["script"]["waitForOk"], false);
    EXPECT_EQ(first["quickSaveSlot"], 0);

    EXPECT_EQ(Dump(2)["script"]["waitCounter"], 0);  // the frame Wait(1) skips
    EXPECT_EQ(Dump(2)["vars"]["ints"].count("14"), 0u);
    const nlohmann::json ended = Dump(3);  // the rest runs and the script ends
    EXPECT_EQ(ended["scene"], "Main");
    nlohmann::json ints = {{"1", 6}, {"10", -42}, {"14", -2}};
    if (r11 != 0) ints["11"] = r11;
    if (r12 != 0) ints["12"] = r12;
    EXPECT_EQ(ended["vars"]["ints"], ints);
    EXPECT_EQ(ended["vars"]["flags"], nlohmann::json::array({3}));
    EXPECT_EQ(ended["vars"]["strings"], nlohmann::json({{"2", "Ken & Mia"}}));
    EXPECT_TRUE(ended["messages"].empty());

    const nlohmann::json after = Dump(4);
    EXPECT_EQ(after["scene"], "Title");
    EXPECT_TRUE(after["script"].is_null());
    EXPECT_EQ(after["vars"]["ints"], ints);  // variables outlive the scene
}

TEST_F(MainSceneRun, SameSeedSameNumbersAndHeadlessDefaultIsOne) {
    WriteScript("Initialize.txt", "");
    WriteScript("Script.txt", "Random(1, 30000)\nRandom(2, 30000)\nWaitOK\n");
    ASSERT_EQ(Run(1), 0);
    CScriptRandom random;
    EXPECT_EQ(Dump(1)["vars"]["ints"]["1"], random.Next() % 30000);
    EXPECT_EQ(Dump(1)["vars"]["ints"]["2"], random.Next() % 30000);
    EXPECT_EQ(Dump(1)["script"]["waitForOk"], true);
}

// Frame 1 runs up to the wait; the statement after Wait(n) runs in frame 2 + max(n, 0) and the
// title shows from the frame after that.
TEST_F(MainSceneRun, WaitTimingThroughTheHeadlessRunner) {
    WriteScript("Initialize.txt", "");
    for (const auto& [wait, skipped] :
         {std::pair{"Wait(0)", 0}, std::pair{"Wait(2)", 2}, std::pair{"Wait(-5)", 0}}) {
        SCOPED_TRACE(wait);
        WriteScript("Script.txt",
                    std::string("Calc($num[1] = 1)\n") + wait + "\nCalc($num[1] = 2)\nEndScript\n");
        ASSERT_EQ(Run(6), 0);
        const int runsAt = 2 + skipped;
        for (int frame = 1; frame <= 6; ++frame) {
            const nlohmann::json dump = Dump(frame);
            EXPECT_EQ(dump["vars"]["ints"]["1"], frame < runsAt ? 1 : 2) << frame;
            EXPECT_EQ(dump["scene"], frame <= runsAt ? "Main" : "Title") << frame;
        }
    }
}

TEST_F(MainSceneRun, MissingScriptsReturnToTitleAtOnce) {
    ASSERT_EQ(Run(2), 0);
    EXPECT_EQ(Dump(1)["scene"], "Main");
    EXPECT_EQ(Dump(2)["scene"], "Title");
}

// A sub-call's file whose last statement is a wait without a line break has ended, but it returns to
// Initialize.txt, which runs on to its end before the first frame.
TEST_F(MainSceneRun, InitializeRunsOnAfterASubCallEndingInAWaitWithoutLineBreak) {
    for (const char* wait : {"Wait(5)", "WaitOK"}) {
        SCOPED_TRACE(wait);
        WriteScript("Initialize.txt", "CallSub(, \"Sub.txt\")\nCalc($num[2] = 2)\n");
        WriteScript("Sub.txt", std::string("Calc($num[1] = 1)\n") + wait);
        WriteScript("Script.txt", "WaitOK\n");
        ASSERT_EQ(Run(1), 0);
        const nlohmann::json dump = Dump(1);
        EXPECT_EQ(dump["vars"]["ints"], nlohmann::json({{"1", 1}, {"2", 2}}));
        EXPECT_EQ(dump["script"]["file"], "Script/Script.txt");
        EXPECT_EQ(dump["script"]["depth"], 1);
    }
}

}  // namespace
}  // namespace zepa
