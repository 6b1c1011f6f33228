// The variable command group: Calc and Random.
#include "script/Calc.h"
#include "script/ScriptCommands.h"

namespace zepa {

StepAction CommandCalc(ScriptContext& context, const ScriptArgs&) {
    ExecuteCalc(context.statement, context.variables());
    return StepAction::Continue;
}

StepAction CommandRandom(ScriptContext& context, const ScriptArgs&) {
    ExecuteRandom(context.statement, context.variables(), context.random());
    return StepAction::Continue;
}

}  // namespace zepa
