#include "script/Calc.h"

#include <climits>
#include <optional>
#include <string>
#include <string_view>

#include "script/ScriptArguments.h"
#include "script/ScriptRandom.h"
#include "script/ScriptStatement.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

// Two's complement arithmetic without undefined behaviour: computed on unsigned values.
int32_t Wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}
int32_t WrappingAdd(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrappingSub(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t WrappingMul(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t WrappingNeg(int32_t a) {
    return Wrap(0u - static_cast<uint32_t>(a));
}
// Division and remainder have no value for a zero divisor or INT_MIN / -1.
bool DivisionDefined(int32_t a, int32_t b) {
    return b != 0 && !(a == INT_MIN && b == -1);
}

// The value of `left op right`; nullopt when it has none.
std::optional<int32_t> Apply(std::string_view op, int32_t left, int32_t right) {
    if (op == "+") return WrappingAdd(left, right);
    if (op == "-") return WrappingSub(left, right);
    if (op == "*") return WrappingMul(left, right);
    if (op == "/") return DivisionDefined(left, right) ? std::optional(left / right) : std::nullopt;
    if (op == "%") return DivisionDefined(left, right) ? std::optional(left % right) : std::nullopt;
    return left;  // no operator (or an unknown one): the left operand alone
}

// Reads an operand that may be preceded by a separate "-" argument; returns the index after it.
int ReadSignedOperand(const ScriptStatement& s, int index, const CVariableStore& variables, int32_t& value) {
    const auto& args = s.args;
    if (index < ScriptStatement::kArgCount && std::string_view(args[index]) == "-") {
        const std::string& digits = index + 1 < ScriptStatement::kArgCount ? args[index + 1] : std::string();
        value = WrappingNeg(ReadIntArg(digits, variables));
        return index + 2;
    }
    value = index < ScriptStatement::kArgCount ? ReadIntArg(args[index], variables) : 0;
    return index + 1;
}

const std::string& Arg(const ScriptStatement& s, int index) {
    static const std::string kNone;
    return index < ScriptStatement::kArgCount ? s.args[index] : kNone;
}

// Operators are compared as string views: their length is known, so most comparisons end at once.
void CalcInt(const ScriptStatement& s, CVariableStore& variables, int number) {
    const std::string_view assign = s.args[1];
    const int32_t old = variables.GetInt(number);
    if (assign == "++") return variables.SetInt(number, WrappingAdd(old, 1));
    if (assign == "--") return variables.SetInt(number, WrappingSub(old, 1));

    int32_t left = 0;
    const int rest = ReadSignedOperand(s, 2, variables, left);
    int32_t right = 0;
    ReadSignedOperand(s, rest + 1, variables, right);
    const std::optional<int32_t> value = Apply(Arg(s, rest), left, right);
    if (!value) return;

    std::optional<int32_t> result;
    if (assign == "=")
        result = *value;
    else if (assign == "+=")
        result = Apply("+", old, *value);
    else if (assign == "-=")
        result = Apply("-", old, *value);
    else if (assign == "*=")
        result = Apply("*", old, *value);
    else if (assign == "/=")
        result = Apply("/", old, *value);
    else if (assign == "%=")
        result = Apply("%", old, *value);
    if (result) variables.SetInt(number, *result);
}

void CalcString(const ScriptStatement& s, CVariableStore& variables, int number) {
    const std::string_view assign = s.args[1];
    if (assign != "=" && assign != "+=") return;
    std::string first = ReadStringArg(s.args[2], variables);
    std::string second;
    if (s.args[3] == "+")
        second = ReadStringArg(s.args[4], variables);
    else if (!s.args[3].empty())
        return;
    const std::string& old = assign == "+=" ? variables.GetString(number) : std::string();
    if (old.size() + first.size() + second.size() > CVariableStore::kMaxStringLength) return;
    variables.SetString(number, old + first + second);
}

// An operand that may be preceded by a separate "!" argument.
int ReadFlagOperand(const ScriptStatement& s, int index, const CVariableStore& variables, bool& value) {
    if (std::string_view(Arg(s, index)) == "!") {
        value = !ReadBoolArg(Arg(s, index + 1), variables);
        return index + 2;
    }
    value = ReadBoolArg(Arg(s, index), variables);
    return index + 1;
}

void CalcFlag(const ScriptStatement& s, CVariableStore& variables, int number) {
    bool left = false;
    const int rest = ReadFlagOperand(s, 2, variables, left);
    bool right = false;
    ReadFlagOperand(s, rest + 1, variables, right);
    const std::string_view op = Arg(s, rest);
    if (op.empty())
        variables.SetFlag(number, left);
    else if (op == "+")
        variables.SetFlag(number, left || right);
    else if (op == "*")
        variables.SetFlag(number, left && right);
}

}  // namespace

void ExecuteCalc(const ScriptStatement& statement, CVariableStore& variables) {
    const std::string& target = statement.args[0];
    const std::string_view kind =
        target.size() > 1 ? std::string_view(target).substr(1, 3) : std::string_view();
    if (kind != "num" && kind != "str" && kind != "fla") return;
    const int number = ResolveIndex(target, variables);
    if (kind == "num")
        CalcInt(statement, variables, number);
    else if (kind == "str")
        CalcString(statement, variables, number);
    else
        CalcFlag(statement, variables, number);
}

void ExecuteRandom(const ScriptStatement& statement, CVariableStore& variables, CScriptRandom& random) {
    const int32_t number = ReadIntArg(statement.args[0], variables);
    const int32_t modulus = ReadIntArg(statement.args[1], variables);
    const int value = random.Next();
    if (modulus == 0) return;
    variables.SetInt(number, value % modulus);
}

}  // namespace zepa
