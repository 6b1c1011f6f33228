#include "script/ScriptRunner.h"

#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "script/ScriptRandom.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

class ScriptRunnerTest : public ::testing::Test {
  protected:
    ScriptRunnerTest() : runner(zepa::testing::MakeScriptServices(vars, random, buttons, boxes)) {
        boxes.Clear();
    }
    void Load(const std::string& text) { runner.reader().SetText("Script/Script.txt", text); }

    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CScriptRunner runner;
};

TEST_F(ScriptRunnerTest, ThousandCalcStatementsRunInOneFrame) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "Calc($num[1] += 1)\n";
    Load(text + "WaitOK\nCalc($num[1] = 0)\n");
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1000);
    EXPECT_TRUE(runner.waitForOk);
}

TEST_F(ScriptRunnerTest, WaitCountsWholeFramesAfterTheCurrentOne) {
    struct Case {
        const char* wait;
        int framesSkipped;
    };
    for (const Case c : {Case{"Wait(0)", 0}, Case{"Wait(2)", 2}, Case{"Wait(-5)", 0}, Case{"Wait", 0}}) {
        SCOPED_TRACE(c.wait);
        vars.SetInt(1, 0);
        Load(std::string("Calc($num[1] = 1)\n") + c.wait + "\nCalc($num[1] = 2)\nWaitOK\n");
        EXPECT_TRUE(runner.StepScript());
        EXPECT_EQ(vars.GetInt(1), 1);
        for (int frame = 0; frame < c.framesSkipped; ++frame) {
            EXPECT_TRUE(runner.StepScript());
            EXPECT_EQ(vars.GetInt(1), 1);
        }
        EXPECT_TRUE(runner.StepScript());
        EXPECT_EQ(vars.GetInt(1), 2);
        runner.waitForOk = false;
    }
}

TEST_F(ScriptRunnerTest, WaitOkResumesTheFrameAfterTheOkPress) {
    Load("WaitOK\nCalc($num[1] = 1)\nWaitOK\n");
    EXPECT_TRUE(runner.StepScript());
    buttons.down[kButtonOk] = 1;  // held, but no pressed edge
    buttons.pressed[kButtonCancel] = 1;
    EXPECT_TRUE(runner.StepScript());
    EXPECT_TRUE(runner.waitForOk);
    buttons.pressed[kButtonOk] = 1;  // frame k: the press clears the wait, nothing runs yet
    EXPECT_TRUE(runner.StepScript());
    EXPECT_FALSE(runner.waitForOk);
    EXPECT_EQ(vars.GetInt(1), 0);
    buttons.pressed[kButtonOk] = 0;  // frame k + 1: the statement after WaitOK runs
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_TRUE(runner.waitForOk);
}

TEST_F(ScriptRunnerTest, SuspensionOrderSelectionThenWaitThenOk) {
    bool selecting = true;
    runner.SetSelectionActiveQuery([&] { return selecting; });
    Load("Calc($num[1] = 1)\n");
    runner.waitCounter = 1;
    runner.waitForOk = true;
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(runner.waitCounter, 1);  // a choice holds everything
    selecting = false;
    buttons.pressed[kButtonOk] = 1;
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(runner.waitCounter, 0);
    EXPECT_TRUE(runner.waitForOk);  // the frame wait came first
    EXPECT_TRUE(runner.StepScript());
    EXPECT_FALSE(runner.waitForOk);
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_FALSE(runner.StepScript());  // runs the Calc, then the text ends
    EXPECT_EQ(vars.GetInt(1), 1);
}

TEST_F(ScriptRunnerTest, UnknownKeywordShowsTheBoxAndGoesOn) {
    Load("end\nFont\nBackground.Anything(1)\nEndscript\nCalc($num[1] = 3)\nEndScript\nCalc($num[1] = 4)\n");
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 3);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0], Cp932("Backgroundについて文法ミス？"));
    EXPECT_EQ(boxes.shown()[1], Cp932("文法ミス？"));
}

TEST_F(ScriptRunnerTest, MalformedStatementEndsTheFrameAndTheRestReadsNext) {
    Load("Calc($num[1] = 1)\nS[1\nCalc($num[2] = 2)\nWaitOK\n");
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 1);
    EXPECT_EQ(vars.GetInt(2), 0);
    EXPECT_TRUE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(2), 2);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ScriptRunnerTest, EndOfTextEndsTheScript) {
    Load("Calc($num[1] = 5)");  // ')' may be the last byte
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 5);
    Load("Calc($num[1] = 6");  // an argument list left open
    EXPECT_FALSE(runner.StepScript());
    EXPECT_EQ(vars.GetInt(1), 5);
    Load("");
    EXPECT_FALSE(runner.StepScript());
}

}  // namespace
}  // namespace zepa
