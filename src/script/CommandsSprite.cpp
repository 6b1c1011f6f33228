// The Sprite statement: points sprites at pictures or text pictures and places, crops, scales,
// tints and shows them, at once or over a number of frames. The picture set ignores sprite and
// slot numbers outside its ranges.
#include "script/CommandSignatures.h"
#include "script/PictureTarget.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "stage/PictureSet.h"

namespace zepa {
namespace {

// Runs `Act` on sprite args[0], read after the picture set is chosen.
template <void (*Act)(CPictureSet&, int, const ScriptArgs&)>
StepAction OnSprite(ScriptContext& context, const ScriptArgs& args) {
    const CPictureTarget pictures(context.pictures(), context.glyphs());
    Act(*pictures, args.Int(0), args);
    return StepAction::Continue;
}

void SourcePicture(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SetSpriteSource(n, args.Bool(1), args.Int(2));
}

void SourceRect(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SetSpriteRect(n, args.Int(1), args.Int(2), args.Int(3), args.Int(4), args.Int(5));
}

void MovePos(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.MoveSprite(n, args.Int(1), args.Int(2), args.Int(3));
}

void SetMagni(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SetSpriteMagnification(n, args.Int(1), args.Int(2), args.Int(3));
}

void SetColor(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SetSpriteColor(n, args.Int(1), args.Int(2), args.Int(3), args.Int(4), args.Int(5));
}

void SetVisible(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SetSpriteVisible(n, args.Bool(1));
}

void Init(CPictureSet& pictures, int n, const ScriptArgs&) {
    pictures.InitSprite(n);
}

void Copy(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.CopySprite(n, args.Int(1));
}

void Swap(CPictureSet& pictures, int n, const ScriptArgs& args) {
    pictures.SwapSprites(n, args.Int(1));
}

constexpr ArgCheck kSprite{0, ArgKind::SpriteNumber};

constexpr SubCommand kSpriteSubCommands[] = {
    {"SourcePicture", OnSprite<SourcePicture>, {kSprite, {2, ArgKind::PictureNumber}}},
    {"SourceRect", OnSprite<SourceRect>, {kSprite}},
    {"MovePos", OnSprite<MovePos>, {kSprite}},
    {"SetMagni", OnSprite<SetMagni>, {kSprite}},
    {"SetColor", OnSprite<SetColor>, {kSprite}},
    {"SetVisible", OnSprite<SetVisible>, {kSprite}},
    {"Init", OnSprite<Init>, {kSprite}},
    {"Copy", OnSprite<Copy>, {kSprite, {1, ArgKind::SpriteNumber}}},
    {"Swap", OnSprite<Swap>, {kSprite, {1, ArgKind::SpriteNumber}}},
};

}  // namespace

const CommandSignature kSpriteSignature{
    .keyword = "Sprite",
    .subCommands = kSpriteSubCommands,
    .unknown = UnknownSubCommand::ErrorAlways,
    .errorTextUtf8 = "Spriteについて文法ミス？",
};

}  // namespace zepa
