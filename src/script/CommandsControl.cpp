// The control-flow command group: conditions, sub-calls, jumps, save points, the window title and
// the end of the script. A keyword whose handler has nothing to do accepts the statement and the
// script goes on.
#include "script/ScriptCommands.h"

namespace zepa {

StepAction CommandIf(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandElseIf(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandElse(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandCallSub(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandReturn(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandJump(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandSavePoint(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandSetTitle(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandEndScript(ScriptContext&) {
    return StepAction::End;
}

// Closes an if block; nothing to do when it is reached by running on.
StepAction CommandEnd(ScriptContext&) {
    return StepAction::Continue;
}

}  // namespace zepa
