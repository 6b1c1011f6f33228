// The statement handlers, one per keyword, each command group in its own Commands*.cpp file
// (backgrounds, characters, pictures, sprites, windows, sound, save data, control flow, variables).
// StepScript dispatches to them through its keyword table.
#pragma once

#include <span>
#include <string_view>

namespace zepa {

class CScriptRunner;
struct CommandSignature;
struct ScriptStatement;

// What the statement loop does after a statement.
enum class StepAction {
    Continue,  // read the next statement in this frame
    Suspend,   // end this frame's loop; the script goes on in a later frame
    End,       // the script is over
};

// Everything a handler may touch: the runner (reader, wait state, variables, generator) and the
// statement being executed.
struct ScriptContext {
    CScriptRunner& runner;
    const ScriptStatement& statement;
};

using CommandHandler = StepAction (*)(ScriptContext&);

// One keyword of the statement language: its handler and, for the groups with sub-commands, what
// they accept (null for the others, which ignore words[1]).
struct KeywordEntry {
    std::string_view keyword;
    CommandHandler handler;
    const CommandSignature* signature = nullptr;
};

// Every keyword, in the order dispatch tests them (exact, case-sensitive equality).
std::span<const KeywordEntry> KeywordTable();
// The entry for `keyword`, or null for a keyword no command has.
const KeywordEntry* FindKeyword(std::string_view keyword);

// Stage: backgrounds, characters, pictures, text pictures, sprites.
StepAction CommandBackground(ScriptContext& context);
StepAction CommandCharacter(ScriptContext& context);
StepAction CommandPicture(ScriptContext& context);
StepAction CommandTextPicture(ScriptContext& context);
StepAction CommandSprite(ScriptContext& context);
// Windows.
StepAction CommandMessageWindow(ScriptContext& context);
StepAction CommandSelectWindow(ScriptContext& context);
// Sound, save slots, fonts.
StepAction CommandSound(ScriptContext& context);
StepAction CommandSaveData(ScriptContext& context);
StepAction CommandFont(ScriptContext& context);
// Waits.
StepAction CommandWait(ScriptContext& context);
StepAction CommandWaitOK(ScriptContext& context);
// Variables.
StepAction CommandCalc(ScriptContext& context);
StepAction CommandRandom(ScriptContext& context);
// Control flow.
StepAction CommandIf(ScriptContext& context);
StepAction CommandElseIf(ScriptContext& context);
StepAction CommandElse(ScriptContext& context);
StepAction CommandCallSub(ScriptContext& context);
StepAction CommandReturn(ScriptContext& context);
StepAction CommandJump(ScriptContext& context);
StepAction CommandSavePoint(ScriptContext& context);
StepAction CommandSetTitle(ScriptContext& context);
StepAction CommandEndScript(ScriptContext& context);
StepAction CommandEnd(ScriptContext& context);

}  // namespace zepa
