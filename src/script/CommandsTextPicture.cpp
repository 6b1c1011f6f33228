// The TextPicture statement: text pictures and the font settings they are drawn with.
//
// The first argument is checked as a picture number for every sub-command, the font settings
// included, where it is a face name, a size, an alpha or a switch: a size or an alpha above 63
// is therefore ignored, and so is a face name that starts with a number above 63.
#include <algorithm>

#include "script/CommandSignatures.h"
#include "script/PictureTarget.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "stage/PictureSet.h"
#include "text/TextCanvasStore.h"

namespace zepa {
namespace {

template <void (*Act)(CPictureSet&, const ScriptArgs&)>
StepAction OnPictures(ScriptContext& context, const ScriptArgs& args) {
    const CPictureTarget pictures(context.pictures(), context.glyphs());
    Act(*pictures, args);
    return StepAction::Continue;
}

// Drawing a text picture clears its whole canvas and rasterises every glyph at the font's size.
uint64_t TextDrawingWork(const CPictureSet& pictures, int slot, size_t textBytes) {
    if (slot < 0 || slot >= CPictureSet::kPictureCount) return 0;
    const CTexture* canvas = pictures.textPicture(slot);
    if (!canvas) return 0;
    const uint64_t size =
        static_cast<uint64_t>(std::clamp(pictures.fontSize(), 1, CTextCanvasStore::kMaxFontHeight));
    const uint64_t glyphs = std::min(textBytes, CTextCanvasStore::kMaxDrawBytes);
    return uint64_t(canvas->width()) * uint64_t(canvas->height()) + glyphs * size * size;
}

// `Draw` draws and returns how many bytes of text it drew.
template <size_t (*Draw)(CPictureSet&, const ScriptArgs&)>
StepAction OnTextDrawing(ScriptContext& context, const ScriptArgs& args) {
    const CPictureTarget pictures(context.pictures(), context.glyphs());
    const size_t textBytes = Draw(*pictures, args);
    context.runner.ChargeWork(TextDrawingWork(*pictures, args.subject(), textBytes));
    return StepAction::Continue;
}

// The text argument read where it always was, its length kept for the charge.
std::string TextOf(const ScriptArgs& args, int k, size_t& bytes) {
    std::string text = args.Text(k);
    bytes = text.size();
    return text;
}

size_t Create(CPictureSet& pictures, const ScriptArgs& args) {
    size_t bytes = 0;
    pictures.CreateTextPicture(args.subject(), args.Int(1), args.Int(2), TextOf(args, 3, bytes));
    return bytes;
}

size_t Write(CPictureSet& pictures, const ScriptArgs& args) {
    size_t bytes = 0;
    pictures.WriteTextPicture(args.subject(), TextOf(args, 1, bytes));
    return bytes;
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
    {"Create", OnTextDrawing<Create>},    {"Write", OnTextDrawing<Write>},
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
