// Reading statement arguments. An argument starting with '$' refers to a variable by the number in
// its brackets ($num[12], $str[3], $flag[7]); the reader chooses the store by the kind of value it
// wants, not by the letters. Displayed texts have their references replaced by ExpandText. The
// command handlers read through ScriptArgs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zepa {

class CVariableStore;
struct ScriptStatement;

// Decimal conversion as the C library's atoi (leading white space, optional sign, digits up to the
// first other byte; none gives 0), saturating at the 32-bit limits instead of overflowing.
int32_t SaturatingAtoi(std::string_view text);

// The number of the variable a reference names.
int32_t ResolveIndex(std::string_view text, const CVariableStore& variables);
int32_t ReadIntArg(std::string_view text, const CVariableStore& variables);
std::string ReadStringArg(std::string_view text, const CVariableStore& variables);
bool ReadBoolArg(std::string_view text, const CVariableStore& variables);

// Replaces the references in a displayed text by their values, again and again on the new text.
// Bounded: at most kMaxExpansions substitutions, and none once the text has grown by more than
// kMaxExpansionGrowth bytes, so a string that refers to itself cannot loop forever.
inline constexpr int kMaxExpansions = 1024;
inline constexpr size_t kMaxExpansionGrowth = 64 * 1024;
std::string ExpandText(std::string_view text, const CVariableStore& variables);

// How a command group reads args[0], the number or file its statement works on, before it looks
// at the sub-command.
enum class SubjectRead : unsigned char {
    None,    // not read beforehand
    Int,     // a window, slot or save number
    String,  // a file name
};

// A statement's arguments as the command handlers read them. Every read goes to the variables
// again, in the order the handler asks, so a statement costs what its reads cost.
class ScriptArgs {
  public:
    ScriptArgs(const ScriptStatement& statement, const CVariableStore& variables);

    // The sub-command, words[1].
    const std::string& sub() const;
    int32_t Int(int k) const;
    std::string String(int k) const;
    bool Bool(int k) const;
    // A displayed text, its references expanded.
    std::string Text(int k) const;
    bool Empty(int k) const;
    // The first empty argument from `first` to `last`, or last + 1: every argument from there on
    // takes its default.
    int FirstEmpty(int first, int last) const;

    // Reads args[0] once as the subject; the group dispatch does this before the sub-command.
    void ReadSubject(SubjectRead how);
    // The subject as read by ReadSubject (0 or empty when it was not read that way).
    int32_t subject() const { return subject_; }
    const std::string& subjectText() const { return subjectText_; }

  private:
    const std::string& Arg(int k) const;

    const ScriptStatement& statement_;
    const CVariableStore& variables_;
    int32_t subject_ = 0;
    std::string subjectText_;
};

}  // namespace zepa
