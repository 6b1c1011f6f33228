// A command group run through its table: the subject read first, the range gate and the group's
// availability ahead of the unknown-sub-command rule, the rule itself, and the handler's action.
#include "script/SubCommandDispatch.h"

#include <gtest/gtest.h>

#include <string>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/VariableStore.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

struct Seen {
    int calls = 0;
    int32_t subject = 0;
    std::string subjectText;
};
Seen g_seen;

StepAction Record(ScriptContext&, const ScriptArgs& args) {
    ++g_seen.calls;
    g_seen.subject = args.subject();
    g_seen.subjectText = args.subjectText();
    return StepAction::Suspend;
}

constexpr SubCommand kRows[] = {{"Go", Record}};

CommandSignature Group(UnknownSubCommand unknown) {
    return {.keyword = "G", .subCommands = kRows, .unknown = unknown, .errorTextUtf8 = "G?"};
}

class SubCommandDispatchTest : public ::testing::Test {
  protected:
    SubCommandDispatchTest() {
        boxes.Clear();
        g_seen = {};
        ::testing::internal::CaptureStderr();  // the boxes go to stderr
    }
    ~SubCommandDispatchTest() override { ::testing::internal::GetCapturedStderr(); }

    StepAction Run(const CommandSignature& group, const std::string& sub, const std::string& arg0 = "") {
        statement.words[1] = sub;
        statement.args[0] = arg0;
        ScriptContext context{runner, statement};
        return RunCommandGroup(group, context);
    }

    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CScriptRunner runner{zepa::testing::MakeScriptServices(vars, random, buttons, boxes)};
    ScriptStatement statement;
};

TEST_F(SubCommandDispatchTest, EachRuleDecidesWhichSubCommandsShowTheBox) {
    struct Case {
        UnknownSubCommand rule;
        size_t boxesForEmpty;
        size_t boxesForUnknown;
    };
    for (const Case c :
         {Case{UnknownSubCommand::Accepted, 0, 0}, Case{UnknownSubCommand::ErrorUnlessEmpty, 0, 1},
          Case{UnknownSubCommand::ErrorAlways, 1, 1}}) {
        boxes.Clear();
        EXPECT_EQ(Run(Group(c.rule), ""), StepAction::Continue);
        EXPECT_EQ(boxes.shown().size(), c.boxesForEmpty);
        boxes.Clear();
        EXPECT_EQ(Run(Group(c.rule), "go"), StepAction::Continue);
        EXPECT_EQ(boxes.shown().size(), c.boxesForUnknown);
    }
    EXPECT_EQ(g_seen.calls, 0);
    EXPECT_EQ(Run(Group(UnknownSubCommand::ErrorAlways), "Go"), StepAction::Suspend);
    EXPECT_EQ(g_seen.calls, 1);
}

TEST_F(SubCommandDispatchTest, OutOfTheGateOrWithNothingToWorkOnTheStatementIsIgnoredBoxIncluded) {
    CommandSignature gated = Group(UnknownSubCommand::ErrorAlways);
    gated.gate = ArgKind::WindowNumber;
    Run(gated, "Bogus", "10");
    Run(gated, "Go", "-1");
    CommandSignature idle = Group(UnknownSubCommand::ErrorAlways);
    idle.available = [](const ScriptContext&) { return false; };
    Run(idle, "Bogus");
    Run(idle, "Go");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(g_seen.calls, 0);
    vars.SetInt(3, 9);
    EXPECT_EQ(Run(gated, "Go", "$num[3]"), StepAction::Suspend);
    EXPECT_EQ(g_seen.subject, 9);
    Run(gated, "Bogus", "0");
    EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(SubCommandDispatchTest, TheSubjectIsReadOnceAheadOfTheRuleAsTheGroupSays) {
    vars.SetString(2, "theme.wav");
    CommandSignature group = Group(UnknownSubCommand::ErrorAlways);
    group.subject = SubjectRead::String;
    const uint64_t before = vars.stringBytesTouched();
    Run(group, "Bogus", "$str[2]");
    EXPECT_EQ(vars.stringBytesTouched() - before, 9u) << "read even for an unknown sub-command";
    Run(group, "Go", "$str[2]");
    EXPECT_EQ(vars.stringBytesTouched() - before, 18u);
    EXPECT_EQ(g_seen.subjectText, "theme.wav");
    group.subject = SubjectRead::Int;
    Run(group, "Go", "7");
    EXPECT_EQ(g_seen.subject, 7);
    EXPECT_EQ(g_seen.subjectText, "");
}

TEST_F(SubCommandDispatchTest, EveryKeywordHasATableOrAHandlerAndEveryRowAHandler) {
    for (const KeywordEntry& entry : KeywordTable()) {
        EXPECT_NE(entry.signature == nullptr, entry.handler == nullptr) << entry.keyword;
        if (!entry.signature) continue;
        EXPECT_EQ(entry.signature->keyword, entry.keyword);
        for (const SubCommand& row : entry.signature->subCommands) EXPECT_NE(row.run, nullptr) << row.name;
    }
}

}  // namespace
}  // namespace zepa
