// The Picture statement: loads image files into picture slots and releases them.
#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/ScriptStatement.h"
#include "stage/PictureSet.h"

namespace zepa {
namespace {

constexpr SubCommandSignature kPictureSubCommands[] = {
    {"Load", {{1, ArgKind::PictureImage}}},
    {"Release"},
};

}  // namespace

const CommandSignature kPictureSignature{"Picture", kPictureSubCommands, UnknownSubCommand::ErrorAlways,
                                         "Pictureについて文法ミス？", ArgKind::PictureNumber};

StepAction CommandPicture(ScriptContext& context) {
    const ScriptStatement& statement = context.statement;
    const CVariableStore& variables = context.runner.variables();
    const int slot = ReadIntArg(statement.args[0], variables);
    if (slot < 0 || slot >= CPictureSet::kPictureCount) return StepAction::Continue;
    CPictureSet* pictures = context.runner.pictures;
    const std::string& command = statement.words[1];
    if (!FindSubCommand(kPictureSignature, command)) {
        ReportUnknownSubCommand(kPictureSignature, context.runner.services().messageBoxes);
    } else if (command == "Load") {
        if (pictures) pictures->LoadPicture(slot, ReadStringArg(statement.args[1], variables));
    } else if (command == "Release") {
        if (pictures) pictures->ReleasePicture(slot);
    }
    return StepAction::Continue;
}

}  // namespace zepa
