#include "script/ScriptArguments.h"

#include <gtest/gtest.h>

#include <climits>

#include "script/VariableStore.h"

namespace zepa {
namespace {

class ScriptArguments : public ::testing::Test {
  protected:
    CVariableStore vars;
};

TEST_F(ScriptArguments, AtoiReadsLikeTheCLibraryAndSaturates) {
    EXPECT_EQ(SaturatingAtoi("12abc"), 12);
    EXPECT_EQ(SaturatingAtoi("abc"), 0);
    EXPECT_EQ(SaturatingAtoi("-"), 0);
    EXPECT_EQ(SaturatingAtoi("  \t-42"), -42);
    EXPECT_EQ(SaturatingAtoi("+7"), 7);
    EXPECT_EQ(SaturatingAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("2147483648"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-2147483648"), INT_MIN);
    EXPECT_EQ(SaturatingAtoi("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(SaturatingAtoi("99999999999999999999999"), INT_MAX);
}

TEST_F(ScriptArguments, IntReferencesPeelOneBracketLevelBeforeReading) {
    vars.SetInt(5, 9);
    vars.SetInt(9, 77);
    EXPECT_EQ(ReadIntArg("", vars), 0);
    EXPECT_EQ(ReadIntArg("$num[5]", vars), 9);
    EXPECT_EQ(ReadIntArg("$num[$num[5]]", vars), 9);     // inner brackets peeled: still variable 5
    EXPECT_EQ(ReadIntArg("$num[[$num[5]]]", vars), 77);  // the variable whose number variable 5 holds
    EXPECT_EQ(ReadIntArg("$num[5", vars), 9);            // missing ']' runs to the end
    EXPECT_EQ(ReadIntArg("$anything[5]", vars), 9);      // the letters are not looked at
    EXPECT_EQ(ResolveIndex("$str[$num[5]]", vars), 9);
    EXPECT_EQ(ResolveIndex("12", vars), 12);
}

TEST_F(ScriptArguments, OutOfRangeReferencesReadNeutral) {
    vars.SetInt(0, 1);
    vars.SetString(0, "zero");
    vars.SetFlag(0, true);
    EXPECT_EQ(ReadIntArg("$num[70000]", vars), 0);
    EXPECT_EQ(ReadIntArg("$num[-1]", vars), 0);
    EXPECT_EQ(ReadStringArg("$str[4096]", vars), "");
    EXPECT_FALSE(ReadBoolArg("$flag[1024]", vars));
    EXPECT_FALSE(ReadBoolArg("$flag[-1]", vars));
}

TEST_F(ScriptArguments, StringsAndBooleans) {
    vars.SetString(3, "Ken");
    vars.SetFlag(1023, true);
    EXPECT_EQ(ReadStringArg("$str[3]", vars), "Ken");
    EXPECT_EQ(ReadStringArg("plain text", vars), "plain text");
    EXPECT_TRUE(ReadBoolArg("$flag[1023]", vars));
    EXPECT_TRUE(ReadBoolArg("true", vars));
    for (const char* text : {"True", "1", "yes", "", "true "}) EXPECT_FALSE(ReadBoolArg(text, vars)) << text;
}

TEST_F(ScriptArguments, DeeplyNestedReferenceIsSafe) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "$num[[";
    EXPECT_EQ(ReadIntArg(text, vars), 0);
}

TEST_F(ScriptArguments, ExpandTextReplacesReferences) {
    vars.SetInt(3, 250);
    vars.SetString(1, "Ken");
    vars.SetInt(1, 5);
    vars.SetInt(2, -3);
    vars.SetFlag(4, true);
    vars.SetInt(7, 1);
    EXPECT_EQ(ExpandText("$str[1] has $num[3] gold", vars), "Ken has 250 gold");
    EXPECT_EQ(ExpandText("$num[1] and $num[2]", vars), "5 and -3");
    EXPECT_EQ(ExpandText("100$", vars), "100$");
    EXPECT_EQ(ExpandText("a] $num[1] b", vars), "a] 5 b");
    EXPECT_EQ(ExpandText("$flag[4]/$flag[5]", vars), "true/false");
    EXPECT_EQ(ExpandText("[$num[$num[7]]]", vars), "[1]");  // reads variable 7 itself
    // Only one level of nesting is recognised: the last bracket stays.
    EXPECT_EQ(ExpandText("$num[[$num[7]]]", vars), "5]");
    EXPECT_EQ(ExpandText("no refs", vars), "no refs");
}

TEST_F(ScriptArguments, ExpandTextLeavesOtherKindsAndStops) {
    vars.SetInt(1, 5);
    EXPECT_EQ(ExpandText("$5 [sale] $num[1]", vars), "$5 [sale] $num[1]");
    EXPECT_EQ(ExpandText("$num[1] then $5 [sale]", vars), "5 then $5 [sale]");
}

TEST_F(ScriptArguments, ExpandTextOfValuesExpandsAgainButIsBounded) {
    vars.SetString(2, "$num[1]!");
    vars.SetInt(1, 8);
    EXPECT_EQ(ExpandText("<$str[2]>", vars), "<8!>");
    vars.SetString(0, "x$str[0]");
    const std::string self = ExpandText("$str[0]", vars);
    EXPECT_EQ(self.substr(0, 5), "xxxxx");
    EXPECT_LE(self.size(), static_cast<size_t>(kMaxExpansions) + 8);
    vars.SetString(0, "$str[0]$str[0]");  // doubles at every round
    EXPECT_LE(ExpandText("$str[0]", vars).size(), kMaxExpansionGrowth * 3);
}

}  // namespace
}  // namespace zepa
