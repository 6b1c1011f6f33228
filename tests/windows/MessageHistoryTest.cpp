// The message history: what starts and extends an entry, the limit of kept entries, and the
// script's PrintText and AddText reaching it through the window set (a closed window keeps
// nothing).
#include <gtest/gtest.h>

#include <string>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/ScriptServices.h"
#include "script/VariableStore.h"
#include "support/TestServices.h"
#include "windows/MessageHistory.h"
#include "windows/WindowSet.h"

namespace zepa {
namespace {

std::vector<std::string> Texts(const CMessageHistory& history) {
    std::vector<std::string> texts;
    for (const CMessageHistory::Entry& entry : history.entries()) texts.push_back(entry.text);
    return texts;
}

TEST(MessageHistory, PrintStartsAnEntryAndAddExtendsTheSameWindowsEntry) {
    CMessageHistory history;
    history.Add(0, "alone");  // no entry of window 0 yet: starts one
    history.Print(0, "Hello");
    history.Print(1, "Aoi");
    history.Add(0, ", world");
    history.Print(2, "");  // empty: nothing
    history.Add(2, "caption");
    history.Add(1, "");
    using Texts = std::vector<std::string>;
    EXPECT_EQ(::zepa::Texts(history), (Texts{"alone", "Hello, world", "Aoi", "caption"}));
    EXPECT_EQ(history.entries()[1].window, 0);
    EXPECT_EQ(history.entries()[2].window, 1);
    // An empty print ends the window's entry: the next AddText starts another.
    history.Print(0, "");
    history.Add(0, "next");
    EXPECT_EQ(history.entries().back().text, "next");
    EXPECT_EQ(history.size(), 5u);
    history.Clear();
    EXPECT_TRUE(history.empty());
    history.Add(1, "after");
    EXPECT_EQ(::zepa::Texts(history), (Texts{"after"}));
}

TEST(MessageHistory, KeepsTheLatestFiveHundredEntries) {
    CMessageHistory history;
    for (int i = 0; i < 600; ++i) history.Print(i % 2, std::to_string(i));
    ASSERT_EQ(history.size(), CMessageHistory::kMaxEntries);
    EXPECT_EQ(history.entries().front().text, "100");
    EXPECT_EQ(history.entries().back().text, "599");
    history.Add(1, "+");  // window 1's entry is the newest
    EXPECT_EQ(history.entries().back().text, "599+");
    history.Add(0, "+");
    EXPECT_EQ(history.entries()[498].text, "598+");
    // A window whose entry has gone starts a new one.
    history.Print(2, "old");
    for (int i = 0; i < 500; ++i) history.Print(3, "x");
    history.Add(2, " and new");
    EXPECT_EQ(history.entries().back().text, " and new");
    EXPECT_EQ(history.size(), CMessageHistory::kMaxEntries);
}

TEST(MessageHistory, TheScriptsTextsOfOpenMessageWindowsAreKept) {
    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{testing::TestLog()};
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowSet windows{environment};
    CScriptRunner runner(testing::MakeScriptServices(vars, random, buttons, boxes));
    runner.windows = &windows;
    runner.reader().SetText("Script/Script.txt",
                            "MessageWindow[1].PrintText(\"not shown\")\n"
                            "MessageWindow.Open(0)\nCalc($num[1] = 7)\n"
                            "MessageWindow[0].PrintText(\"Day $num[1]\")\nMessageWindow[0].AddText(\"!\")\n"
                            "MessageWindow[1].AddText(\"still closed\")\n"
                            "MessageWindow[0].Close()\nMessageWindow[0].AddText(\" lost\")\nWaitOK\n");
    runner.StepScript();
    EXPECT_EQ(Texts(windows.history()), std::vector<std::string>{"Day 7!"});
    EXPECT_EQ(windows.message(1).pendingText().text(), "not shownstill closed");
}

}  // namespace
}  // namespace zepa
