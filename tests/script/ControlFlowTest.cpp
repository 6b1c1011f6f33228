// Conditional blocks, jumps, sub-calls, waits, save points and the SaveData and Font commands,
// run through StepScript on scripts written to a temporary game folder.
#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "script/SaveFile.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

class ControlFlowTest : public ::testing::Test {
  protected:
    ControlFlowTest()
        : cwd(folder.path()), runner(zepa::testing::MakeScriptServices(vars, random, buttons, boxes)) {
        boxes.Clear();
    }

    // Writes Script/<name> and makes it the top level's text.
    void Start(const std::string& text, const std::string& name = "Script.txt") {
        WriteFile(name, text);
        runner.reader().LoadText("Script/" + name);
    }
    void WriteFile(const std::string& name, const std::string& text) {
        WriteFileBytes("Script/" + name, text);
    }
    // Steps until the script ends (at most `frames` frames); false if it never ends.
    bool RunToEnd(int frames = 100) {
        for (int frame = 0; frame < frames; ++frame) {
            if (!runner.StepScript()) return true;
        }
        return false;
    }
    int Depth() const { return runner.reader().Innermost().depth(); }

    TempFolder folder;
    ScopedWorkingDirectory cwd;
    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CScriptRunner runner;
};

TEST_F(ControlFlowTest, FalseIfPassesOverANestedBlockWithItsElse) {
    Start(
        "if(false)\n"
        "  Calc($num[1] = 1)\n"
        "  if(true)\n"
        "    Calc($num[2] = 1)\n"
        "  else\n"
        "    Calc($num[3] = 1)\n"
        "  end\n"
        "else\n"
        "  Calc($num[4] = 1)\n"
        "  if(0)\n"
        "    Calc($num[5] = 1)\n"
        "  elseif(1)\n"
        "    Calc($num[6] = 1)\n"
        "  end\n"
        "end\n"
        "Calc($num[7] = 1)\n");
    ASSERT_TRUE(RunToEnd());
    for (int n : {1, 2, 3, 5}) EXPECT_EQ(vars.GetInt(n), 0) << n;
    for (int n : {4, 6, 7}) EXPECT_EQ(vars.GetInt(n), 1) << n;
}

TEST_F(ControlFlowTest, OnlyTheFirstTrueBranchRuns) {
    Start(
        "Calc($num[1] = 2)\n"
        "if($num[1] == 1)\n"
        "  Calc($num[2] = 1)\n"
        "elseif($num[1] >= 2)\n"
        "  Calc($num[2] = 2)\n"
        "elseif($num[1] == 2)\n"
        "  Calc($num[2] = 3)\n"
        "else\n"
        "  Calc($num[2] = 4)\n"
        "end\n"
        "if($num[1] == 1)\n"
        "elseif($num[1] != 2)\n"
        "else\n"
        "  Calc($num[3] = 5)\n"
        "end\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetInt(2), 2);
    EXPECT_EQ(vars.GetInt(3), 5);
}

TEST_F(ControlFlowTest, ConditionKinds) {
    struct Case {
        const char* condition;
        bool expected;
    };
    vars.SetInt(0, 3);
    vars.SetInt(2, -1);
    vars.SetString(0, "x");
    vars.SetString(1, "x");
    vars.SetFlag(4, true);
    const Case cases[] = {
        {"$num[1] == -1", true},  // the right operand is "-": 0
        {"$num[2] == -1", false},
        {"$num[2] < 0", true},
        {"$num[0]", true},
        {"$num[1]", false},
        {"$num[0] <> 3", false},
        {"$num[0] > $num[2]", true},
        {"$num[0] <= 2", false},
        {"$str[0]", true},
        {"$str[2]", false},
        {"$str[0] == $str[1]", true},
        {"$str[0] != \"x\"", false},
        {"$flag[4]", true},
        {"!$flag[4]", false},
        {"!$flag[5]", true},
        {"$flag[4] == $flag[5]", false},
        {"$flag[5] != true", true},
        {"true", true},
        {"1", true},
        {"0", false},
        {"false", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.condition);
        vars.SetInt(9, 0);
        Start(std::string("if(") + c.condition + ")\nCalc($num[9] = 1)\nend\n");
        ASSERT_TRUE(RunToEnd());
        EXPECT_EQ(vars.GetInt(9), c.expected ? 1 : 0);
    }
}

TEST_F(ControlFlowTest, MissingEndSkipsToTheEndOfTheScript) {
    Start("if(false)\nCalc($num[1] = 1)\nelseif(0)\nCalc($num[2] = 1)\n");
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_EQ(vars.GetInt(2), 0);
}

TEST_F(ControlFlowTest, CallSubOpensASecondCopyOfTheFileAndJumpMovesOnlyTheCopy) {
    Start(
        "Calc($num[1] += 1)\n"
        "CallSub(sub)\n"
        "Calc($num[2] *= 10)\n"
        "Calc($num[2] += 3)\n"
        "EndScript\n"
        "*sub\n"
        "Calc($num[2] = 1)\n"
        "Jump(later)\n"
        "Calc($num[2] = 99)\n"
        "*later\n"
        "Calc($num[2] *= 10)\n"
        "Calc($num[2] += 2)\n"
        "WaitOK\n"
        "Return\n");
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(Depth(), 2);
    EXPECT_EQ(vars.GetInt(2), 12);
    EXPECT_EQ(runner.reader().fileName(), "Script/Script.txt");
    runner.waitForOk = false;
    ASSERT_FALSE(runner.StepScript());
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(vars.GetInt(1), 1);  // the top level ran once
    EXPECT_EQ(vars.GetInt(2), 123);
}

TEST_F(ControlFlowTest, CallSubAndJumpAcrossFiles) {
    WriteFile("Lib.txt",
              "*greet\n"
              "Calc($str[1] += \"hi\")\n"
              "Jump(bye, \"Other.txt\")\n"
              "*bye\n"
              "Calc($str[1] += \"wrong\")\n");
    WriteFile("Other.txt", "Calc($str[1] += \"-\")\n*bye\nCalc($str[1] += \"bye\")\nReturn\n");
    WriteFile("End.txt", "Calc($str[1] += \"!\")\n");
    Start(
        "CallSub(greet, \"Lib.txt\")\n"
        "Calc($num[1] = 1)\n"
        "CallSub(none, \"Missing.txt\")\n"
        "Jump(start, \"End.txt\")\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetString(1), "hibye!");
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_EQ(runner.reader().fileName(), "Script/End.txt");
}

TEST_F(ControlFlowTest, SubCallThatRunsOutReturnsAndReturnAtTopDoesNothing) {
    Start(
        "Return\n"
        "CallSub(sub)\n"
        "Calc($num[1] = 5)\n"
        "EndScript\n"
        "*sub\n"
        "Calc($num[2] = 7)\n");
    ASSERT_TRUE(RunToEnd(2));
    EXPECT_EQ(vars.GetInt(1), 5);
    EXPECT_EQ(vars.GetInt(2), 7);
    EXPECT_EQ(Depth(), 1);
}

TEST_F(ControlFlowTest, CallSubBecomesJumpWhenAllLevelsAreInUse) {
    Start(
        "*loop\n"
        "Calc($num[1] += 1)\n"
        "if($num[1] < 40)\n"
        "CallSub(loop)\n"
        "end\n"
        "WaitOK\n"
        "Calc($num[2] += 1)\n");
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 40);
    EXPECT_EQ(Depth(), CScriptReader::kMaxDepth);
    // Each level runs out after its WaitOK and returns to its caller, which goes on to its own
    // WaitOK: one frame per level.
    int frames = 0;
    do {
        runner.waitForOk = false;
        ++frames;
    } while (runner.StepScript() && frames < 100);
    EXPECT_EQ(frames, CScriptReader::kMaxDepth);
    EXPECT_EQ(vars.GetInt(2), CScriptReader::kMaxDepth);
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(vars.GetInt(1), 40);
}

TEST_F(ControlFlowTest, AJumpLoopWithoutAWaitStillEndsTheFrame) {
    Start("*loop\nCalc($num[1] += 1)\nJump(loop)\n");
    EXPECT_TRUE(runner.StepScript());
    const int perFrame = vars.GetInt(1);
    EXPECT_GT(perFrame, CScriptRunner::kMaxStatementsPerFrame / 4);
    EXPECT_TRUE(runner.StepScript());
    EXPECT_GT(vars.GetInt(1), perFrame);  // the loop goes on in the next frame
}

TEST_F(ControlFlowTest, WaitThirtyThenWaitOk) {
    Start("Wait(30)\nCalc($num[1] = 1)\nWaitOK\nCalc($num[2] = 1)\n");
    EXPECT_TRUE(runner.StepScript());
    for (int frame = 1; frame <= 30; ++frame) {
        EXPECT_TRUE(runner.StepScript());
        EXPECT_EQ(vars.GetInt(1), 0) << frame;
    }
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_TRUE(runner.waitForOk);
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(2), 0);
    buttons.pressed[kButtonOk] = 1;
    EXPECT_TRUE(runner.StepScript());
    buttons.pressed[kButtonOk] = 0;
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(2), 1);
}

TEST_F(ControlFlowTest, SavePointRecordsTheTopLevelFileAndSnapshotsTheVariables) {
    runner.SetStageCapture([](SavePointRecord& record) { record.bgmPath = "Music/bgm/a.ogg"; });
    WriteFile("Sub.txt", "*here\nCalc($num[1] = 2)\nSavePoint(\"In $str[0]\")\nCalc($num[1] = 3)\nReturn\n");
    Start("Calc($str[0] = \"sub\")\nCalc($flag[2] = true)\nCallSub(here, \"Sub.txt\")\nCalc($num[1] = 4)\n");
    ASSERT_TRUE(RunToEnd());
    const SavePointRecord& record = vars.savePoint();
    EXPECT_EQ(record.savePointName, "In $str[0]");  // a name is read as it is written
    EXPECT_EQ(record.scriptFile, "Script/Script.txt");
    EXPECT_EQ(record.bgmPath, "Music/bgm/a.ogg");
    EXPECT_EQ(record.focus, 100);
    EXPECT_TRUE(record.characters[0].visible());
    EXPECT_EQ(vars.snapshotInts()[1], 2);
    EXPECT_EQ(vars.snapshotFlagWords()[0], 4u);
    EXPECT_EQ(vars.snapshotStrings()[0], "sub");
    EXPECT_EQ(vars.GetInt(1), 4);
}

TEST_F(ControlFlowTest, SaveDataSavesTheLastSavePointAndChoosesTheQuickSaveSlot) {
    Start(
        "Calc($num[1] = 1)\n"
        "SaveData.Save(2)\n"
        "SavePoint(\"Noon\")\n"
        "Calc($num[1] = 2)\n"
        "SaveData.Save(4)\n"
        "SaveData.Refer(4, 20)\n"
        "SaveData.Refer(2, 21)\n"
        "SaveData.Refer(3, 22)\n"
        "SaveData.Load(-3)\n"
        "Font.Anything(1, 2)\n"
        "SaveData(1)\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetString(20), "Noon");
    EXPECT_EQ(vars.GetString(21), "");  // saved before any save point
    EXPECT_EQ(vars.GetString(22), "NO DATA");
    EXPECT_EQ(vars.quickSaveSlot(), 0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0], Cp932("SaveDataについて文法ミス？"));

    CVariableStore loaded;
    ASSERT_TRUE(LoadSaveFile(loaded, 4, zepa::testing::TestLog()));
    EXPECT_EQ(loaded.GetInt(1), 1);  // the value at the save point, not at the moment of saving
    EXPECT_EQ(loaded.savePoint().savePointName, "Noon");
    ASSERT_TRUE(LoadSaveFile(loaded, 2, zepa::testing::TestLog()));
    EXPECT_EQ(loaded.GetInt(1), 0);

    Start("SaveData.Save(7)\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.quickSaveSlot(), 7);
}

// The last line has no line break: reading it reaches the end of the text, and the jump must still
// move the read position back.
TEST_F(ControlFlowTest, JumpOnTheLastLineWithoutLineBreakJumps) {
    Start(
        "*top\n"
        "Calc($num[1] += 1)\n"
        "if($num[1] >= 3)\n"
        "  EndScript\n"
        "end\n"
        "Jump(top)");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetInt(1), 3);
}

// The caller's level has read its last byte; the called file must still run as a sub-call: its
// false blocks are skipped and a malformed line in it does not end the script.
TEST_F(ControlFlowTest, CallSubOnTheLastLineWithoutLineBreakRunsTheSubCall) {
    WriteFile("Sub.txt",
              "if(false)\n"
              "  Calc($num[1] = 1)\n"
              "end\n"
              "S[1\n"
              "Calc($num[2] = 2)\n");
    Start("Calc($num[3] = 3)\nCallSub(, \"Sub.txt\")");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_EQ(vars.GetInt(2), 2);
    EXPECT_EQ(vars.GetInt(3), 3);
}

TEST_F(ControlFlowTest, MalformedLineInASkippedBlockDoesNotEndTheSkip) {
    Start(
        "if(false)\n"
        "  S[1\n"
        "  Calc($num[1] = 1)\n"
        "else\n"
        "  Calc($num[2] = 2)\n"
        "end\n"
        "if(true)\n"
        "  Calc($num[3] = 3)\n"
        "elseif(true)\n"
        "  S[1\n"
        "  Calc($num[4] = 4)\n"
        "end\n"
        "Calc($num[5] = 5)\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_EQ(vars.GetInt(2), 2);
    EXPECT_EQ(vars.GetInt(3), 3);
    EXPECT_EQ(vars.GetInt(4), 0);
    EXPECT_EQ(vars.GetInt(5), 5);
}

// A skip that meets the end of the text stops there: the script ends.
TEST_F(ControlFlowTest, SkippedBlockRunningToTheEndOfTheTextEndsTheScript) {
    Start("if(false)\n  S[1\n  Calc($num[1] = 1)\n");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(vars.GetInt(1), 0);
}

}  // namespace
}  // namespace zepa
