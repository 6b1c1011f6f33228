#include "script/ScriptCondition.h"

#include <string>
#include <string_view>

#include "script/ScriptArguments.h"
#include "script/ScriptStatement.h"

namespace zepa {
namespace {

bool CompareInts(int x, std::string_view op, int y) {
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    if (op == ">=") return x >= y;
    if (op == "<=") return x <= y;
    if (op == ">") return x > y;
    if (op == "<") return x < y;
    if (op.empty()) return x != 0;
    return false;
}

bool CompareStrings(const std::string& x, std::string_view op, const std::string& y) {
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    return !x.empty();
}

bool CompareFlags(bool x, std::string_view op, bool y) {
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    return x;
}

}  // namespace

// The right operand is only ever args[2]: a negative literal arrives split into "-" and its
// digits, so `$num[1] == -1` compares with "-", which reads as 0.
bool EvaluateCondition(const ScriptStatement& statement, const CVariableStore& variables) {
    const std::string& left = statement.args[0];
    const std::string& op = statement.args[1];
    const std::string& right = statement.args[2];
    if (left == "!") return !ReadBoolArg(op, variables);
    const std::string_view kind = std::string_view(left).substr(left.empty() ? 0 : 1, 3);
    if (kind == "num") return CompareInts(ReadIntArg(left, variables), op, ReadIntArg(right, variables));
    if (kind == "str")
        return CompareStrings(ReadStringArg(left, variables), op, ReadStringArg(right, variables));
    if (kind == "fla") return CompareFlags(ReadBoolArg(left, variables), op, ReadBoolArg(right, variables));
    return !(left == "false" || left == "0");
}

}  // namespace zepa
