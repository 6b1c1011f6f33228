// The look past a wait: when the script suspends, the statements that follow in the same level, up
// to the next one that waits or leaves the level for good (a sub-call comes back), are read
// without running them, and every image
// they name literally (a background, a character, a picture) is handed to the stage to be decoded
// on the read-ahead worker while the wait lasts; what the look before asked for and no statement
// took is dropped. Names held in variables are not guessed.
#pragma once

#include "script/ScriptReader.h"

namespace zepa {

class CPictureSet;
class ILog;
struct StageRecord;

class CScriptLookAhead {
  public:
    // Statements read at most per look, so that a long stretch without a wait costs little.
    static constexpr int kMaxStatements = 256;

    explicit CScriptLookAhead(ILog& log) : peek_(log) {}

    // Looks on from `level`'s position. `stage` and `pictures` may be null (nothing to load into).
    void LookFrom(const CScriptReader& level, const StageRecord* stage, const CPictureSet* pictures);

  private:
    // False when the statement read last waits or leaves the level.
    bool ReadAheadImages(const StageRecord* stage, const CPictureSet* pictures);

    CScriptReader peek_;
};

}  // namespace zepa
