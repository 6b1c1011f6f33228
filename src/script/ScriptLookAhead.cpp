#include "script/ScriptLookAhead.h"

#include <string_view>

#include "script/CommandSignatures.h"
#include "script/ScriptCommands.h"
#include "stage/PictureSet.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

// Statements after which the next ones may not run next: waits, and moves out of the level. A
// sub-call comes back to the statement after it, so the look goes on past CallSub.
bool EndsLook(const ScriptStatement& statement) {
    static constexpr std::string_view kStops[] = {"Wait", "WaitOK", "Jump", "Return", "EndScript"};
    for (std::string_view stop : kStops) {
        if (statement.words[0] == stop) return true;
    }
    return statement.words[0] == "SelectWindow" && statement.words[1] == "Select";
}

}  // namespace

void CScriptLookAhead::LookFrom(const CScriptReader& level, const StageRecord* stage,
                                const CPictureSet* pictures) {
    if (stage) {
        stage->background.BeginReadAhead();
    } else if (pictures) {
        pictures->BeginReadAhead();
    } else {
        return;
    }
    peek_.ContinueFrom(level);
    for (int read = 0; read < kMaxStatements; ++read) {
        if (!peek_.ReadStatement()) {
            if (peek_.atEnd()) break;
            continue;  // a malformed statement: the runner reports it and reads on, as here
        }
        if (!ReadAheadImages(stage, pictures)) break;
    }
    peek_.SetText({}, {});  // the level's text is not kept alive by the look
}

bool CScriptLookAhead::ReadAheadImages(const StageRecord* stage, const CPictureSet* pictures) {
    const ScriptStatement& statement = peek_.statement();
    if (EndsLook(statement)) return false;
    const KeywordEntry* entry = FindKeyword(statement.words[0]);
    if (!entry || !entry->signature) return true;
    const SubCommand* sub = FindSubCommand(*entry->signature, statement.words[1]);
    if (!sub) return true;
    for (const ArgCheck& check : sub->checks) {
        if (check.index < 0 || check.index >= ScriptStatement::kArgCount) continue;
        const std::string& file = statement.args[static_cast<size_t>(check.index)];
        if (file.empty() || file[0] == '$') continue;
        if (check.kind == ArgKind::BackgroundImage && stage) stage->background.ReadAhead(file);
        if (check.kind == ArgKind::CharacterImage && stage) stage->characters.ReadAhead(file);
        if (check.kind == ArgKind::PictureImage && pictures) pictures->ReadAhead(file);
    }
    return true;
}

}  // namespace zepa
