// The control-flow command group: conditional blocks, jumps and sub-calls, save points, the window
// title and the end of the script.
#include "script/SavePointRecord.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptCondition.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

// Reads the next statement while passing over a block; false when the text has ended (the
// innermost level's, or the script's). A malformed statement is passed over like any other: it
// does not end the block. Each read counts against the frame's budget, so a loop around a long
// false block still ends its frame soon; every failed read consumes bytes, so this ends.
bool ReadSkipped(CScriptRunner& runner) {
    CScriptReader& reader = runner.reader();
    for (;;) {
        runner.ChargeStatements(1);
        if (reader.ReadStatement()) return !reader.IsAtEnd();
        if (reader.Innermost().atEnd()) return false;
    }
}

// After a false condition: passes over statements up to the `else` or `elseif` of this block, or
// just past its `end`. An `elseif` at this level is evaluated in turn and, when false, skipping
// goes on from it. Nested blocks are counted, not recursed into.
void SkipFalseBranch(ScriptContext& context) {
    CScriptRunner& runner = context.runner;
    CScriptReader& reader = runner.reader();
    int depth = 1;
    while (ReadSkipped(runner)) {
        const ScriptStatement& statement = reader.statement();
        const std::string& keyword = statement.words[0];
        if (keyword == "if") {
            ++depth;
        } else if (keyword == "end") {
            if (--depth == 0) return;
        } else if (keyword == "elseif" && depth == 1) {
            if (EvaluateCondition(statement, context.variables())) return;
        } else if (keyword == "else" && depth == 1) {
            return;
        }
    }
}

// After a branch that ran: passes over the rest of the block, just past its `end`.
void SkipToEnd(CScriptRunner& runner) {
    CScriptReader& reader = runner.reader();
    int depth = 1;
    while (ReadSkipped(runner)) {
        const std::string& keyword = reader.statement().words[0];
        if (keyword == "if") ++depth;
        if (keyword == "end" && --depth == 0) return;
    }
}

struct JumpTarget {
    std::string label;
    std::string file;  // empty: the current file
};

JumpTarget ReadJumpTarget(const ScriptArgs& args) {
    return {args.String(0), args.String(1)};
}

std::string ScriptPath(const std::string& file) {
    return "Script/" + file;
}

void JumpTo(CScriptReader& reader, const JumpTarget& target) {
    if (!target.file.empty()) reader.Innermost().LoadText(ScriptPath(target.file));
    reader.SeekLabel(target.label);
}

}  // namespace

StepAction CommandIf(ScriptContext& context, const ScriptArgs&) {
    if (!EvaluateCondition(context.statement, context.variables())) SkipFalseBranch(context);
    return StepAction::Continue;
}

StepAction CommandElseIf(ScriptContext& context, const ScriptArgs&) {
    SkipToEnd(context.runner);
    return StepAction::Continue;
}

StepAction CommandElse(ScriptContext& context, const ScriptArgs&) {
    SkipToEnd(context.runner);
    return StepAction::Continue;
}

// Closes an if block; nothing to do when it is reached by running on.
StepAction CommandEnd(ScriptContext&, const ScriptArgs&) {
    return StepAction::Continue;
}

StepAction CommandJump(ScriptContext& context, const ScriptArgs& args) {
    JumpTo(context.runner.reader(), ReadJumpTarget(args));
    return StepAction::Continue;
}

// With every level in use, the call becomes a jump in the innermost level.
StepAction CommandCallSub(ScriptContext& context, const ScriptArgs& args) {
    const JumpTarget target = ReadJumpTarget(args);
    CScriptReader& reader = context.runner.reader();
    if (reader.Innermost().depth() >= CScriptReader::kMaxDepth) {
        JumpTo(reader, target);
        return StepAction::Continue;
    }
    // A missing file still opens a level, with no text: it ends at once and returns.
    reader.PushLevel(target.file.empty() ? std::string() : ScriptPath(target.file));
    reader.SeekLabel(target.label);
    return StepAction::Continue;
}

// Outside a sub-call there is no level to close and the statement does nothing.
StepAction CommandReturn(ScriptContext& context, const ScriptArgs&) {
    context.runner.reader().PopLevel();
    return StepAction::Continue;
}

StepAction CommandSavePoint(ScriptContext& context, const ScriptArgs& args) {
    CScriptRunner& runner = context.runner;
    SavePointRecord record;
    record.focus = SavePointRecord::kNoFocus;
    for (CharacterSlotRecord& slot : record.characters) slot.SetFlags(true, false);
    runner.CaptureStage(record);
    record.scriptFile = runner.reader().fileName();
    record.savePointName = args.String(0);
    context.variables().TakeSnapshot(record);
    return StepAction::Continue;
}

StepAction CommandSetTitle(ScriptContext& context, const ScriptArgs& args) {
    context.SetWindowTitle(args.Text(0));
    return StepAction::Continue;
}

StepAction CommandEndScript(ScriptContext&, const ScriptArgs&) {
    return StepAction::End;
}

}  // namespace zepa
