#include "script/ScriptArguments.h"

#include <climits>
#include <vector>

#include "script/ScriptStatement.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

bool IsCSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

bool HasBrackets(std::string_view text) {
    return text.find('[') != std::string_view::npos && text.find(']') != std::string_view::npos;
}

// The part strictly between the first '[' and the last ']'; a missing '[' stands before the
// text's first byte and a missing ']' after its last.
std::string_view BetweenBrackets(std::string_view text) {
    const size_t open = text.find('[');
    const size_t close = text.rfind(']');
    const size_t begin = open == std::string_view::npos ? 0 : open + 1;
    const size_t end = close == std::string_view::npos ? text.size() : close;
    if (end <= begin) return {};
    return text.substr(begin, end - begin);
}

}  // namespace

int32_t SaturatingAtoi(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t{INT_MIN} : int64_t{INT_MAX};
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value >= limit) {
            value = limit;  // saturated; the remaining digits cannot bring it back
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// A reference may name its variable through other references ($num[[$num[5]]]); peeling the
// brackets level by level is done in a loop, counting the lookups to apply on the way out, so
// deeply nested input cannot exhaust the stack.
int32_t ResolveIndex(std::string_view text, const CVariableStore& variables) {
    int lookups = 0;
    int32_t value = 0;
    for (;;) {
        if (!HasBrackets(text)) {
            value = SaturatingAtoi(text);
            break;
        }
        text = BetweenBrackets(text);  // ReadIntArg of the inner part
        if (text.empty()) {
            value = 0;
            break;
        }
        if (text[0] != '$') {
            value = SaturatingAtoi(text);
            break;
        }
        ++lookups;
        text = BetweenBrackets(text);
    }
    for (; lookups > 0; --lookups) value = variables.GetInt(value);
    return value;
}

int32_t ReadIntArg(std::string_view text, const CVariableStore& variables) {
    if (text.empty()) return 0;
    if (text[0] != '$') return SaturatingAtoi(text);
    return variables.GetInt(ResolveIndex(BetweenBrackets(text), variables));
}

std::string ReadStringArg(std::string_view text, const CVariableStore& variables) {
    if (text.empty()) return {};
    if (text[0] != '$') return std::string(text);
    return variables.GetString(ResolveIndex(text, variables));
}

bool ReadBoolArg(std::string_view text, const CVariableStore& variables) {
    if (text.empty()) return false;
    if (text[0] != '$') return text == "true";
    return variables.GetFlag(ResolveIndex(text, variables));
}

std::string ExpandText(std::string_view source, const CVariableStore& variables) {
    std::string text(source);
    const size_t maxLength = source.size() + kMaxExpansionGrowth;
    for (int round = 0; round < kMaxExpansions && text.size() <= maxLength; ++round) {
        const size_t dollar = text.find('$');
        if (dollar == std::string::npos) break;
        size_t close = text.find(']', dollar);
        if (close == std::string::npos) break;
        // One level of nesting: $num[$num[2]] runs to the second ']'.
        const size_t inner = text.find('$', dollar + 2);
        if (inner != std::string::npos && inner < close) {
            close = text.find(']', close + 1);
            if (close == std::string::npos) close = text.size() - 1;
        }
        const std::string_view reference = std::string_view(text).substr(dollar, close - dollar + 1);
        const std::string_view kind = reference.substr(1, 3);
        std::string value;
        if (kind == "num") {
            value = std::to_string(ReadIntArg(reference, variables));
        } else if (kind == "str") {
            value = ReadStringArg(reference, variables);
        } else if (kind == "fla") {
            value = ReadBoolArg(reference, variables) ? "true" : "false";
        } else {
            break;  // not a reference ("$5 [sale]"): the text stays as it is from here on
        }
        text.replace(dollar, close - dollar + 1, value);
    }
    return text;
}

ScriptArgs::ScriptArgs(const ScriptStatement& statement, const CVariableStore& variables)
    : statement_(statement), variables_(variables) {}

const std::string& ScriptArgs::Arg(int k) const {
    return statement_.args[static_cast<size_t>(k)];
}

const std::string& ScriptArgs::sub() const {
    return statement_.words[1];
}

int32_t ScriptArgs::Int(int k) const {
    return ReadIntArg(Arg(k), variables_);
}

std::string ScriptArgs::String(int k) const {
    return ReadStringArg(Arg(k), variables_);
}

bool ScriptArgs::Bool(int k) const {
    return ReadBoolArg(Arg(k), variables_);
}

std::string ScriptArgs::Text(int k) const {
    return ExpandText(Arg(k), variables_);
}

bool ScriptArgs::Empty(int k) const {
    return Arg(k).empty();
}

int ScriptArgs::FirstEmpty(int first, int last) const {
    for (int k = first; k <= last; ++k)
        if (Empty(k)) return k;
    return last + 1;
}

void ScriptArgs::ReadSubject(SubjectRead how) {
    switch (how) {
        case SubjectRead::None:
            break;
        case SubjectRead::Int:
            subject_ = Int(0);
            break;
        case SubjectRead::String:
            subjectText_ = String(0);
            break;
    }
}

}  // namespace zepa
