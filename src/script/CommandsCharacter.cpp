// The Character statement: SetGraph, MovePos, SetVisible, SetReverse, SetFocus and EraseAll on the
// stage's character slots. The slot number is read first, whatever the sub-command; each
// sub-command reads its arguments, applies the defaults that the first empty argument decides, and
// calls one operation of the layer. Without a stage they do nothing.
#include <string>

#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "stage/CharaGraphics.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

constexpr int32_t kDefaultFrames = 30;
constexpr const char* kDefaultMove = "default";

template <void (*Act)(CCharaGraphics&, const ScriptArgs&)>
StepAction OnCharacters(ScriptContext& context, const ScriptArgs& args) {
    if (StageRecord* stage = context.stage()) Act(stage->characters, args);
    return StepAction::Continue;
}

// The arguments after the graphic are read in order up to the first empty one; it and every
// later one take their defaults, even when written.
void SetGraph(CCharaGraphics& layer, const ScriptArgs& args) {
    const std::string graphic = args.String(1);
    const int given = args.FirstEmpty(2, 7);
    std::string transition;
    int32_t frames = kDefaultFrames;
    int32_t x = CCharaGraphics::kKeep;
    int32_t y = CCharaGraphics::kKeep;
    std::string move = kDefaultMove;
    int32_t moveFrames = kDefaultFrames;
    if (given > 2) transition = args.String(2);
    if (given > 3) frames = args.Int(3);
    if (given > 4) x = args.Int(4);
    if (given > 5) y = args.Int(5);
    if (given > 6) move = args.String(6);
    if (given > 7) moveFrames = args.Int(7);
    layer.SetCharacter(args.subject(), graphic, transition, frames, x, y, move, moveFrames);
}

void MovePos(CCharaGraphics& layer, const ScriptArgs& args) {
    const int32_t x = args.Int(1);
    const int32_t y = args.Int(2);
    std::string move = kDefaultMove;
    int32_t frames = kDefaultFrames;
    if (!args.Empty(3)) {
        move = args.String(3);
        if (!args.Empty(4)) frames = args.Int(4);
    }
    layer.MoveCharacter(args.subject(), x, y, move, frames);
}

void SetVisible(CCharaGraphics& layer, const ScriptArgs& args) {
    layer.SetCharacterVisible(args.subject(), args.Bool(1));
}

void SetReverse(CCharaGraphics& layer, const ScriptArgs& args) {
    layer.SetCharacterReverse(args.subject(), args.Bool(1));
}

void SetFocus(CCharaGraphics& layer, const ScriptArgs& args) {
    layer.SetFocus(args.subject());
}

void EraseAll(CCharaGraphics& layer, const ScriptArgs& args) {
    std::string transition;
    int32_t frames = kDefaultFrames;
    if (!args.Empty(0)) {
        transition = args.String(0);
        if (!args.Empty(1)) frames = args.Int(1);
    }
    layer.EraseAll(transition, frames);
}

constexpr SubCommand kCharacterSubCommands[] = {
    {"SetGraph",
     OnCharacters<SetGraph>,
     {{0, ArgKind::CharacterSlot},
      {1, ArgKind::CharacterImage},
      {2, ArgKind::CharacterTransition},
      {6, ArgKind::CharacterMovement}}},
    {"MovePos", OnCharacters<MovePos>, {{0, ArgKind::CharacterSlot}, {3, ArgKind::CharacterMovement}}},
    {"SetVisible", OnCharacters<SetVisible>, {{0, ArgKind::CharacterSlot}}},
    {"SetReverse", OnCharacters<SetReverse>, {{0, ArgKind::CharacterSlot}}},
    {"SetFocus", OnCharacters<SetFocus>},  // a number naming no slot is allowed: it dims every slot
    {"EraseAll", OnCharacters<EraseAll>, {{0, ArgKind::CharacterTransition}}},
};

}  // namespace

const CommandSignature kCharacterSignature{
    .keyword = "Character",
    .subCommands = kCharacterSubCommands,
    .unknown = UnknownSubCommand::ErrorUnlessEmpty,
    .errorTextUtf8 = "Characterについて文法ミス？",
    .subject = SubjectRead::Int,
};

}  // namespace zepa
