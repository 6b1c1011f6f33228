// The window command group: the main scene's ten message windows and ten selection windows. The
// window number is read first; a number outside 0..9, or a script run without windows, ignores the
// statement.
#include <string>

#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/SoundCommand.h"
#include "windows/WindowSet.h"

namespace zepa {
namespace {

bool HasWindows(const ScriptContext& context) {
    return context.windows() != nullptr;
}

std::string SoundEffectPath(const std::string& file) {
    return std::string(kEffectFolder) + file;
}

// Geometry and switches of an Open statement, with the defaults of every argument from the first
// empty one on.
struct OpenValues {
    int32_t x = 0, y = 0, width = 640, height = 160, margin = 16;
    std::string effect = "flash";
    bool shown = true, skinShown = true;
};

// Message-window layout: x, y, width, height, effect, shown, skin shown from argument 1.
OpenValues ReadMessageOpen(const ScriptArgs& args) {
    OpenValues v;
    const int given = args.FirstEmpty(1, 7);
    if (given > 1) v.x = args.Int(1);
    if (given > 2) v.y = args.Int(2);
    if (given > 3) v.width = args.Int(3);
    if (given > 4) v.height = args.Int(4);
    if (given > 5) v.effect = args.String(5);
    if (given > 6) v.shown = args.Bool(6);
    if (given > 7) v.skinShown = args.Bool(7);
    return v;
}

// Selection-window layout: as above with the margin as argument 5.
OpenValues ReadSelectOpen(const ScriptArgs& args) {
    OpenValues v;
    const int given = args.FirstEmpty(1, 8);
    if (given > 1) v.x = args.Int(1);
    if (given > 2) v.y = args.Int(2);
    if (given > 3) v.width = args.Int(3);
    if (given > 4) v.height = args.Int(4);
    if (given > 5) v.margin = args.Int(5);
    if (given > 6) v.effect = args.String(6);
    if (given > 7) v.shown = args.Bool(7);
    if (given > 8) v.skinShown = args.Bool(8);
    return v;
}

// Settings both window kinds share.
void SetVisible(CWindowBase& window, const ScriptArgs& args) {
    window.SetVisible(args.Bool(1));
}
void SkinType(CWindowBase& window, const ScriptArgs& args) {
    window.SkinType(args.Int(1));
}
void FontType(CWindowBase& window, const ScriptArgs& args) {
    window.FontType(args.String(1));
}
void FontSize(CWindowBase& window, const ScriptArgs& args) {
    window.FontSize(args.Int(1));
}
void FontColor(CWindowBase& window, const ScriptArgs& args) {
    window.FontColor(args.Int(1), args.Int(2), args.Int(3), args.Int(4));
}
void FontShade(CWindowBase& window, const ScriptArgs& args) {
    window.FontShade(args.Bool(1));
}
void FontShadeColor(CWindowBase& window, const ScriptArgs& args) {
    window.FontShadeColor(args.Int(1), args.Int(2), args.Int(3), args.Int(4));
}
template <typename Window>
void Close(Window& window, const ScriptArgs&) {
    window.Close();
}

// Message windows.
template <auto Act>
StepAction OnMessageWindow(ScriptContext& context, const ScriptArgs& args) {
    Act(context.windows()->message(args.subject()), args);
    return StepAction::Continue;
}

void OpenMessage(CWindowMessage& window, const ScriptArgs& args) {
    const OpenValues v = ReadMessageOpen(args);
    window.Open(v.effect, v.x, v.y, v.width, v.height, v.shown, v.skinShown);
}
void SkinVisible(CWindowMessage& window, const ScriptArgs& args) {
    window.SkinVisible(args.Bool(1));
}
// Through the window set, which keeps the texts in the message history.
StepAction PrintText(ScriptContext& context, const ScriptArgs& args) {
    context.windows()->PrintText(args.subject(), args.Text(1));
    return StepAction::Continue;
}
StepAction AddText(ScriptContext& context, const ScriptArgs& args) {
    context.windows()->AddText(args.subject(), args.Text(1));
    return StepAction::Continue;
}

// Selection windows.
template <auto Act>
StepAction OnSelectWindow(ScriptContext& context, const ScriptArgs& args) {
    Act(context.windows()->selection(args.subject()), args);
    return StepAction::Continue;
}

// A setting of the selection window's description window; lost while it has none.
template <auto Act>
StepAction OnDescriptionWindow(ScriptContext& context, const ScriptArgs& args) {
    if (CWindowMessage* description = context.windows()->selection(args.subject()).descriptionWindow())
        Act(*description, args);
    return StepAction::Continue;
}

// Starting or stopping a choice suspends the script for the rest of the frame.
StepAction Select(ScriptContext& context, const ScriptArgs& args) {
    CWindowSet& windows = *context.windows();
    const int32_t w = args.subject();
    windows.selection(w).Select(args.Bool(1));
    windows.selectResultVariable[w] = args.Int(2);
    return StepAction::Suspend;
}

void OpenSelection(CWindowSelectable& window, const ScriptArgs& args) {
    const OpenValues v = ReadSelectOpen(args);
    window.Open(v.effect, v.x, v.y, v.width, v.height, v.margin, v.shown, v.skinShown);
}
void OpenDescription(CWindowSelectable& window, const ScriptArgs& args) {
    const OpenValues v = ReadMessageOpen(args);
    window.OpenDescription(v.effect, v.x, v.y, v.width, v.height, v.shown, v.skinShown);
}
void SetDescriptionVisible(CWindowSelectable& window, const ScriptArgs& args) {
    window.SetDescriptionVisible(args.Bool(1));
}
void DescriptionSkinType(CWindowSelectable& window, const ScriptArgs& args) {
    window.DescriptionSkinType(args.Int(1));
}
void CloseDescription(CWindowSelectable& window, const ScriptArgs&) {
    window.CloseDescription();
}
void SetColumn(CWindowSelectable& window, const ScriptArgs& args) {
    window.SetColumn(args.Int(1));
}
void ContentsHeight(CWindowSelectable& window, const ScriptArgs& args) {
    window.ContentsHeight(args.Int(1));
}
void ContentsNum(CWindowSelectable& window, const ScriptArgs& args) {
    window.ContentsNum(args.Int(1));
}
void SetContents(CWindowSelectable& window, const ScriptArgs& args) {
    window.SetContents(args.Int(1), args.Text(2), args.Empty(3) ? true : args.Bool(3));
}
void SetContentsEnable(CWindowSelectable& window, const ScriptArgs& args) {
    window.SetContentsEnable(args.Int(1), args.Bool(2));
}
void SetDescription(CWindowSelectable& window, const ScriptArgs& args) {
    window.SetDescription(args.Int(1), args.Text(2));
}
void CursorMoveSeFile(CWindowSelectable& window, const ScriptArgs& args) {
    window.CursorMoveSeFile(SoundEffectPath(args.String(1)));
}
void SelectSeFile(CWindowSelectable& window, const ScriptArgs& args) {
    window.SelectSeFile(SoundEffectPath(args.String(1)));
}
void CancelSeFile(CWindowSelectable& window, const ScriptArgs& args) {
    window.CancelSeFile(SoundEffectPath(args.String(1)));
}

constexpr ArgCheck kWindow{0, ArgKind::WindowNumber};

constexpr SubCommand kMessageWindowSubCommands[] = {
    {"Open", OnMessageWindow<OpenMessage>, {kWindow, {5, ArgKind::WindowEffect}}},
    {"SetVisible", OnMessageWindow<SetVisible>},
    {"SkinVisible", OnMessageWindow<SkinVisible>},
    {"PrintText", PrintText},
    {"AddText", AddText},
    {"Close", OnMessageWindow<Close<CWindowMessage>>},
    {"SkinType", OnMessageWindow<SkinType>},
    {"FontType", OnMessageWindow<FontType>},
    {"FontSize", OnMessageWindow<FontSize>},
    {"FontColor", OnMessageWindow<FontColor>},
    {"FontShade", OnMessageWindow<FontShade>},
    {"FontShadeColor", OnMessageWindow<FontShadeColor>},
};

// The font sub-commands set the description window's fonts, in both spellings; the shading pair
// is the other way round: DescriptionFontShade shades the selection window itself.
constexpr SubCommand kSelectWindowSubCommands[] = {
    {"Open", OnSelectWindow<OpenSelection>, {kWindow, {6, ArgKind::WindowEffect}}},
    {"OpenDescription", OnSelectWindow<OpenDescription>, {kWindow, {5, ArgKind::WindowEffect}}},
    {"SetDescriptionVisible", OnSelectWindow<SetDescriptionVisible>},
    {"SetVisible", OnSelectWindow<SetVisible>},
    {"SkinType", OnSelectWindow<SkinType>},
    {"DescriptionSkinType", OnSelectWindow<DescriptionSkinType>},
    {"SetColumn", OnSelectWindow<SetColumn>},
    {"ContentsHeight", OnSelectWindow<ContentsHeight>},
    {"ContentsNum", OnSelectWindow<ContentsNum>},
    {"SetContents", OnSelectWindow<SetContents>},
    {"SetContentsEnable", OnSelectWindow<SetContentsEnable>},
    {"SetDescription", OnSelectWindow<SetDescription>},
    {"CursorMoveSeFile", OnSelectWindow<CursorMoveSeFile>, {kWindow, {1, ArgKind::EffectFile}}},
    {"SelectSeFile", OnSelectWindow<SelectSeFile>, {kWindow, {1, ArgKind::EffectFile}}},
    {"CancelSeFile", OnSelectWindow<CancelSeFile>, {kWindow, {1, ArgKind::EffectFile}}},
    {"Select", Select, {kWindow, {2, ArgKind::IntVariable}}},
    {"CloseDescription", OnSelectWindow<CloseDescription>},
    {"Close", OnSelectWindow<Close<CWindowSelectable>>},
    {"FontType", OnDescriptionWindow<FontType>},
    {"DescriptionFontType", OnDescriptionWindow<FontType>},
    {"FontSize", OnDescriptionWindow<FontSize>},
    {"DescriptionFontSize", OnDescriptionWindow<FontSize>},
    {"FontColor", OnDescriptionWindow<FontColor>},
    {"DescriptionFontColor", OnDescriptionWindow<FontColor>},
    {"FontShade", OnDescriptionWindow<FontShade>},
    {"DescriptionFontShade", OnSelectWindow<FontShade>},
    {"FontShadeColor", OnDescriptionWindow<FontShadeColor>},
    {"DescriptionFontShadeColor", OnDescriptionWindow<FontShadeColor>},
};

}  // namespace

const CommandSignature kMessageWindowSignature{
    .keyword = "MessageWindow",
    .subCommands = kMessageWindowSubCommands,
    .unknown = UnknownSubCommand::ErrorUnlessEmpty,
    .errorTextUtf8 = "MessageWindowについて文法ミス？",
    .gate = ArgKind::WindowNumber,
    .available = HasWindows,
};

const CommandSignature kSelectWindowSignature{
    .keyword = "SelectWindow",
    .subCommands = kSelectWindowSubCommands,
    .unknown = UnknownSubCommand::ErrorUnlessEmpty,
    .errorTextUtf8 = "SelectWindowについて文法ミス？",
    .gate = ArgKind::WindowNumber,
    .available = HasWindows,
};

}  // namespace zepa
