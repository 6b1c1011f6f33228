// The statement handlers and what they run in. The command groups with sub-commands (backgrounds,
// characters, pictures, text pictures, sprites, windows, sound, save data) each have one table in
// their Commands*.cpp file, which the runner dispatches through (SubCommandDispatch.h); every other
// keyword has one handler. StepScript finds both through the keyword table.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zepa {

class CPictureSet;
class IGlyphSource;
class CScriptRandom;
class CScriptRunner;
class CVariableStore;
class CWindowSet;
class ScriptArgs;
struct CommandSignature;
struct SavePointRecord;
struct ScriptStatement;
struct StageRecord;

// What the statement loop does after a statement.
enum class StepAction {
    Continue,  // read the next statement in this frame
    Suspend,   // end this frame's loop; the script goes on in a later frame
    End,       // the script is over
};

// Everything a handler may touch: the runner (reader, wait state, statement budget), the statement
// being executed, and the scene's and game's services through the accessors below; handlers reach
// nothing else.
struct ScriptContext {
    CScriptRunner& runner;
    const ScriptStatement& statement;

    // The background, characters and audio channels; null when no game runs.
    StageRecord* stage() const;
    // The scene's pictures and sprites; null outside a scene.
    CPictureSet* pictures() const;
    // The scene's windows; null outside the main scene.
    CWindowSet* windows() const;
    CVariableStore& variables() const;
    CScriptRandom& random() const;
    // The glyphs text pictures are drawn with when no scene's picture set takes them.
    IGlyphSource& glyphs() const;
    // The script error box; the text is shown converted to CP932.
    void ShowError(std::string_view textUtf8) const;
    void SetWindowTitle(const std::string& titleCp932) const;
    // Writes the record and snapshot of the last save point to the slot's file.
    bool WriteSave(int slot) const;
    // Reads the record of the slot's file; false when the file cannot be opened.
    bool ReadSaveRecord(int slot, SavePointRecord& record) const;
};

using CommandHandler = StepAction (*)(ScriptContext& context, const ScriptArgs& args);

// One keyword of the statement language: a command group's table, or the handler of a keyword
// without sub-commands (which ignores words[1]).
struct KeywordEntry {
    std::string_view keyword;
    CommandHandler handler = nullptr;
    const CommandSignature* signature = nullptr;
};

// Every keyword, in the order dispatch tests them (exact, case-sensitive equality).
std::span<const KeywordEntry> KeywordTable();
// The entry for `keyword`, or null for a keyword no command has.
const KeywordEntry* FindKeyword(std::string_view keyword);

// Fonts.
StepAction CommandFont(ScriptContext& context, const ScriptArgs& args);
// Waits.
StepAction CommandWait(ScriptContext& context, const ScriptArgs& args);
StepAction CommandWaitOK(ScriptContext& context, const ScriptArgs& args);
// Variables.
StepAction CommandCalc(ScriptContext& context, const ScriptArgs& args);
StepAction CommandRandom(ScriptContext& context, const ScriptArgs& args);
// Control flow.
StepAction CommandIf(ScriptContext& context, const ScriptArgs& args);
StepAction CommandElseIf(ScriptContext& context, const ScriptArgs& args);
StepAction CommandElse(ScriptContext& context, const ScriptArgs& args);
StepAction CommandCallSub(ScriptContext& context, const ScriptArgs& args);
StepAction CommandReturn(ScriptContext& context, const ScriptArgs& args);
StepAction CommandJump(ScriptContext& context, const ScriptArgs& args);
StepAction CommandSavePoint(ScriptContext& context, const ScriptArgs& args);
StepAction CommandSetTitle(ScriptContext& context, const ScriptArgs& args);
StepAction CommandEndScript(ScriptContext& context, const ScriptArgs& args);
StepAction CommandEnd(ScriptContext& context, const ScriptArgs& args);

}  // namespace zepa
