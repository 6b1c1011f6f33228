// The variable command group: Calc and Random.
#include "script/Calc.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"

namespace zepa {

StepAction CommandCalc(ScriptContext& context) {
    ExecuteCalc(context.statement, context.runner.variables());
    return StepAction::Continue;
}

StepAction CommandRandom(ScriptContext& context) {
    ExecuteRandom(context.statement, context.runner.variables(), context.runner.random());
    return StepAction::Continue;
}

}  // namespace zepa
