// The services a handler reaches through its context. The game's own services (stage, message
// box, window title, save files) are the process-wide ones for now; every handler goes through
// here, so they can be handed in from elsewhere without touching a handler.
#include "app/GameSystem.h"
#include "app/MessageBox.h"
#include "platform/Cp932.h"
#include "scenes/SaveFile.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "stage/StageRecord.h"

namespace zepa {

StageRecord* ScriptContext::stage() const {
    return Stage();
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

void ScriptContext::ShowError(std::string_view textUtf8) const {
    ShowMessageBox(Cp932(textUtf8), "");
}

void ScriptContext::SetWindowTitle(const std::string& titleCp932) const {
    if (CGameSystem* game = GameSystem()) game->SetWindowTitle(titleCp932);
}

bool ScriptContext::WriteSave(int slot) const {
    return WriteSaveFile(runner.variables(), slot);
}

bool ScriptContext::ReadSaveRecord(int slot, SavePointRecord& record) const {
    return zepa::ReadSaveRecord(slot, record);
}

}  // namespace zepa
