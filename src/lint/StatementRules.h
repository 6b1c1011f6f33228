// Statements the engine runs without a word but not as their author meant: each rule looks at one
// statement (and, where the written form matters, at its bytes in the script) and gives the
// message to report, or nullopt.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "script/CommandSignatures.h"
#include "script/ScriptStatement.h"

namespace zepa {

// The bytes a statement was read from: text[start, stop).
struct StatementSpan {
    std::string_view text;
    size_t start = 0;
    size_t stop = 0;
};

// "WaitOK # note": a '#' in the name phase ends the statement and drops its unstored last word.
std::optional<std::string> TrailingCommentProblem(const StatementSpan& span);

// "if($num[1] = 1)": a single '=' compares nothing.
std::optional<std::string> ConditionProblem(const ScriptStatement& statement);

// "Calc(num[1] = 1)": without '$' the engine does not know the target's kind.
std::optional<std::string> CalcTargetProblem(const ScriptStatement& statement);

// "Calc($num[1] = 2 + 3 * 4)": one operation is computed, the rest is dropped.
std::optional<std::string> CalcOperationsProblem(const ScriptStatement& statement);

// "Character.SetGraph(0, "a.png", "", 30, 300, 40)": from the first empty argument on, the
// command takes every default.
std::optional<std::string> EmptyArgumentProblem(const ScriptStatement& statement);

// "$num[100]" written where the number of a receiving variable is expected. `subject` starts the
// message ("SelectWindow.Select: ").
std::optional<std::string> VariableNumberProblem(const std::string& subject, const std::string& arg,
                                                 ArgKind kind);

// SavePoint statements of one script: each must be written exactly as SavePoint("name") for a
// load to find it, and a load finds only the first of one name.
class CSavePointRule {
  public:
    std::optional<std::string> Check(const ScriptStatement& statement, const StatementSpan& span, int line,
                                     const std::string& shownPath);

  private:
    std::map<std::string, int> firstLine_;
};

}  // namespace zepa
