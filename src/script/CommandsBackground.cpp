// The Background statement: Set, Effect and ColorTone.
#include <string>

#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/StageLayerCommands.h"
#include "stage/BackGround.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

void RunSet(CBackGround& layer, const ScriptStatement& statement, const CVariableStore& variables) {
    const std::string name = ReadStringArg(statement.args[0], variables);
    std::string transition;
    int32_t frames = CBackGround::kDefaultLength;
    if (!statement.args[1].empty()) {
        transition = ReadStringArg(statement.args[1], variables);
        if (!statement.args[2].empty()) frames = ReadIntArg(statement.args[2], variables);
    }
    layer.SetBackground(name, transition, frames);
}

void RunEffect(CBackGround& layer, const ScriptStatement& statement, const CVariableStore& variables) {
    const std::string effect = ReadStringArg(statement.args[0], variables);
    const int32_t frames = statement.args[1].empty() ? CBackGround::kDefaultShakeLength
                                                     : ReadIntArg(statement.args[1], variables);
    layer.StartShake(effect, frames);
}

void RunColorTone(CBackGround& layer, const ScriptStatement& statement, const CVariableStore& variables) {
    layer.SetColorTone(ReadIntArg(statement.args[0], variables), ReadIntArg(statement.args[1], variables),
                       ReadIntArg(statement.args[2], variables), ReadIntArg(statement.args[3], variables));
}

constexpr SubCommandSignature kBackgroundSubCommands[] = {
    {"Set", {{0, ArgKind::BackgroundImage}, {1, ArgKind::BackgroundTransition}}},
    {"Effect", {{0, ArgKind::BackgroundShake}}},
    {"ColorTone"},
};

}  // namespace

const CommandSignature kBackgroundSignature{"Background", kBackgroundSubCommands,
                                            UnknownSubCommand::ErrorUnlessEmpty,
                                            "Backgroundについて文法ミス？"};

void RunBackgroundCommand(CBackGround* layer, const ScriptStatement& statement,
                          const CVariableStore& variables, CMessageBoxes& boxes) {
    using Handler = void (*)(CBackGround&, const ScriptStatement&, const CVariableStore&);
    static constexpr struct {
        const char* name;
        Handler handler;
    } kSubCommands[] = {{"Set", RunSet}, {"Effect", RunEffect}, {"ColorTone", RunColorTone}};

    const std::string& subCommand = statement.words[1];
    if (!FindSubCommand(kBackgroundSignature, subCommand)) {
        if (ShowsSubCommandError(kBackgroundSignature, subCommand))
            ReportUnknownSubCommand(kBackgroundSignature, boxes);
        return;
    }
    for (const auto& entry : kSubCommands) {
        if (subCommand != entry.name) continue;
        if (layer) entry.handler(*layer, statement, variables);
        return;
    }
}

StepAction CommandBackground(ScriptContext& context) {
    StageRecord* stage = context.runner.services().stage;
    RunBackgroundCommand(stage ? &stage->background : nullptr, context.statement, context.runner.variables(),
                         context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
