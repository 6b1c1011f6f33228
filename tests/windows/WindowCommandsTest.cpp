// The MessageWindow and SelectWindow statements run through the script runner against a window
// set: defaults of Open, ignored window numbers, routing of the font sub-commands, error boxes,
// and a choice that suspends the script and lands in its variable in the deciding frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/ScriptServices.h"
#include "script/VariableStore.h"
#include "support/TestServices.h"
#include "windows/WindowSet.h"

namespace zepa {
namespace {

class WindowCommandsTest : public ::testing::Test {
  protected:
    WindowCommandsTest() : runner(testing::MakeScriptServices(vars, random, buttons, boxes)) {
        runner.windows = &windows;
        runner.SetSelectionActiveQuery([this] { return windows.AnySelectionActive(); });
        environment.LoadSkin(CWindowBase::kDefaultSkinFile);
    }

    void Run(const std::string& text) {
        runner.reader().SetText("Script/Script.txt", text + "WaitOK\n");
        runner.StepScript();
        runner.waitForOk = false;
    }
    // One frame of the main scene: the script, then the windows.
    void Frame() {
        runner.StepScript();
        UpdateSelections();
        windows.UpdateMessages();
        buttons = ButtonState{};
    }
    // The selection windows with this frame's buttons; a decided choice is handed over with its
    // window's result variable, and stored, as the main scene does, when that names an integer.
    void UpdateSelections() {
        windows.UpdateSelections(buttons, [this](int32_t variable, int32_t result) {
            decided.emplace_back(variable, result);
            if (variable >= 0 && variable < CVariableStore::kIntCount) vars.SetInt(variable, result);
        });
    }

    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{testing::TestLog()};
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowSet windows{environment};
    CScriptRunner runner;
    std::vector<std::pair<int32_t, int32_t>> decided;  // (variable, result) of each decided choice
};

TEST_F(WindowCommandsTest, MessageWindowOpenDefaultsFromTheFirstEmptyArgument) {
    Run("MessageWindow.Open(0)\n"
        "MessageWindow[1].Open(10, 20)\n"
        "MessageWindow.Open(2, 10, 20, 300, 100, \"fade\", false)\n"
        "MessageWindow.Open(3, 10, \"\", 300, 100, \"fade\", false, false)\n");
    const CWindowMessage& w0 = windows.message(0);
    EXPECT_TRUE(w0.isOpen());
    EXPECT_EQ(w0.x(), 0);
    EXPECT_EQ(w0.width(), 640);
    EXPECT_EQ(w0.height(), 160);
    EXPECT_TRUE(w0.visible());
    EXPECT_TRUE(w0.skinVisible());
    EXPECT_FALSE(w0.animating());
    EXPECT_EQ(windows.message(1).y(), 20);
    EXPECT_EQ(windows.message(1).width(), 640);
    const CWindowMessage& w2 = windows.message(2);
    EXPECT_EQ(w2.width(), 300);
    EXPECT_TRUE(w2.animating());
    EXPECT_FALSE(w2.visible());
    EXPECT_TRUE(w2.skinVisible());
    // An empty y gives everything after it its default too.
    const CWindowMessage& w3 = windows.message(3);
    EXPECT_EQ(w3.x(), 0);  // 10 + the default width 640 is pulled back into the screen
    EXPECT_EQ(w3.y(), 0);
    EXPECT_EQ(w3.width(), 640);
    EXPECT_TRUE(w3.visible());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(WindowCommandsTest, WindowNumbersOutsideTheRangeAreIgnoredSilently) {
    Run("MessageWindow[10].PrintText(\"x\")\nMessageWindow[-1].Bogus\nSelectWindow[10].Select(true, 5)\n"
        "Calc($num[1] = 1)\n");
    EXPECT_EQ(vars.GetInt(1), 1);  // nothing suspended the script
    EXPECT_TRUE(boxes.shown().empty());
    for (int n = 0; n < 10; ++n) EXPECT_FALSE(windows.message(n).typing());
}

TEST_F(WindowCommandsTest, UnknownSubCommandsShowTheErrorBoxes) {
    Run("MessageWindow[0].Bogus\nSelectWindow[0].Wobble\nMessageWindow[0]\nSelectWindow[0]\n");
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0], Cp932("MessageWindowについて文法ミス？"));
    EXPECT_EQ(boxes.shown()[1], Cp932("SelectWindowについて文法ミス？"));
}

TEST_F(WindowCommandsTest, TextCommandsExpandVariablesAndFontCommandsReachTheWindow) {
    Run("Calc($str[3] = \"Mia\")\nMessageWindow.Open(0)\nMessageWindow.PrintText(0, \"Hi $str[3]\")\n"
        "MessageWindow.AddText(0, \"!\")\nMessageWindow.FontColor(0, 255, 256, 1, 511)\n"
        "MessageWindow.FontSize(0, 30)\nMessageWindow.FontShade(0, false)\nMessageWindow.SkinType(0, -2)\n"
        "MessageWindow.SkinVisible(0, false)\nMessageWindow.SetVisible(0, false)\n");
    const CWindowMessage& w = windows.message(0);
    EXPECT_EQ(w.pendingText().text(), "Hi Mia!");
    EXPECT_EQ(w.textColor(), 0xFF0001FFu);
    EXPECT_EQ(w.fontSize(), 30);
    EXPECT_FALSE(w.shaded());
    EXPECT_EQ(w.skinType(), kSkinTiled);
    EXPECT_FALSE(w.skinVisible());
    EXPECT_FALSE(w.visible());
    Run("MessageWindow.Close(0)\n");
    EXPECT_FALSE(w.isOpen());
}

TEST_F(WindowCommandsTest, SelectWindowFontCommandsGoToTheDescriptionWindow) {
    Run("SelectWindow.FontSize(0, 20)\n"  // no description window yet: lost
        "SelectWindow.OpenDescription(0, 0, 300)\n"
        "SelectWindow.DescriptionFontSize(0, 18)\nSelectWindow.FontColor(0, 1, 2, 3, 4)\n"
        "SelectWindow.FontShade(0, false)\nSelectWindow.DescriptionFontShade(0, false)\n"
        "SelectWindow.SkinType(0, 7)\n");
    CWindowSelectable& s = windows.selection(0);
    ASSERT_NE(s.descriptionWindow(), nullptr);
    EXPECT_EQ(s.descriptionWindow()->fontSize(), 18);
    EXPECT_EQ(s.descriptionWindow()->textColor(), 0x01020304u);
    EXPECT_FALSE(s.descriptionWindow()->shaded());
    EXPECT_EQ(s.descriptionWindow()->y(), 300);
    EXPECT_EQ(s.fontSize(), 24);
    EXPECT_FALSE(s.shaded());
    EXPECT_EQ(s.skinType(), kSkinStretched);
    Run("SelectWindow.CloseDescription(0)\n");
    EXPECT_EQ(s.descriptionWindow(), nullptr);
}

TEST_F(WindowCommandsTest, ChoiceSuspendsTheScriptAndStoresTheResultInTheDecidingFrame) {
    runner.reader().SetText(
        "Script/Script.txt",
        "SelectWindow.Open(0, 120, 300, 400, 120)\nSelectWindow.ContentsNum(0, 3)\n"
        "SelectWindow.ContentsHeight(0, 24)\n"
        "SelectWindow.SetContents(0, 0, \"Go left\")\nSelectWindow.SetContents(0, 1, \"Go right\")\n"
        "SelectWindow.SetContents(0, 2, \"Stay\", false)\nSelectWindow.SetContents(0, 3, \"x\")\n"
        "SelectWindow.Select(0, true, 100)\nCalc($num[1] = 1)\nWaitOK\n");
    Frame();
    const CWindowSelectable& s = windows.selection(0);
    EXPECT_TRUE(s.active());
    EXPECT_EQ(s.itemCount(), 3);
    EXPECT_FALSE(s.itemEnabled(2));
    EXPECT_EQ(vars.GetInt(1), 0);
    buttons.pressed[kButtonDown] = 1;
    Frame();
    EXPECT_EQ(s.cursor(), 1);
    EXPECT_EQ(vars.GetInt(1), 0);  // the script waits while the choice runs
    buttons.pressed[kButtonOk] = 1;
    Frame();
    EXPECT_EQ(vars.GetInt(100), 1);  // stored in the deciding frame
    EXPECT_FALSE(s.active());
    EXPECT_EQ(s.cursor(), -1);
    EXPECT_TRUE(s.isOpen());
    EXPECT_EQ(vars.GetInt(1), 0);
    Frame();
    EXPECT_EQ(vars.GetInt(1), 1);  // the script goes on the next frame
}

TEST_F(WindowCommandsTest, CancelStoresMinusOneAndBadVariablesDiscardTheResult) {
    vars.SetInt(7, 42);
    runner.reader().SetText("Script/Script.txt",
                            "SelectWindow.ContentsNum(1, 2)\nSelectWindow.Open(1)\n"
                            "SelectWindow.Select(1, true, 7)\nSelectWindow.SetContentsEnable(1, 0, true)\n"
                            "SelectWindow.Select(1, true, 70000)\nWaitOK\n");
    Frame();
    buttons.pressed[kButtonCancel] = 1;
    Frame();
    EXPECT_EQ(vars.GetInt(7), -1);
    Frame();  // the second choice: a variable number beyond the integers
    ASSERT_TRUE(windows.selection(1).active());
    buttons.pressed[kButtonOk] = 1;
    Frame();
    EXPECT_FALSE(windows.selection(1).active());
    EXPECT_EQ(vars.GetInt(7), -1);
    using Decided = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(decided, (Decided{{7, -1}, {70000, 0}}));
}

TEST_F(WindowCommandsTest, SelectFalseStopsTheChoiceAndStillEndsTheFrame) {
    runner.reader().SetText("Script/Script.txt",
                            "SelectWindow.Select(2, false, 5)\nCalc($num[1] = 1)\nWaitOK\n");
    Frame();
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_EQ(windows.selectResultVariable[2], 5);
    Frame();
    EXPECT_EQ(vars.GetInt(1), 1);
}

TEST_F(WindowCommandsTest, SoundFilesArePrefixedWithTheEffectsFolder) {
    std::vector<std::string> played;
    windows.selection(0).SetSoundSink([&](const std::string& path) { played.push_back(path); });
    Run("SelectWindow.ContentsNum(0, 2)\nSelectWindow.Open(0)\nSelectWindow.CursorMoveSeFile(0, \"m.wav\")\n"
        "SelectWindow.CancelSeFile(0, \"c.ogg\")\nSelectWindow.SelectSeFile(0, \"s.wav\")\n"
        "SelectWindow.SetContentsEnable(0, 1, true)\nSelectWindow.Select(0, true, 3)\n");
    buttons.pressed[kButtonDown] = 1;
    UpdateSelections();
    buttons = ButtonState{};
    buttons.pressed[kButtonOk] = 1;
    UpdateSelections();
    EXPECT_EQ(played, (std::vector<std::string>{"Music/se/m.wav", "Music/se/s.wav"}));
    EXPECT_EQ(vars.GetInt(3), 1);
}

}  // namespace
}  // namespace zepa
