// The Picture statement: loads image files into picture slots and releases them. A slot number
// outside 0..63 ignores the statement; without a picture set (a script run outside the main scene)
// nothing is loaded.
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "stage/PictureSet.h"

namespace zepa {
namespace {

StepAction Load(ScriptContext& context, const ScriptArgs& args) {
    if (CPictureSet* pictures = context.pictures()) pictures->LoadPicture(args.subject(), args.String(1));
    return StepAction::Continue;
}

StepAction Release(ScriptContext& context, const ScriptArgs& args) {
    if (CPictureSet* pictures = context.pictures()) pictures->ReleasePicture(args.subject());
    return StepAction::Continue;
}

constexpr SubCommand kPictureSubCommands[] = {
    {"Load", Load, {{1, ArgKind::PictureImage}}},
    {"Release", Release},
};

}  // namespace

const CommandSignature kPictureSignature{
    .keyword = "Picture",
    .subCommands = kPictureSubCommands,
    .unknown = UnknownSubCommand::ErrorAlways,
    .errorTextUtf8 = "Pictureについて文法ミス？",
    .gate = ArgKind::PictureNumber,
};

}  // namespace zepa
