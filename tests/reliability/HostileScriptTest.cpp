// Scripts written to hurt: a 10 MB line, 1,000 nested if blocks, 32 nested sub-calls and deeper
// recursion, and loops that never wait — around plain jumps, around long skipped blocks and around
// megabyte string copies. Each must finish its frame after bounded work and leave the script
// running correctly.
#include <gtest/gtest.h>

#include "support/TestServices.h"

#include <filesystem>
#include <string>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "script/ScriptRandom.h"
#include "script/ScriptReader.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

class HostileScript : public ::testing::Test {
  protected:
    HostileScript()
        : cwd(folder.path()), runner(zepa::testing::MakeScriptServices(vars, random, buttons, boxes)) {
        boxes.Clear();
    }

    void Start(const std::string& text) {
        WriteFileBytes("Script/Script.txt", text);
        runner.reader().LoadText("Script/Script.txt");
    }

    TempFolder folder;
    ScopedWorkingDirectory cwd;
    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CScriptRunner runner;
};

constexpr size_t kTenMegabytes = 10 * 1024 * 1024;

TEST_F(HostileScript, TenMegabyteLinesAreReadAndTheScriptGoesOnAfterThem) {
    // A comment line, a statement whose argument is one huge quoted string, and a statement with
    // a huge unquoted expression: each is one line of 10 MB.
    std::string text = "Calc($num[1] = 1)\n//" + std::string(kTenMegabytes, 'c') + "\n";
    text += "Calc($str[1] = \"" + std::string(kTenMegabytes, 's') + "\")\n";
    text += "Calc($num[2] = " + std::string(kTenMegabytes, '1') + ")\n";
    text += "Calc($num[3] = 3)\n";
    Start(text);
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_EQ(vars.GetInt(3), 3);
    // A string variable never grows past its limit, however long the text that sets it.
    EXPECT_LE(vars.GetString(1).size(), CVariableStore::kMaxStringLength);
    // A number too long for 32 bits saturates instead of wrapping.
    EXPECT_EQ(vars.GetInt(2), 2147483647);
}

TEST_F(HostileScript, AThousandNestedIfBlocksRunAndSkipCorrectly) {
    constexpr int kDepth = 1000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) text += "if($num[9] == 0)\n";
    text += "Calc($num[1] = 1)\n";
    for (int i = 0; i < kDepth; ++i) text += "end\n";
    // The same nesting under a false condition is passed over as a whole, else branch taken.
    text += "if($num[1] == 0)\n";
    for (int i = 0; i < kDepth; ++i) text += "if(true)\nCalc($num[2] = 99)\nelse\nCalc($num[2] = 98)\n";
    for (int i = 0; i < kDepth; ++i) text += "end\n";
    text += "else\nCalc($num[3] = 3)\nend\nCalc($num[4] = 4)\n";
    Start(text);
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_EQ(vars.GetInt(2), 0);
    EXPECT_EQ(vars.GetInt(3), 3);
    EXPECT_EQ(vars.GetInt(4), 4);
}

TEST_F(HostileScript, ThirtyTwoNestedCallsReturnInOrderAndDeeperRecursionIsCapped) {
    // Each call level counts itself, calls one deeper until $num[1] reaches the target, then
    // records the order of the returns.
    Start(
        "CallSub(down)\n"
        "Calc($num[9] = 1)\n"
        "EndScript\n"
        "*down\n"
        "Calc($num[1] += 1)\n"
        "if($num[1] < $num[5])\n"
        "CallSub(down)\n"
        "end\n"
        "Calc($num[2] += 1)\n"
        "Return\n");
    vars.SetInt(5, CScriptReader::kMaxDepth - 1);  // 31 calls below the top level: 32 levels
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), CScriptReader::kMaxDepth - 1);
    EXPECT_EQ(vars.GetInt(2), CScriptReader::kMaxDepth - 1);
    EXPECT_EQ(vars.GetInt(9), 1);
    EXPECT_EQ(runner.reader().Innermost().depth(), 1);

    // Asking for 1,000 levels: calls past the last level become jumps, the script still ends.
    vars.SetInt(1, 0);
    vars.SetInt(2, 0);
    vars.SetInt(9, 0);
    vars.SetInt(5, 1000);
    runner.reader().LoadText("Script/Script.txt");
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1000);
    EXPECT_EQ(vars.GetInt(9), 1);
}

// Runs one frame and returns how many loop rounds it made (the loop counts in $num[1]).
int RoundsInOneFrame(CScriptRunner& runner, CVariableStore& vars) {
    const int before = vars.GetInt(1);
    EXPECT_TRUE(runner.StepScript());
    EXPECT_TRUE(runner.frameBudgetSpent());
    return vars.GetInt(1) - before;
}

TEST_F(HostileScript, ALoopAroundALongSkippedBlockEndsItsFrameWithinTheBudget) {
    // Each round reads 10,003 statements, almost all of them passed over.
    constexpr int kBlock = 10000;
    std::string text = "*loop\nCalc($num[1] += 1)\nif(false)\n";
    for (int i = 0; i < kBlock; ++i) text += "Calc($num[2] = 1)\n";
    text += "end\nJump(loop)\n";
    Start(text);
    const int rounds = RoundsInOneFrame(runner, vars);
    EXPECT_GE(rounds, CScriptRunner::kMaxStatementsPerFrame / (kBlock + 4) - 1);
    EXPECT_LE(rounds, CScriptRunner::kMaxStatementsPerFrame / kBlock + 1);
    EXPECT_EQ(vars.GetInt(2), 0);
    // The next frame picks up where this one stopped.
    EXPECT_GT(RoundsInOneFrame(runner, vars), 0);
}

TEST_F(HostileScript, ALoopCopyingMegabyteStringsEndsItsFrameWithinTheBudget) {
    Start(
        "Calc($str[1] = \"0123456789abcdef\")\n"
        "*grow\n"
        "Calc($str[1] += $str[1])\n"
        "Calc($num[2] += 1)\n"
        "if($num[2] < 16)\n"
        "Jump(grow)\n"
        "end\n"
        "*loop\n"
        "Calc($num[1] += 1)\n"
        "Calc($str[2] = $str[1])\n"
        "Jump(loop)\n");
    ASSERT_TRUE(runner.StepScript());
    ASSERT_EQ(vars.GetString(1).size(), 1024u * 1024u);
    // Each round reads and stores one megabyte: 2 x 1,024 budget units, plus its three statements.
    const int rounds = RoundsInOneFrame(runner, vars);
    const int perRound = 3 + 2 * (1 << 20) / CScriptRunner::kStringBytesPerStatement;
    EXPECT_LE(rounds, CScriptRunner::kMaxStatementsPerFrame / perRound + 1);
    EXPECT_GE(rounds, CScriptRunner::kMaxStatementsPerFrame / perRound - 1);
}

TEST_F(HostileScript, ALoopReadingMegabyteStringsWithoutStoringThemEndsItsFrameWithinTheBudget) {
    // Found by fuzzing: the sum would pass the length limit, so nothing is stored, yet both
    // megabyte operands are still read every round.
    vars.SetString(1, std::string(CVariableStore::kMaxStringLength, 'm'));
    Start("*loop\nCalc($num[1] += 1)\nCalc($str[1] += $str[1])\nJump(loop)\n");
    const int rounds = RoundsInOneFrame(runner, vars);
    EXPECT_EQ(vars.GetString(1).size(), CVariableStore::kMaxStringLength);
    EXPECT_LE(rounds, CScriptRunner::kMaxStatementsPerFrame / 1024 + 1);
    EXPECT_GE(rounds, CScriptRunner::kMaxStatementsPerFrame / (4 * 1024));
}

TEST_F(HostileScript, ALoopOfSavesAndSaveReadsEndsItsFrameAfterAFewFiles) {
    // Found by fuzzing: each save writes and flushes a whole file, yet counted as one statement.
    Start("*loop\nCalc($num[1] += 1)\nSaveData.Save(2)\nJump(loop)\n");
    int rounds = RoundsInOneFrame(runner, vars);
    const int perSave = 2 + CScriptRunner::kFileWriteStatements;
    EXPECT_LE(rounds, CScriptRunner::kMaxStatementsPerFrame / perSave + 1);
    EXPECT_GE(rounds, CScriptRunner::kMaxStatementsPerFrame / perSave - 1);
    EXPECT_TRUE(std::filesystem::is_regular_file("Save/Save2.dat"));

    Start("*loop\nCalc($num[1] += 1)\nSaveData.Refer(2, 5)\nJump(loop)\n");
    rounds = RoundsInOneFrame(runner, vars);
    const int perRead = 2 + CScriptRunner::kFileReadStatements;
    EXPECT_LE(rounds, CScriptRunner::kMaxStatementsPerFrame / perRead + 1);
    EXPECT_GE(rounds, CScriptRunner::kMaxStatementsPerFrame / perRead - 1);
}

TEST_F(HostileScript, ALoopOverAFaultyStatementKeepsOnlyTheLatestMessages) {
    Start("*loop\nCalc($num[1] += 1)\nNoSuchCommand(1)\nJump(loop)\n");
    runner.SetFrameBudget(30000);  // at least 7,500 messages per frame
    for (int frame = 0; frame < 3; ++frame) EXPECT_TRUE(runner.StepScript());

    EXPECT_GE(vars.GetInt(1), 3 * 30000 / 4);
    EXPECT_GE(boxes.shown().size(), 1000u);
    EXPECT_LE(boxes.shown().size(), 2000u);
}

TEST_F(HostileScript, AStatementThatJumpsToItselfEndsEveryFrameAfterTheBudget) {
    Start("*self\nJump(self)\n");
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(runner.StepScript());
        EXPECT_TRUE(runner.frameBudgetSpent());
    }
    // A sub-call to itself: the levels fill up, then the calls act as jumps; still bounded.
    Start("*self\nCallSub(self)\n");
    EXPECT_TRUE(runner.StepScript());
    EXPECT_TRUE(runner.frameBudgetSpent());
    EXPECT_EQ(runner.reader().Innermost().depth(), CScriptReader::kMaxDepth);
}

}  // namespace
}  // namespace zepa
