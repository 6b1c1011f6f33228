// The save-slot and font commands. SaveData writes the snapshot of the last save point, chooses the
// quick-save slot, or reads a slot's save-point name into a string variable.
#include "script/SaveFile.h"
#include "core/MessageBoxes.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

constexpr SubCommandSignature kSaveDataSubCommands[] = {
    {"Save"}, {"Load"}, {"Refer", {{1, ArgKind::StringVariable}}}};

}  // namespace

const CommandSignature kSaveDataSignature{"SaveData", kSaveDataSubCommands, UnknownSubCommand::ErrorAlways,
                                          "SaveDataについて文法ミス？"};

StepAction CommandSaveData(ScriptContext& context) {
    CVariableStore& variables = context.runner.variables();
    const ScriptStatement& statement = context.statement;
    const std::string& subCommand = statement.words[1];
    const int slot = ReadIntArg(statement.args[0], variables);
    if (!FindSubCommand(kSaveDataSignature, subCommand)) {
        ReportUnknownSubCommand(kSaveDataSignature, context.runner.services().messageBoxes);
    } else if (subCommand == "Save") {
        context.runner.ChargeStatements(CScriptRunner::kFileWriteStatements);
        WriteSaveFile(variables, slot, context.runner.services().log);
        variables.SetQuickSaveSlot(slot);
    } else if (subCommand == "Load") {
        variables.SetQuickSaveSlot(slot);
    } else if (subCommand == "Refer") {
        context.runner.ChargeStatements(CScriptRunner::kFileReadStatements);
        const int target = ReadIntArg(statement.args[1], variables);
        SavePointRecord record;
        variables.SetString(target,
                            ReadSaveRecord(slot, record) ? record.savePointName : std::string("NO DATA"));
    }
    return StepAction::Continue;
}

// Fonts are chosen by the windows' own settings; the statement does nothing.
StepAction CommandFont(ScriptContext&) {
    return StepAction::Continue;
}

}  // namespace zepa
