// Runs a statement of a command group through the group's table.
#pragma once

#include "script/ScriptCommands.h"

namespace zepa {

// In this order: reads args[0] as the group's subject; out of the gate's range, or with nothing to
// work on, ignores the statement without a word; for a sub-command not in the table shows the
// group's error box when its rule says so; otherwise runs the sub-command's handler.
StepAction RunCommandGroup(const CommandSignature& group, ScriptContext& context);

}  // namespace zepa
