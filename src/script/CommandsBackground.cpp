// The Background statement: Set, Effect and ColorTone on the stage's background. Each reads its
// arguments, applies the defaults that the first empty argument decides, and calls one operation
// of the layer; without a stage they do nothing.
#include <string>

#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "stage/BackGround.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

template <void (*Act)(CBackGround&, const ScriptArgs&)>
StepAction OnBackground(ScriptContext& context, const ScriptArgs& args) {
    if (StageRecord* stage = context.stage()) Act(stage->background, args);
    return StepAction::Continue;
}

void Set(CBackGround& layer, const ScriptArgs& args) {
    const std::string name = args.String(0);
    std::string transition;
    int32_t frames = CBackGround::kDefaultLength;
    if (!args.Empty(1)) {
        transition = args.String(1);
        if (!args.Empty(2)) frames = args.Int(2);
    }
    layer.SetBackground(name, transition, frames);
}

void Effect(CBackGround& layer, const ScriptArgs& args) {
    const std::string effect = args.String(0);
    const int32_t frames = args.Empty(1) ? CBackGround::kDefaultShakeLength : args.Int(1);
    layer.StartShake(effect, frames);
}

void ColorTone(CBackGround& layer, const ScriptArgs& args) {
    layer.SetColorTone(args.Int(0), args.Int(1), args.Int(2), args.Int(3));
}

constexpr SubCommand kBackgroundSubCommands[] = {
    {"Set", OnBackground<Set>, {{0, ArgKind::BackgroundImage}, {1, ArgKind::BackgroundTransition}}},
    {"Effect", OnBackground<Effect>, {{0, ArgKind::BackgroundShake}}},
    {"ColorTone", OnBackground<ColorTone>},
};

}  // namespace

const CommandSignature kBackgroundSignature{
    .keyword = "Background",
    .subCommands = kBackgroundSubCommands,
    .unknown = UnknownSubCommand::ErrorUnlessEmpty,
    .errorTextUtf8 = "Backgroundについて文法ミス？",
};

}  // namespace zepa
