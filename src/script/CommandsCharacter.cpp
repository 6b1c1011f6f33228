// The Character statement: SetGraph, MovePos, SetVisible, SetReverse, SetFocus and EraseAll.
#include <string>

#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/StageLayerCommands.h"
#include "stage/CharaGraphics.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

constexpr int32_t kDefaultFrames = 30;
constexpr const char* kDefaultMove = "default";

struct Arguments {
    const ScriptStatement& statement;
    const CVariableStore& variables;
    bool Empty(int k) const { return statement.args[static_cast<size_t>(k)].empty(); }
    int32_t Int(int k) const { return ReadIntArg(statement.args[static_cast<size_t>(k)], variables); }
    std::string String(int k) const {
        return ReadStringArg(statement.args[static_cast<size_t>(k)], variables);
    }
    bool Bool(int k) const { return ReadBoolArg(statement.args[static_cast<size_t>(k)], variables); }
};

// The arguments after the graphic are read in order up to the first empty one; it and every
// later one take their defaults, even when written.
void RunSetGraph(CCharaGraphics& layer, int32_t slot, const Arguments& args) {
    const std::string graphic = args.String(1);
    std::string transition;
    int32_t frames = kDefaultFrames;
    int32_t x = CCharaGraphics::kKeep;
    int32_t y = CCharaGraphics::kKeep;
    std::string move = kDefaultMove;
    int32_t moveFrames = kDefaultFrames;
    [&] {
        if (args.Empty(2)) return;
        transition = args.String(2);
        if (args.Empty(3)) return;
        frames = args.Int(3);
        if (args.Empty(4)) return;
        x = args.Int(4);
        if (args.Empty(5)) return;
        y = args.Int(5);
        if (args.Empty(6)) return;
        move = args.String(6);
        if (args.Empty(7)) return;
        moveFrames = args.Int(7);
    }();
    layer.SetCharacter(slot, graphic, transition, frames, x, y, move, moveFrames);
}

void RunMovePos(CCharaGraphics& layer, int32_t slot, const Arguments& args) {
    const int32_t x = args.Int(1);
    const int32_t y = args.Int(2);
    std::string move = kDefaultMove;
    int32_t frames = kDefaultFrames;
    if (!args.Empty(3)) {
        move = args.String(3);
        if (!args.Empty(4)) frames = args.Int(4);
    }
    layer.MoveCharacter(slot, x, y, move, frames);
}

void RunEraseAll(CCharaGraphics& layer, const Arguments& args) {
    std::string transition;
    int32_t frames = kDefaultFrames;
    if (!args.Empty(0)) {
        transition = args.String(0);
        if (!args.Empty(1)) frames = args.Int(1);
    }
    layer.EraseAll(transition, frames);
}

constexpr SubCommandSignature kCharacterSubCommands[] = {
    {"SetGraph",
     {{0, ArgKind::CharacterSlot},
      {1, ArgKind::CharacterImage},
      {2, ArgKind::CharacterTransition},
      {6, ArgKind::CharacterMovement}}},
    {"MovePos", {{0, ArgKind::CharacterSlot}, {3, ArgKind::CharacterMovement}}},
    {"SetVisible", {{0, ArgKind::CharacterSlot}}},
    {"SetReverse", {{0, ArgKind::CharacterSlot}}},
    {"SetFocus"},  // a number naming no slot is allowed: it dims every slot
    {"EraseAll", {{0, ArgKind::CharacterTransition}}},
};

}  // namespace

const CommandSignature kCharacterSignature{
    "Character", kCharacterSubCommands, UnknownSubCommand::ErrorUnlessEmpty, "Characterについて文法ミス？"};

void RunCharacterCommand(CCharaGraphics* layer, const ScriptStatement& statement,
                         const CVariableStore& variables, CMessageBoxes& boxes) {
    const Arguments args{statement, variables};
    const int32_t slot = args.Int(0);
    const std::string& subCommand = statement.words[1];
    if (!FindSubCommand(kCharacterSignature, subCommand)) {
        if (ShowsSubCommandError(kCharacterSignature, subCommand))
            ReportUnknownSubCommand(kCharacterSignature, boxes);
        return;
    }
    if (!layer) return;
    if (subCommand == "SetGraph") {
        RunSetGraph(*layer, slot, args);
    } else if (subCommand == "MovePos") {
        RunMovePos(*layer, slot, args);
    } else if (subCommand == "SetVisible") {
        layer->SetCharacterVisible(slot, args.Bool(1));
    } else if (subCommand == "SetReverse") {
        layer->SetCharacterReverse(slot, args.Bool(1));
    } else if (subCommand == "SetFocus") {
        layer->SetFocus(slot);
    } else {
        RunEraseAll(*layer, args);
    }
}

StepAction CommandCharacter(ScriptContext& context) {
    StageRecord* stage = context.runner.services().stage;
    RunCharacterCommand(stage ? &stage->characters : nullptr, context.statement, context.runner.variables(),
                        context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
