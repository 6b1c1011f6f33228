// The services a handler reaches through its context: those the runner was handed by the scene
// that runs it, and the scene's pictures and windows.
#include "core/MessageBoxes.h"
#include "platform/Cp932.h"
#include "script/SaveFile.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "stage/StageRecord.h"

namespace zepa {

StageRecord* ScriptContext::stage() const {
    return runner.services().stage;
}

CPictureSet* ScriptContext::pictures() const {
    return runner.pictures;
}

CWindowSet* ScriptContext::windows() const {
    return runner.windows;
}

CVariableStore& ScriptContext::variables() const {
    return runner.variables();
}

CScriptRandom& ScriptContext::random() const {
    return runner.random();
}

IGlyphSource& ScriptContext::glyphs() const {
    return runner.services().glyphs;
}

void ScriptContext::ShowError(std::string_view textUtf8) const {
    runner.services().messageBoxes.Show(Cp932(textUtf8), "");
}

void ScriptContext::SetWindowTitle(const std::string& titleCp932) const {
    if (const auto& setTitle = runner.services().setWindowTitle) setTitle(titleCp932);
}

bool ScriptContext::WriteSave(int slot) const {
    return WriteSaveFile(runner.variables(), slot, runner.services().log, RealFileOperations(),
                         runner.services().writableFolder);
}

bool ScriptContext::ReadSaveRecord(int slot, SavePointRecord& record) const {
    return zepa::ReadSaveRecord(slot, record, runner.services().writableFolder);
}

}  // namespace zepa
