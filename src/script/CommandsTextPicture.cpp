// The TextPicture statement: text pictures and the font settings they are drawn with.
//
// The first argument is checked as a picture number for every sub-command, the font settings
// included, where it is a face name, a size, an alpha or a switch: a size or an alpha above 63
// is therefore ignored, and so is a face name that starts with a number above 63.
#include "script/CommandSignatures.h"
#include "script/PictureTarget.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "stage/PictureSet.h"

namespace zepa {
namespace {

template <void (*Act)(CPictureSet&, const ScriptArgs&)>
StepAction OnPictures(ScriptContext& context, const ScriptArgs& args) {
    const CPictureTarget pictures(context.pictures(), context.glyphs());
    Act(*pictures, args);
    return StepAction::Continue;
}

void Create(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.CreateTextPicture(args.subject(), args.Int(1), args.Int(2), args.Text(3));
}

void Write(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.WriteTextPicture(args.subject(), args.Text(1));
}

void Release(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.ReleaseTextPicture(args.subject());
}

void FontType(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.SetTextFont(args.String(0));
}

void FontSize(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.SetTextSize(args.Int(0));
}

void FontColor(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.SetTextColor(args.Int(0), args.Int(1), args.Int(2), args.Int(3));
}

void FontShade(CPictureSet& pictures, const ScriptArgs& args) {
    pictures.SetTextShade(args.Bool(0), args.Int(1), args.Int(2), args.Int(3), args.Int(4));
}

constexpr SubCommand kTextPictureSubCommands[] = {
    {"Create", OnPictures<Create>},       {"Write", OnPictures<Write>},
    {"Release", OnPictures<Release>},     {"FontType", OnPictures<FontType>},
    {"FontSize", OnPictures<FontSize>},   {"FontColor", OnPictures<FontColor>},
    {"FontShade", OnPictures<FontShade>},
};

}  // namespace

const CommandSignature kTextPictureSignature{
    .keyword = "TextPicture",
    .subCommands = kTextPictureSubCommands,
    .unknown = UnknownSubCommand::ErrorUnlessEmpty,
    .errorTextUtf8 = "TextPictureについて文法ミス？",
    .gate = ArgKind::PictureNumber,
};

}  // namespace zepa
