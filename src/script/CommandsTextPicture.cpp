// The TextPicture statement: text pictures and the font settings they are drawn with.
//
// The first argument is checked as a picture number for every sub-command, the font settings
// included, where it is a face name, a size, an alpha or a switch: a size or an alpha above 63
// is therefore ignored, and so is a face name that starts with a number above 63.
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

struct TextPictureArgs {
    const ScriptStatement& statement;
    const CVariableStore& variables;
    int Int(int index) const { return ReadIntArg(statement.args[index], variables); }
    std::string String(int index) const { return ReadStringArg(statement.args[index], variables); }
    std::string Text(int index) const { return ExpandText(statement.args[index], variables); }
};

// False when the sub-command is not one of the statement's. Without a picture set (a script run
// outside the main scene) the statement is only checked.
bool RunTextPicture(CPictureSet* set, IGlyphSource& glyphs, const std::string& command, int slot,
                    const TextPictureArgs& args) {
    std::optional<CPictureSet> scratch;
    if (!set) scratch.emplace(nullptr, glyphs);
    CPictureSet& pictures = set ? *set : *scratch;
    if (command == "Create") {
        pictures.CreateTextPicture(slot, args.Int(1), args.Int(2), args.Text(3));
    } else if (command == "Write") {
        pictures.WriteTextPicture(slot, args.Text(1));
    } else if (command == "Release") {
        pictures.ReleaseTextPicture(slot);
    } else if (command == "FontType") {
        pictures.SetTextFont(args.String(0));
    } else if (command == "FontSize") {
        pictures.SetTextSize(args.Int(0));
    } else if (command == "FontColor") {
        pictures.SetTextColor(args.Int(0), args.Int(1), args.Int(2), args.Int(3));
    } else if (command == "FontShade") {
        pictures.SetTextShade(ReadBoolArg(args.statement.args[0], args.variables), args.Int(1), args.Int(2),
                              args.Int(3), args.Int(4));
    } else if (!command.empty()) {
        return false;
    }
    return true;
}

constexpr SubCommandSignature kTextPictureSubCommands[] = {
    {"Create"}, {"Write"}, {"Release"}, {"FontType"}, {"FontSize"}, {"FontColor"}, {"FontShade"},
};

}  // namespace

const CommandSignature kTextPictureSignature{"TextPicture", kTextPictureSubCommands,
                                             UnknownSubCommand::ErrorUnlessEmpty,
                                             "TextPictureについて文法ミス？", ArgKind::PictureNumber};

StepAction CommandTextPicture(ScriptContext& context) {
    const TextPictureArgs args{context.statement, context.runner.variables()};
    const int slot = args.Int(0);
    if (slot < 0 || slot >= CPictureSet::kPictureCount) return StepAction::Continue;
    const std::string& command = context.statement.words[1];
    if (ShowsSubCommandError(kTextPictureSignature, command) ||
        (FindSubCommand(kTextPictureSignature, command) &&
         !RunTextPicture(context.runner.pictures, context.runner.services().glyphs, command, slot, args)))
        ReportUnknownSubCommand(kTextPictureSignature, context.runner.services().messageBoxes);
    return StepAction::Continue;
}

}  // namespace zepa
