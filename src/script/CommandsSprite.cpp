// The Sprite statement: points sprites at pictures or text pictures and places, crops, scales,
// tints and shows them, at once or over a number of frames.
#include <optional>

#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "stage/PictureSet.h"

namespace zepa {
namespace {

// False when the sub-command is not one of the statement's. The picture set ignores sprite and
// slot numbers outside its ranges.
bool RunSprite(CPictureSet& pictures, const ScriptStatement& statement, const CVariableStore& variables) {
    auto arg = [&](int index) { return ReadIntArg(statement.args[index], variables); };
    const std::string& command = statement.words[1];
    const int n = arg(0);
    if (command == "SourcePicture") {
        pictures.SetSpriteSource(n, ReadBoolArg(statement.args[1], variables), arg(2));
    } else if (command == "SourceRect") {
        pictures.SetSpriteRect(n, arg(1), arg(2), arg(3), arg(4), arg(5));
    } else if (command == "MovePos") {
        pictures.MoveSprite(n, arg(1), arg(2), arg(3));
    } else if (command == "SetMagni") {
        pictures.SetSpriteMagnification(n, arg(1), arg(2), arg(3));
    } else if (command == "SetColor") {
        pictures.SetSpriteColor(n, arg(1), arg(2), arg(3), arg(4), arg(5));
    } else if (command == "SetVisible") {
        pictures.SetSpriteVisible(n, ReadBoolArg(statement.args[1], variables));
    } else if (command == "Init") {
        pictures.InitSprite(n);
    } else if (command == "Copy") {
        pictures.CopySprite(n, arg(1));
    } else if (command == "Swap") {
        pictures.SwapSprites(n, arg(1));
    } else {
        return false;
    }
    return true;
}

constexpr ArgCheck kSprite{0, ArgKind::SpriteNumber};

constexpr SubCommandSignature kSpriteSubCommands[] = {
    {"SourcePicture", {kSprite, {2, ArgKind::PictureNumber}}},
    {"SourceRect", {kSprite}},
    {"MovePos", {kSprite}},
    {"SetMagni", {kSprite}},
    {"SetColor", {kSprite}},
    {"SetVisible", {kSprite}},
    {"Init", {kSprite}},
    {"Copy", {kSprite, {1, ArgKind::SpriteNumber}}},
    {"Swap", {kSprite, {1, ArgKind::SpriteNumber}}},
};

}  // namespace

const CommandSignature kSpriteSignature{"Sprite", kSpriteSubCommands, UnknownSubCommand::ErrorAlways,
                                        "Spriteについて文法ミス？"};

StepAction CommandSprite(ScriptContext& context) {
    // Without a picture set (a script run outside the main scene) the statement is only checked.
    if (!FindSubCommand(kSpriteSignature, context.statement.words[1])) {
        ReportUnknownSubCommand(kSpriteSignature, context.runner.services().messageBoxes);
        return StepAction::Continue;
    }
    std::optional<CPictureSet> scratch;
    if (!context.runner.pictures) scratch.emplace(nullptr, context.runner.services().glyphs);
    CPictureSet& pictures = context.runner.pictures ? *context.runner.pictures : *scratch;
    if (!RunSprite(pictures, context.statement, context.runner.variables()))
        ReportUnknownSubCommand(kSpriteSignature, context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
