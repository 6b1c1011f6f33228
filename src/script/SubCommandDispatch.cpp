#include "script/SubCommandDispatch.h"

#include <optional>

#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"

namespace zepa {
namespace {

bool PassesGate(ArgKind gate, int32_t number) {
    if (gate == ArgKind::None) return true;
    const std::optional<NumberRange> range = RangeOf(gate);
    return range && number >= range->low && number <= range->high;
}

}  // namespace

StepAction RunCommandGroup(const CommandSignature& group, ScriptContext& context) {
    ScriptArgs args(context.statement, context.variables());
    args.ReadSubject(group.gate != ArgKind::None ? SubjectRead::Int : group.subject);
    if (!PassesGate(group.gate, args.subject())) return StepAction::Continue;
    if (group.available && !group.available(context)) return StepAction::Continue;
    const SubCommand* row = FindSubCommand(group, args.sub());
    if (!row) {
        if (ShowsSubCommandError(group, args.sub())) context.ShowError(group.errorTextUtf8);
        return StepAction::Continue;
    }
    return row->run(context, args);
}

}  // namespace zepa
