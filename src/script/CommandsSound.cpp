// The sound command group (save slots and fonts are in CommandsSaveData.cpp).
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/SoundCommand.h"
#include "stage/StageRecord.h"

namespace zepa {

StepAction CommandSound(ScriptContext& context) {
    const ScriptStatement& statement = context.statement;
    StageRecord* stage = context.runner.services().stage;
    RunSoundCommand(stage ? &stage->audio : nullptr, statement.words[1],
                    ReadStringArg(statement.args[0], context.runner.variables()),
                    context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
