#include "script/ScriptRunner.h"

#include "core/WorkMeter.h"

#include <string_view>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptStatement.h"
#include "script/SubCommandDispatch.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

// Tested in this order, by exact, case-sensitive equality. The command groups name their tables,
// the other keywords their handlers.
constexpr KeywordEntry kKeywords[] = {
    {"Background", nullptr, &kBackgroundSignature},
    {"Character", nullptr, &kCharacterSignature},
    {"Picture", nullptr, &kPictureSignature},
    {"TextPicture", nullptr, &kTextPictureSignature},
    {"Sprite", nullptr, &kSpriteSignature},
    {"MessageWindow", nullptr, &kMessageWindowSignature},
    {"SelectWindow", nullptr, &kSelectWindowSignature},
    {"Sound", nullptr, &kSoundSignature},
    {"SaveData", nullptr, &kSaveDataSignature},
    {"Font", CommandFont},
    {"Wait", CommandWait},
    {"WaitOK", CommandWaitOK},
    {"Calc", CommandCalc},
    {"if", CommandIf},
    {"elseif", CommandElseIf},
    {"else", CommandElse},
    {"Random", CommandRandom},
    {"CallSub", CommandCallSub},
    {"Return", CommandReturn},
    {"Jump", CommandJump},
    {"SavePoint", CommandSavePoint},
    {"SetTitle", CommandSetTitle},
    {"EndScript", CommandEndScript},
    {"end", CommandEnd},
};

}  // namespace

std::span<const KeywordEntry> KeywordTable() {
    return kKeywords;
}

// Every statement asks; the first byte rules out most entries before any compare.
const KeywordEntry* FindKeyword(std::string_view keyword) {
    if (keyword.empty()) return nullptr;
    for (const KeywordEntry& entry : kKeywords) {
        if (entry.keyword[0] == keyword[0] && keyword == entry.keyword) return &entry;
    }
    return nullptr;
}

CScriptRunner::CScriptRunner(const ScriptServices& services)
    : services_(services), reader_(services.log, services.archive), lookAhead_(services.log) {
    services_.messageBoxes.SetOrigin(this, [this] { return CurrentStatementOrigin(); });
}

CScriptRunner::~CScriptRunner() {
    services_.messageBoxes.ClearOrigin(this);
}

bool CScriptRunner::StepScript() {
    if (selectionActive_ && selectionActive_()) return true;
    if (waitCounter >= 1) {
        --waitCounter;
        return true;
    }
    if (waitForOk) {
        if (services_.buttons.pressed[kButtonOk]) waitForOk = false;
        return true;
    }
    // A loop of jumps with no wait in it would otherwise never end the frame, and the window
    // would stop answering; past the budget the frame ends and the script goes on in the next.
    frameBudgetSpent_ = false;
    workThisFrame_ = 0;
    long long nextStopPoll = kStopPollWork;
    while (workThisFrame_ < frameBudget_) {
        ++workThisFrame_;
        if (workThisFrame_ >= nextStopPoll) {
            // A stop signal ends the frame early; the main loop then ends the run.
            if (StopRequested()) break;
            nextStopPoll = workThisFrame_ + kStopPollWork;
        }
        if (!reader_.ReadStatement()) {
            // A sub-call level that runs out of text returns to its caller, as Return would;
            // otherwise every later read would fail there and the script would hang.
            if (reader_.Innermost().depth() > 1 && reader_.Innermost().atEnd()) {
                reader_.PopLevel();
                continue;
            }
            return !reader_.IsAtEnd();
        }
        const uint64_t touchedBefore = services_.variables.stringBytesTouched();
        const uint64_t workBefore = WorkUnits();
        const StepAction action = Dispatch(reader_.statement());
        workThisFrame_ += static_cast<long long>((services_.variables.stringBytesTouched() - touchedBefore) /
                                                 kStringBytesPerStatement);
        ChargeWork(WorkUnits() - workBefore);
        switch (action) {
            case StepAction::Continue:
                break;
            case StepAction::Suspend:
                // While the script waits, the images its next statements load are decoded.
                lookAhead_.LookFrom(reader_.Innermost(), services_.stage, pictures);
                return true;
            case StepAction::End:
                return false;
        }
    }
    frameBudgetSpent_ = true;
    return true;
}

uint64_t CScriptRunner::WorkUnits() const {
    return reader_.bytesLoaded() + (services_.work ? services_.work->units() : 0);
}

StepAction CScriptRunner::Dispatch(const ScriptStatement& statement) {
    const std::string& keyword = statement.words[0];
    if (keyword.empty()) return StepAction::Continue;  // blank, comment or label line
    ScriptContext context{*this, statement};
    const KeywordEntry* entry = FindKeyword(keyword);
    if (!entry) {
        context.ShowError(kUnknownKeywordTextUtf8);
        return StepAction::Continue;
    }
    if (entry->signature) return RunCommandGroup(*entry->signature, context);
    return entry->handler(context, ScriptArgs(statement, services_.variables));
}

// The waits end this frame's statement loop at once.
StepAction CommandWait(ScriptContext& context, const ScriptArgs& args) {
    context.runner.waitCounter = args.Int(0);
    return StepAction::Suspend;
}

StepAction CommandWaitOK(ScriptContext& context, const ScriptArgs&) {
    context.runner.waitForOk = true;
    return StepAction::Suspend;
}

}  // namespace zepa
