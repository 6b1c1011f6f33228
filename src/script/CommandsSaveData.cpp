// The save-slot and font commands. SaveData writes the snapshot of the last save point, chooses the
// quick-save slot, or reads a slot's save-point name into a string variable; the slot number is
// read first, whatever the sub-command.
#include <string>

#include "script/CommandSignatures.h"
#include "script/SavePointRecord.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

StepAction Save(ScriptContext& context, const ScriptArgs& args) {
    context.runner.ChargeStatements(CScriptRunner::kFileWriteStatements);
    context.WriteSave(args.subject());
    context.variables().SetQuickSaveSlot(args.subject());
    return StepAction::Continue;
}

StepAction Load(ScriptContext& context, const ScriptArgs& args) {
    context.variables().SetQuickSaveSlot(args.subject());
    return StepAction::Continue;
}

StepAction Refer(ScriptContext& context, const ScriptArgs& args) {
    context.runner.ChargeStatements(CScriptRunner::kFileReadStatements);
    const int target = args.Int(1);
    SavePointRecord record;
    context.variables().SetString(target, context.ReadSaveRecord(args.subject(), record)
                                              ? record.savePointName
                                              : std::string("NO DATA"));
    return StepAction::Continue;
}

constexpr SubCommand kSaveDataSubCommands[] = {
    {"Save", Save},
    {"Load", Load},
    {"Refer", Refer, {{1, ArgKind::StringVariable}}},
};

}  // namespace

const CommandSignature kSaveDataSignature{
    .keyword = "SaveData",
    .subCommands = kSaveDataSubCommands,
    .unknown = UnknownSubCommand::ErrorAlways,
    .errorTextUtf8 = "SaveDataについて文法ミス？",
    .subject = SubjectRead::Int,
};

// Fonts are chosen by the windows' own settings; the statement does nothing.
StepAction CommandFont(ScriptContext&, const ScriptArgs&) {
    return StepAction::Continue;
}

}  // namespace zepa
