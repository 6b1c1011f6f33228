#include "script/Calc.h"

#include <gtest/gtest.h>

#include "support/TestServices.h"

#include <climits>

#include "script/ScriptRandom.h"
#include "script/ScriptReader.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

// Runs statements through the real reader, so operator splitting is part of what is tested.
class CalcTest : public ::testing::Test {
  protected:
    void Run(const std::string& line) {
        CScriptReader reader{zepa::testing::TestLog()};
        reader.SetText("t", line + "\n");
        ASSERT_TRUE(reader.ReadStatement()) << line;
        if (reader.statement().words[0] == "Random")
            ExecuteRandom(reader.statement(), vars, random);
        else
            ExecuteCalc(reader.statement(), vars);
    }
    CVariableStore vars;
    CScriptRandom random;
};

TEST_F(CalcTest, IntegerOperatorsAndSigns) {
    Run("Calc($num[0] = -5)");
    EXPECT_EQ(vars.GetInt(0), -5);
    Run("Calc($num[0] = 10 - -5)");
    EXPECT_EQ(vars.GetInt(0), 15);
    Run("Calc($num[0] -= -5)");
    EXPECT_EQ(vars.GetInt(0), 20);
    Run("Calc($num[0] = 7 / 2)");
    EXPECT_EQ(vars.GetInt(0), 3);
    Run("Calc($num[0] = -7 % 3)");
    EXPECT_EQ(vars.GetInt(0), -1);
    Run("Calc($num[0] = -7 / 2)");
    EXPECT_EQ(vars.GetInt(0), -3);
    Run("Calc($num[1] = 2 + 3 * 4)");
    EXPECT_EQ(vars.GetInt(1), 5);
    Run("Calc($num[1] *= 3)");
    EXPECT_EQ(vars.GetInt(1), 15);
    Run("Calc($num[1] /= 2)");
    EXPECT_EQ(vars.GetInt(1), 7);
    Run("Calc($num[1] %= 4)");
    EXPECT_EQ(vars.GetInt(1), 3);
    Run("Calc($num[1] += $num[0] * -2)");
    EXPECT_EQ(vars.GetInt(1), 3 + 6);
    Run("Calc($num[1] ^ 4)");  // unknown assignment: no store
    EXPECT_EQ(vars.GetInt(1), 9);
}

TEST_F(CalcTest, OutOfRangeTargetChangesNothing) {
    vars.SetInt(1, 41);
    Run("Calc($num[70000] = 1)");
    Run("Calc($num[-1] = 1)");
    Run("Calc($num[1] ++)");
    EXPECT_EQ(vars.GetInt(1), 42);
    EXPECT_EQ(vars.GetInt(0), 0);
    Run("Calc($num[1] --)");
    EXPECT_EQ(vars.GetInt(1), 41);
}

TEST_F(CalcTest, DivisionByZeroAndOverflowingDivisionLeaveTheTarget) {
    vars.SetInt(2, 11);
    for (const char* line :
         {"Calc($num[2] = 5 / 0)", "Calc($num[2] = 5 % 0)", "Calc($num[2] /= 0)", "Calc($num[2] %= $num[9])",
          "Calc($num[2] = $num[3] / -1)", "Calc($num[2] = $num[3] % -1)"}) {
        vars.SetInt(3, INT_MIN);
        Run(line);
        EXPECT_EQ(vars.GetInt(2), 11) << line;
    }
    vars.SetInt(3, INT_MIN);
    Run("Calc($num[3] /= -1)");
    EXPECT_EQ(vars.GetInt(3), INT_MIN);
    Run("Calc($num[3] %= -1)");
    EXPECT_EQ(vars.GetInt(3), INT_MIN);
}

TEST_F(CalcTest, ArithmeticWrapsAtThirtyTwoBits) {
    Run("Calc($num[0] = 2147483647 + 1)");
    EXPECT_EQ(vars.GetInt(0), INT_MIN);
    Run("Calc($num[0] --)");
    EXPECT_EQ(vars.GetInt(0), INT_MAX);
    Run("Calc($num[0] ++)");
    EXPECT_EQ(vars.GetInt(0), INT_MIN);
    vars.SetInt(4, INT_MIN);
    Run("Calc($num[0] = -$num[4])");
    EXPECT_EQ(vars.GetInt(0), INT_MIN);
    Run("Calc($num[0] = -2147483648)");  // the digits saturate before the sign is applied
    EXPECT_EQ(vars.GetInt(0), -INT_MAX);
    Run("Calc($num[0] = 65536 * 65536)");
    EXPECT_EQ(vars.GetInt(0), 0);
    Run("Calc($num[0] = $num[4] - 1)");
    EXPECT_EQ(vars.GetInt(0), INT_MAX);
    Run("Calc($num[0] = $num[4] * -1)");
    EXPECT_EQ(vars.GetInt(0), INT_MIN);
}

TEST_F(CalcTest, Strings) {
    vars.SetString(5, "Ken");
    Run("Calc($str[0] = \"a\")");
    Run("Calc($str[0] += \"b\" + \"c\")");
    EXPECT_EQ(vars.GetString(0), "abc");
    Run("Calc($str[0] = \"x\" - \"y\")");
    EXPECT_EQ(vars.GetString(0), "abc");
    Run("Calc($str[2] = \"Hi \" + $str[5])");
    EXPECT_EQ(vars.GetString(2), "Hi Ken");
    Run("Calc($str[2] += $str[5])");
    EXPECT_EQ(vars.GetString(2), "Hi KenKen");
    Run("Calc($str[2] -= \"a\")");
    EXPECT_EQ(vars.GetString(2), "Hi KenKen");
}

TEST_F(CalcTest, StringDoublingStopsAtTheLengthLimit) {
    Run("Calc($str[0] = \"ab\")");
    for (int i = 0; i < 40; ++i) Run("Calc($str[0] += $str[0])");
    EXPECT_EQ(vars.GetString(0).size(), CVariableStore::kMaxStringLength);
    Run("Calc($str[0] += \"x\")");
    EXPECT_EQ(vars.GetString(0).size(), CVariableStore::kMaxStringLength);
    EXPECT_EQ(vars.GetString(0).substr(0, 4), "abab");
}

TEST_F(CalcTest, FlagsAndTheirPackedLayout) {
    Run("Calc($flag[2] = true + false)");
    EXPECT_TRUE(vars.GetFlag(2));
    Run("Calc($flag[2] = true * false)");
    EXPECT_FALSE(vars.GetFlag(2));
    EXPECT_EQ(vars.GetInt(2), 0);
    Run("Calc($flag[3] = true)");
    Run("Calc($flag[3] = !$flag[3])");
    EXPECT_FALSE(vars.GetFlag(3));
    Run("Calc($flag[3] = !$flag[3])");
    EXPECT_TRUE(vars.GetFlag(3));
    Run("Calc($flag[1] = true)");
    Run("Calc($flag[7] = $flag[1] * !$flag[2])");
    EXPECT_TRUE(vars.GetFlag(7));
    Run("Calc($flag[9] = True)");
    EXPECT_FALSE(vars.GetFlag(9));
    Run("Calc($flag[1023] = true)");
    // Four flags a word, bits 4-31 unused.
    EXPECT_EQ(vars.flagWords()[0], 0b1010u);
    EXPECT_EQ(vars.flagWords()[1], 0b1000u);
    EXPECT_EQ(vars.flagWords()[255], 0b1000u);
}

TEST_F(CalcTest, TargetWithoutAKnownKindDoesNothing) {
    Run("Calc(5 = 1)");
    Run("Calc($nope[5] = 1)");
    Run("Calc()");
    EXPECT_EQ(vars.GetInt(5), 0);
    EXPECT_EQ(vars.GetInt(1), 0);
}

TEST_F(CalcTest, RandomStoresModuloAndIgnoresZeroModulus) {
    CScriptRandom expected;
    Run("Random(7, 6)");
    EXPECT_EQ(vars.GetInt(7), expected.Next() % 6);
    vars.SetInt(8, 99);
    Run("Random(8, 0)");
    expected.Next();
    EXPECT_EQ(vars.GetInt(8), 99);
    Run("Random(70000, 5)");
    expected.Next();
    vars.SetInt(20, -4);
    Run("Random(8, $num[20])");
    EXPECT_EQ(vars.GetInt(8), expected.Next() % -4);
}

TEST(ScriptRandomTest, SequenceIsTheClassicGeneratorAndSeedable) {
    CScriptRandom random;
    EXPECT_EQ(random.Next(), 41);  // the first value of the classic generator seeded with 1
    EXPECT_EQ(random.Next(), 18467);
    random.Seed(1);
    EXPECT_EQ(random.Next(), 41);
    for (int i = 0; i < 1000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, CScriptRandom::kMax);
    }
}

TEST(VariableStoreTest, SnapshotRoundTripAndRanges) {
    CVariableStore vars;
    vars.SetInt(65535, 3);
    vars.SetString(4095, "s");
    vars.SetFlag(0, true);
    vars.SetInt(65536, 9);
    vars.SetString(-1, "x");
    vars.TakeSnapshot();
    vars.ClearLive();
    EXPECT_EQ(vars.GetInt(65535), 0);
    EXPECT_FALSE(vars.GetFlag(0));
    vars.RestoreSnapshot();
    EXPECT_EQ(vars.GetInt(65535), 3);
    EXPECT_EQ(vars.GetString(4095), "s");
    EXPECT_TRUE(vars.GetFlag(0));
    EXPECT_EQ(vars.GetString(-1), "");
}

}  // namespace
}  // namespace zepa
