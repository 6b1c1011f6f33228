// The window command group: the main scene's ten message windows and ten selection windows. The
// window number is read first; a number outside 0..9 ignores the statement.
#include <string>
#include <string_view>

#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "script/SoundCommand.h"
#include "windows/WindowSet.h"

namespace zepa {
namespace {

constexpr ArgCheck kWindow{0, ArgKind::WindowNumber};

constexpr SubCommandSignature kMessageWindowSubCommands[] = {
    {"Open", {kWindow, {5, ArgKind::WindowEffect}}},
    {"SetVisible"},
    {"SkinVisible"},
    {"PrintText"},
    {"AddText"},
    {"Close"},
    {"SkinType"},
    {"FontType"},
    {"FontSize"},
    {"FontColor"},
    {"FontShade"},
    {"FontShadeColor"},
};

constexpr SubCommandSignature kSelectWindowSubCommands[] = {
    {"Open", {kWindow, {6, ArgKind::WindowEffect}}},
    {"OpenDescription", {kWindow, {5, ArgKind::WindowEffect}}},
    {"SetDescriptionVisible"},
    {"SetVisible"},
    {"SkinType"},
    {"DescriptionSkinType"},
    {"SetColumn"},
    {"ContentsHeight"},
    {"ContentsNum"},
    {"SetContents"},
    {"SetContentsEnable"},
    {"SetDescription"},
    {"CursorMoveSeFile", {kWindow, {1, ArgKind::EffectFile}}},
    {"SelectSeFile", {kWindow, {1, ArgKind::EffectFile}}},
    {"CancelSeFile", {kWindow, {1, ArgKind::EffectFile}}},
    {"Select", {kWindow, {2, ArgKind::IntVariable}}},
    {"CloseDescription"},
    {"Close"},
    {"FontType"},
    {"DescriptionFontType"},
    {"FontSize"},
    {"DescriptionFontSize"},
    {"FontColor"},
    {"DescriptionFontColor"},
    {"FontShade"},
    {"DescriptionFontShade"},
    {"FontShadeColor"},
    {"DescriptionFontShadeColor"},
};

std::string SoundEffectPath(const std::string& file) {
    return std::string(kEffectFolder) + file;
}

// Reads a statement's arguments as the window commands want them.
class WindowArgs {
  public:
    explicit WindowArgs(ScriptContext& context)
        : statement_(context.statement), variables_(context.runner.variables()) {}

    const std::string& sub() const { return statement_.words[1]; }
    int32_t I(int k) const { return ReadIntArg(statement_.args[k], variables_); }
    std::string S(int k) const { return ReadStringArg(statement_.args[k], variables_); }
    bool B(int k) const { return ReadBoolArg(statement_.args[k], variables_); }
    std::string T(int k) const { return ExpandText(statement_.args[k], variables_); }
    bool Empty(int k) const { return statement_.args[k].empty(); }

    // The first empty argument from `first` to `last`, or last + 1: every argument from there on
    // takes its default.
    int FirstEmpty(int first, int last) const {
        for (int k = first; k <= last; ++k)
            if (Empty(k)) return k;
        return last + 1;
    }

  private:
    const ScriptStatement& statement_;
    const CVariableStore& variables_;
};

// Geometry and switches of an Open statement, with the defaults of every argument from the first
// empty one on.
struct OpenValues {
    int32_t x = 0, y = 0, width = 640, height = 160, margin = 16;
    std::string effect = "flash";
    bool shown = true, skinShown = true;
};

// Message-window layout: x, y, width, height, effect, shown, skin shown from argument 1.
OpenValues ReadMessageOpen(const WindowArgs& args) {
    OpenValues v;
    const int given = args.FirstEmpty(1, 7);
    if (given > 1) v.x = args.I(1);
    if (given > 2) v.y = args.I(2);
    if (given > 3) v.width = args.I(3);
    if (given > 4) v.height = args.I(4);
    if (given > 5) v.effect = args.S(5);
    if (given > 6) v.shown = args.B(6);
    if (given > 7) v.skinShown = args.B(7);
    return v;
}

// Selection-window layout: as above with the margin as argument 5.
OpenValues ReadSelectOpen(const WindowArgs& args) {
    OpenValues v;
    const int given = args.FirstEmpty(1, 8);
    if (given > 1) v.x = args.I(1);
    if (given > 2) v.y = args.I(2);
    if (given > 3) v.width = args.I(3);
    if (given > 4) v.height = args.I(4);
    if (given > 5) v.margin = args.I(5);
    if (given > 6) v.effect = args.S(6);
    if (given > 7) v.shown = args.B(7);
    if (given > 8) v.skinShown = args.B(8);
    return v;
}

// The font sub-commands shared by both window kinds; true when `sub` was one of them.
bool ApplyFontCommand(CWindowBase& window, std::string_view sub, const WindowArgs& args) {
    if (sub == "FontType")
        window.FontType(args.S(1));
    else if (sub == "FontSize")
        window.FontSize(args.I(1));
    else if (sub == "FontColor")
        window.FontColor(args.I(1), args.I(2), args.I(3), args.I(4));
    else if (sub == "FontShade")
        window.FontShade(args.B(1));
    else if (sub == "FontShadeColor")
        window.FontShadeColor(args.I(1), args.I(2), args.I(3), args.I(4));
    else
        return false;
    return true;
}

// The description window's font sub-commands in both spellings, mapped to the plain names.
std::string_view DescriptionFontCommand(std::string_view sub) {
    if (sub == "FontType" || sub == "DescriptionFontType") return "FontType";
    if (sub == "FontSize" || sub == "DescriptionFontSize") return "FontSize";
    if (sub == "FontColor" || sub == "DescriptionFontColor") return "FontColor";
    if (sub == "FontShade") return "FontShade";
    if (sub == "FontShadeColor" || sub == "DescriptionFontShadeColor") return "FontShadeColor";
    return {};
}

bool RunMessageWindow(CWindowMessage& window, const WindowArgs& args) {
    const std::string& sub = args.sub();
    if (sub == "Open") {
        const OpenValues v = ReadMessageOpen(args);
        window.Open(v.effect, v.x, v.y, v.width, v.height, v.shown, v.skinShown);
    } else if (sub == "SetVisible") {
        window.SetVisible(args.B(1));
    } else if (sub == "SkinVisible") {
        window.SkinVisible(args.B(1));
    } else if (sub == "PrintText") {
        window.PrintText(args.T(1));
    } else if (sub == "AddText") {
        window.AddText(args.T(1));
    } else if (sub == "Close") {
        window.Close();
    } else if (sub == "SkinType") {
        window.SkinType(args.I(1));
    } else if (!sub.empty() && !ApplyFontCommand(window, sub, args)) {
        return false;
    }
    return true;
}

bool RunSelectContents(CWindowSelectable& window, const WindowArgs& args) {
    const std::string& sub = args.sub();
    if (sub == "SetColumn")
        window.SetColumn(args.I(1));
    else if (sub == "ContentsHeight")
        window.ContentsHeight(args.I(1));
    else if (sub == "ContentsNum")
        window.ContentsNum(args.I(1));
    else if (sub == "SetContents")
        window.SetContents(args.I(1), args.T(2), args.Empty(3) ? true : args.B(3));
    else if (sub == "SetContentsEnable")
        window.SetContentsEnable(args.I(1), args.B(2));
    else if (sub == "SetDescription")
        window.SetDescription(args.I(1), args.T(2));
    else if (sub == "CursorMoveSeFile")
        window.CursorMoveSeFile(SoundEffectPath(args.S(1)));
    else if (sub == "SelectSeFile")
        window.SelectSeFile(SoundEffectPath(args.S(1)));
    else if (sub == "CancelSeFile")
        window.CancelSeFile(SoundEffectPath(args.S(1)));
    else
        return false;
    return true;
}

bool RunSelectWindowing(CWindowSelectable& window, const WindowArgs& args) {
    const std::string& sub = args.sub();
    if (sub == "Open") {
        const OpenValues v = ReadSelectOpen(args);
        window.Open(v.effect, v.x, v.y, v.width, v.height, v.margin, v.shown, v.skinShown);
    } else if (sub == "OpenDescription") {
        const OpenValues v = ReadMessageOpen(args);
        window.OpenDescription(v.effect, v.x, v.y, v.width, v.height, v.shown, v.skinShown);
    } else if (sub == "SetDescriptionVisible") {
        window.SetDescriptionVisible(args.B(1));
    } else if (sub == "SetVisible") {
        window.SetVisible(args.B(1));
    } else if (sub == "SkinType") {
        window.SkinType(args.I(1));
    } else if (sub == "DescriptionSkinType") {
        window.DescriptionSkinType(args.I(1));
    } else if (sub == "CloseDescription") {
        window.CloseDescription();
    } else if (sub == "Close") {
        window.Close();
    } else if (sub == "DescriptionFontShade") {
        window.FontShade(args.B(1));
    } else if (const std::string_view font = DescriptionFontCommand(sub); !font.empty()) {
        if (CWindowMessage* description = window.descriptionWindow())
            ApplyFontCommand(*description, font, args);
    } else {
        return false;
    }
    return true;
}

}  // namespace

const CommandSignature kMessageWindowSignature{"MessageWindow", kMessageWindowSubCommands,
                                               UnknownSubCommand::ErrorUnlessEmpty,
                                               "MessageWindowについて文法ミス？", ArgKind::WindowNumber};
const CommandSignature kSelectWindowSignature{"SelectWindow", kSelectWindowSubCommands,
                                              UnknownSubCommand::ErrorUnlessEmpty,
                                              "SelectWindowについて文法ミス？", ArgKind::WindowNumber};

StepAction CommandMessageWindow(ScriptContext& context) {
    CWindowSet* windows = context.runner.windows;
    const WindowArgs args(context);
    const int32_t w = args.I(0);
    if (!windows || !CWindowSet::ValidIndex(w)) return StepAction::Continue;
    if (ShowsSubCommandError(kMessageWindowSignature, args.sub()) ||
        !RunMessageWindow(windows->message(w), args))
        ReportUnknownSubCommand(kMessageWindowSignature, context.runner.services().messageBoxes);
    return StepAction::Continue;
}

// Starting or stopping a choice suspends the script for the rest of the frame.
StepAction CommandSelectWindow(ScriptContext& context) {
    CWindowSet* windows = context.runner.windows;
    const WindowArgs args(context);
    const int32_t w = args.I(0);
    if (!windows || !CWindowSet::ValidIndex(w)) return StepAction::Continue;
    CWindowSelectable& window = windows->selection(w);
    const std::string& sub = args.sub();
    if (ShowsSubCommandError(kSelectWindowSignature, sub)) {
        ReportUnknownSubCommand(kSelectWindowSignature, context.runner.services().messageBoxes);
        return StepAction::Continue;
    }
    if (sub == "Select") {
        window.Select(args.B(1));
        windows->selectResultVariable[w] = args.I(2);
        return StepAction::Suspend;
    }
    if (!sub.empty() && !RunSelectContents(window, args) && !RunSelectWindowing(window, args))
        ReportUnknownSubCommand(kSelectWindowSignature, context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
