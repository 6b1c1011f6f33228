// The sound, save-slot and font command group. A keyword whose handler has nothing to do accepts
// the statement and the script goes on.
#include "script/ScriptCommands.h"

namespace zepa {

StepAction CommandSound(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandSaveData(ScriptContext&) {
    return StepAction::Continue;
}

// Fonts are chosen by the windows' own settings; the statement does nothing.
StepAction CommandFont(ScriptContext&) {
    return StepAction::Continue;
}

}  // namespace zepa
