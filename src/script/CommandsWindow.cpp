// The window command group: message windows and selection windows. A keyword whose handler has
// nothing to do accepts the statement and the script goes on.
#include "script/ScriptCommands.h"

namespace zepa {

StepAction CommandMessageWindow(ScriptContext&) {
    return StepAction::Continue;
}

// Suspends the script when the statement starts or stops a choice.
StepAction CommandSelectWindow(ScriptContext&) {
    return StepAction::Continue;
}

}  // namespace zepa
