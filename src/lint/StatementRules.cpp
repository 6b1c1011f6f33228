#include "lint/StatementRules.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "lint/LintWords.h"
#include "script/ScriptJumpIndex.h"

namespace zepa {
namespace {

constexpr int kArgCount = ScriptStatement::kArgCount;

bool IsBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

const std::string& Arg(const ScriptStatement& statement, int index) {
    static const std::string kNone;
    return index >= 0 && index < kArgCount ? statement.args[static_cast<size_t>(index)] : kNone;
}

// The written arguments from `first` up to `end` (exclusive), shown and separated by blanks.
std::string Joined(const ScriptStatement& statement, int first, int end) {
    std::string out;
    for (int k = first; k < end; ++k) {
        if (Arg(statement, k).empty()) continue;
        out += (out.empty() ? "" : " ") + Shown(Arg(statement, k));
    }
    return out;
}

int LastWritten(const ScriptStatement& statement) {
    for (int k = kArgCount - 1; k >= 0; --k)
        if (!Arg(statement, k).empty()) return k;
    return -1;
}

// The kind Calc and conditions read from a variable reference: the three letters after '$'.
std::string_view KindOf(const std::string& reference) {
    return reference.size() > 1 ? std::string_view(reference).substr(1, 3) : std::string_view();
}

bool IsVariableKind(std::string_view kind) {
    return kind == "num" || kind == "str" || kind == "fla";
}

// The index after an operand at `index` that may be preceded by its own `sign` argument, as Calc
// reads it ("-" for integers, "!" for flags, none for strings).
int AfterOperand(const ScriptStatement& statement, int index, std::string_view sign) {
    return !sign.empty() && Arg(statement, index) == sign ? index + 2 : index + 1;
}

// The index after what Calc evaluates, or nullopt when it evaluates nothing of the rest.
std::optional<int> CalcEnd(const ScriptStatement& statement, std::string_view kind) {
    const std::string& assign = Arg(statement, 1);
    if (kind == "str") {
        if (assign != "=" && assign != "+=") return std::nullopt;
        if (Arg(statement, 3) == "+") return 5;
        return Arg(statement, 3).empty() ? std::optional(3) : std::nullopt;  // else nothing is stored
    }
    if (kind == "num") {
        static constexpr std::string_view kAssignments[] = {"=", "+=", "-=", "*=", "/=", "%="};
        if (std::find(std::begin(kAssignments), std::end(kAssignments), assign) == std::end(kAssignments))
            return std::nullopt;
    }
    const std::string_view sign = kind == "num" ? "-" : "!";
    const int op = AfterOperand(statement, 2, sign);
    if (Arg(statement, op).empty()) return op;
    return AfterOperand(statement, op + 1, sign);
}

// The number in "$num[100]", or empty.
std::string WrittenNumber(const std::string& reference) {
    const size_t open = reference.find('[');
    if (open == std::string::npos || reference.back() != ']') return {};
    const std::string inner = reference.substr(open + 1, reference.size() - open - 2);
    const bool digits = !inner.empty() && std::all_of(inner.begin(), inner.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    return digits ? inner : std::string();
}

// The first empty argument of these commands makes it and every later one take its default (see
// their handlers: Background.Set, Character.SetGraph/MovePos/EraseAll, the windows' Open).
struct DefaultsFromFirstEmpty {
    std::string_view keyword;
    std::string_view sub;
    int first;
    int last;
};

constexpr DefaultsFromFirstEmpty kDefaultsFromFirstEmpty[] = {
    {"Background", "Set", 1, 2},     {"Character", "SetGraph", 2, 7}, {"Character", "MovePos", 3, 4},
    {"Character", "EraseAll", 0, 1}, {"MessageWindow", "Open", 1, 7}, {"SelectWindow", "Open", 1, 8},
};

}  // namespace

std::optional<std::string> TrailingCommentProblem(const StatementSpan& span) {
    const size_t stop = std::min(span.stop, span.text.size());
    bool written = false;
    for (size_t i = span.start; i < stop; ++i) {
        const char byte = span.text[i];
        if (byte == '\n' || byte == '(' || byte == '*') return std::nullopt;
        if (byte == '[') {  // a bracket index, read whole by the reader
            // Searched only within the statement, so a long text is scanned once.
            const size_t close = span.text.substr(0, stop).find_first_of("]\n", i);
            if (close == std::string_view::npos || span.text[close] == '\n') return std::nullopt;
            i = close;
            written = true;
            continue;
        }
        if (byte == '#') {
            if (!written) return std::nullopt;
            std::string_view before = span.text.substr(span.start, i - span.start);
            while (!before.empty() && IsBlank(before.front())) before.remove_prefix(1);
            while (!before.empty() && IsBlank(before.back())) before.remove_suffix(1);
            return Quoted(before) +
                   " is followed by a \"#\" comment without parentheses: the engine drops the statement's "
                   "last word with the comment, so it does not run as written; write " +
                   Quoted(std::string(before) + "()") +
                   " (after parentheses a comment is safe) or put the comment on a line of its own";
        }
        written = written || !IsBlank(byte);
    }
    return std::nullopt;
}

std::optional<std::string> ConditionProblem(const ScriptStatement& statement) {
    const std::string& left = Arg(statement, 0);
    if (Arg(statement, 1) != "=" || left == "!") return std::nullopt;
    const std::string_view kind = KindOf(left);
    std::string outcome;
    if (kind == "num")
        outcome = "the condition is always false";
    else if (kind == "str")
        outcome = "the condition is true whenever " + Shown(left) + " is not empty";
    else if (kind == "fla")
        outcome = "the condition is the value of " + Shown(left) + " alone";
    else
        outcome = "the condition depends on " + Quoted(left) + " alone";
    return statement.words[0] + ": \"=\" is not a comparison: " + outcome + "; write \"==\"";
}

std::optional<std::string> CalcTargetProblem(const ScriptStatement& statement) {
    const std::string& target = Arg(statement, 0);
    if (target.empty() || target[0] == '$') return std::nullopt;
    const std::string outcome = IsVariableKind(KindOf(target))
                                    ? "the engine takes its first character for the \"$\""
                                    : "the engine ignores the statement";
    return "Calc: the target " + Quoted(target) + " has no \"$\": " + outcome + "; write " +
           Quoted("$" + target);
}

std::optional<std::string> CalcOperationsProblem(const ScriptStatement& statement) {
    const std::string& target = Arg(statement, 0);
    if (target.empty() || target[0] != '$' || !IsVariableKind(KindOf(target))) return std::nullopt;
    const std::optional<int> end = CalcEnd(statement, KindOf(target));
    if (!end) return std::nullopt;
    const int last = LastWritten(statement);
    if (last < *end) return std::nullopt;
    return "Calc: more than one operation: the engine computes only \"" + Joined(statement, 2, *end) +
           "\" and ignores the rest (\"" + Joined(statement, *end, last + 1) +
           "\"); there is no precedence, so write one Calc per operation";
}

std::optional<std::string> EmptyArgumentProblem(const ScriptStatement& statement) {
    for (const DefaultsFromFirstEmpty& command : kDefaultsFromFirstEmpty) {
        if (statement.words[0] != command.keyword || statement.words[1] != command.sub) continue;
        int empty = command.first;
        while (empty <= command.last && !Arg(statement, empty).empty()) ++empty;
        std::vector<std::string> lost;
        for (int k = empty + 1; k <= command.last; ++k)
            if (!Arg(statement, k).empty()) lost.push_back(Quoted(Arg(statement, k)));
        if (lost.empty()) return std::nullopt;
        std::string list;
        for (const std::string& value : lost) list += (list.empty() ? "" : ", ") + value;
        return std::string(command.keyword) + "." + std::string(command.sub) +
               ": an empty argument makes the engine use the defaults for it and for every argument after "
               "it, so " +
               list + (lost.size() > 1 ? " are" : " is") + " ignored; give the empty argument a value";
    }
    return std::nullopt;
}

std::optional<std::string> VariableNumberProblem(const std::string& subject, const std::string& arg,
                                                 ArgKind kind) {
    if (kind != ArgKind::IntVariable && kind != ArgKind::StringVariable) return std::nullopt;
    if (arg.empty() || arg[0] != '$') return std::nullopt;
    const std::string variable = kind == ArgKind::StringVariable ? "string variable" : "integer variable";
    const std::string number = WrittenNumber(arg);
    return subject + Quoted(arg) + " stands where the number of " +
           (kind == ArgKind::StringVariable ? "a " : "an ") + variable +
           " is expected: the engine stores into the " + variable + " whose number is the value of " +
           Shown(arg) + " (variable 0 while that value is 0), not into " + Shown(arg) +
           (number.empty() ? std::string() : "; write " + number);
}

std::optional<std::string> CSavePointRule::Check(const ScriptStatement& statement, const StatementSpan& span,
                                                 int line, const std::string& shownPath) {
    const std::string& name = Arg(statement, 0);
    size_t at = span.start;
    while (at < span.text.size() && IsBlank(span.text[at])) ++at;
    const std::string pattern = SavePointPattern(name);
    const bool exact =
        (name.empty() || name[0] != '$') && span.text.substr(at, pattern.size()) == std::string_view(pattern);
    if (!exact)
        return "SavePoint is not written exactly as " + Shown(pattern) +
               ": a load made here cannot find it again and restarts " + shownPath + " from its top";
    const auto [first, inserted] = firstLine_.emplace(name, line);
    if (inserted) return std::nullopt;
    return "SavePoint: a second save point named " + Quoted(name) + " in this file (the first is on line " +
           std::to_string(first->second) + "): a load made at either resumes at the first one";
}

}  // namespace zepa
