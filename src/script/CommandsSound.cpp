// The sound, save-slot and font command group. A keyword whose handler has nothing to do accepts
// the statement and the script goes on.
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/SoundCommand.h"
#include "stage/StageRecord.h"

namespace zepa {

StepAction CommandSound(ScriptContext& context) {
    const ScriptStatement& statement = context.statement;
    StageRecord* stage = Stage();
    RunSoundCommand(stage ? &stage->audio : nullptr, statement.words[1],
                    ReadStringArg(statement.args[0], context.runner.variables()));
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
