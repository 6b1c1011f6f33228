// Runs a script frame by frame: honours the wait states, then reads statements and dispatches them
// by keyword until one suspends the script, the script ends, or a statement is malformed.
#pragma once

#include <functional>
#include <nlohmann/json_fwd.hpp>

#include "script/ScriptCommands.h"
#include "script/ScriptLookAhead.h"
#include "script/ScriptReader.h"
#include "script/ScriptServices.h"

namespace zepa {

class CVariableStore;
class CScriptRandom;
class CPackArchive;
class CPictureSet;
class CWindowSet;
struct ButtonState;
struct SavePointRecord;

class CScriptRunner {
  public:
    // What the state dump shows: the innermost level's file and depth, and the wait state.
    nlohmann::json DescribeState() const;
    // Each script level, outermost first: its file (UTF-8) and the line of the statement it runs
    // next.
    nlohmann::json DescribePosition() const;
    // "FILE:LINE" of the statement running now (or read last) in the innermost level.
    std::string CurrentStatementOrigin() const;

    // Work one frame may do before it ends even without a wait, in statements: every statement
    // read costs one, whether it runs or is passed over in a skipped block, and every
    // kStringBytesPerStatement bytes a statement reads from or stores into string variables cost
    // one more. So
    // neither a jump loop, nor a loop over a long skipped block, nor a loop that copies
    // megabyte strings can hold a frame for long.
    static constexpr int kMaxStatementsPerFrame = 1000000;
    static constexpr int kStringBytesPerStatement = 1024;
    // What statements that go to the disk cost: writing a save file (written whole and flushed)
    // and reading a save's record. A loop of saves thus writes at most 100 files a frame.
    static constexpr int kFileWriteStatements = 10000;
    static constexpr int kFileReadStatements = 1000;
    // Reading, decoding and drawing cost one statement per this many units of work (a byte read
    // or a pixel made; see CWorkMeter): a pixel decoded costs about a quarter of what a plain
    // statement does, so a frame of loads takes about as long as a frame of Calc.
    static constexpr uint64_t kWorkUnitsPerStatement = 4;
    // Work done between two looks at whether the run is asked to stop.
    static constexpr int kStopPollWork = 4096;
    explicit CScriptRunner(const ScriptServices& services);
    ~CScriptRunner();
    CScriptRunner(const CScriptRunner&) = delete;
    CScriptRunner& operator=(const CScriptRunner&) = delete;

    // The budget in force: kMaxStatementsPerFrame, lowered only by fuzzers and tests so that the
    // runaway scripts they generate cost little time.
    void SetFrameBudget(int statements) { frameBudget_ = statements; }

    // One frame's step. True: the script goes on in a later frame; false: it has ended.
    bool StepScript();

    // Asked first each frame: while it answers true (a choice is open) nothing runs.
    void SetSelectionActiveQuery(std::function<bool()> query) { selectionActive_ = std::move(query); }
    // Fills the stage part of a save point's record (background, music, characters, focus); the
    // main scene installs it. Without one those fields stay as given.
    using StageCapture = std::function<void(SavePointRecord&)>;
    void SetStageCapture(StageCapture capture) { stageCapture_ = std::move(capture); }
    void CaptureStage(SavePointRecord& record) const {
        if (stageCapture_) stageCapture_(record);
    }

    CScriptReader& reader() { return reader_; }
    const CScriptReader& reader() const { return reader_; }
    const ScriptServices& services() const { return services_; }
    CVariableStore& variables() const { return services_.variables; }
    CScriptRandom& random() const { return services_.random; }
    const ButtonState& buttons() const { return services_.buttons; }

    // True when the last StepScript ended its frame only because the statement budget was spent.
    bool frameBudgetSpent() const { return frameBudgetSpent_; }
    // Counts `statements` more against this frame's budget (statements passed over by a skip).
    void ChargeStatements(int statements) { workThisFrame_ += statements; }
    // Counts work done by a statement itself (text drawn: pixels) against this frame's budget.
    void ChargeWork(uint64_t units) {
        workThisFrame_ += static_cast<long long>(units / kWorkUnitsPerStatement);
    }

    int waitCounter = 0;              // frames still to wait
    bool waitForOk = false;           // waiting for the OK button
    CPictureSet* pictures = nullptr;  // the scene's pictures and sprites; null outside a scene
    CWindowSet* windows = nullptr;    // the scene's windows, for the window commands (none: ignored)

  private:
    StepAction Dispatch(const ScriptStatement& statement);
    bool StopRequested() const { return services_.stopRequested && services_.stopRequested(); }
    // The work done so far by the resource readers and the script reader.
    uint64_t WorkUnits() const;

    ScriptServices services_;
    CScriptReader reader_;
    CScriptLookAhead lookAhead_;
    int frameBudget_ = kMaxStatementsPerFrame;
    std::function<bool()> selectionActive_;
    StageCapture stageCapture_;
    bool frameBudgetSpent_ = false;
    long long workThisFrame_ = 0;
};

}  // namespace zepa
