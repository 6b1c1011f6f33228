// Reading statement arguments. An argument starting with '$' refers to a variable by the number in
// its brackets ($num[12], $str[3], $flag[7]); the reader chooses the store by the kind of value it
// wants, not by the letters. Displayed texts have their references replaced by ExpandText.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zepa {

class CVariableStore;

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

}  // namespace zepa
