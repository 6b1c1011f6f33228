// Statements the engine runs without a word but not as written: each mistake is reported once,
// on its own line, and the correct forms beside them stay clean.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lint/ScriptLint.h"

namespace zepa {
namespace {

class CEmptyGame : public ILintGame {
  public:
    const std::string* ScriptText(const std::string&) override { return nullptr; }
    bool ResourceExists(const std::string&) override { return true; }
};

std::vector<LintFinding> Check(const std::string& text) {
    CEmptyGame game;
    std::vector<LintFinding> findings;
    LintScript("Script/Script.txt", text, game, findings);
    return findings;
}

// Each line of `lines` (1-based) has exactly one finding containing its text, and nothing else is
// reported.
void ExpectOnePerLine(const std::vector<LintFinding>& findings,
                      const std::vector<std::pair<int, std::string>>& lines) {
    ASSERT_EQ(findings.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(findings[i].line, lines[i].first) << findings[i].message;
        EXPECT_NE(findings[i].message.find(lines[i].second), std::string::npos) << findings[i].message;
    }
}

const char* const kSilentMistakes =
    "WaitOK # wait for the player\n"                             // 1
    "WaitOK() # this one runs\n"                                 // 2
    "# a comment on its own line\n"                              // 3
    "EndScript#end\n"                                            // 4
    "SavePoint(\"a\")\n"                                         // 5
    "SavePoint( \"b\" )\n"                                       // 6
    "SavePoint(\"a\")\n"                                         // 7
    "SelectWindow.Select(0, true, $num[100])\n"                  // 8
    "SelectWindow.Select(0, true, 100)\n"                        // 9
    "SaveData.Refer(0, $str[3])\n"                               // 10
    "Random($num[5], 10)\n"                                      // 11
    "if($num[1] = 1)\n"                                          // 12
    "elseif($str[1] = \"x\")\n"                                  // 13
    "end\n"                                                      // 14
    "if($num[1] == 1)\n"                                         // 15
    "end\n"                                                      // 16
    "Calc(num[1] = 5)\n"                                         // 17
    "Calc($num[1] = 2 + 3 * 4)\n"                                // 18
    "Calc($num[1] = 10 - -5)\n"                                  // 19
    "Calc($str[1] = \"a\" + \"b\" + \"c\")\n"                    // 20
    "Calc($flag[1] = !$flag[2] + $flag[3])\n"                    // 21
    "Character.SetGraph(0, \"a.png\", \"\", 30, 300, 40)\n"      // 22
    "Character.SetGraph(0, \"a.png\", \"fade\", 30, 300, 40)\n"  // 23
    "Background.Set(\"a.png\", \"\", 20)\n"                      // 24
    "MessageWindow.Open(0, 0, 320, 640, 160)\n"                  // 25
    "SelectWindow.Open(0, 10, , 300, 200)\n";                    // 26

TEST(SilentStatementLintTest, EachSilentMistakeIsReportedOnceOnItsLine) {
    ExpectOnePerLine(
        Check(kSilentMistakes),
        {{1, "\"WaitOK\" is followed by a \"#\" comment without parentheses"},
         {4, "\"EndScript\" is followed by a \"#\" comment"},
         {6,
          "SavePoint is not written exactly as SavePoint(\"b\"): a load made here cannot find it again "
          "and restarts Script/Script.txt from its top"},
         {7, "a second save point named \"a\" in this file (the first is on line 5)"},
         {8, "SelectWindow.Select: \"$num[100]\" stands where the number of an integer variable is expected"},
         {10, "string variable whose number is the value of $str[3]"},
         {11, "Random: \"$num[5]\""},
         {12, "if: \"=\" is not a comparison: the condition is always false; write \"==\""},
         {13, "elseif: \"=\" is not a comparison: the condition is true whenever $str[1] is not empty"},
         {17,
          "Calc: the target \"num[1]\" has no \"$\": the engine ignores the statement; write \"$num[1]\""},
         {18, "the engine computes only \"2 + 3\" and ignores the rest (\"* 4\")"},
         {20, "the engine computes only \"a + b\" and ignores the rest (\"+ c\")"},
         {22,
          "Character.SetGraph: an empty argument makes the engine use the defaults for it and for every "
          "argument after it, so \"30\", \"300\", \"40\" are ignored"},
         {24, "Background.Set: an empty argument"},
         {26, "SelectWindow.Open: an empty argument"}});
}

// An archived script keeps its CR LF line ends: the statements with parentheses and the comments
// are found on the same lines as in the LF text.
TEST(SilentStatementLintTest, LineNumbersHoldForCrLfText) {
    std::string crlf;
    for (const char* c = kSilentMistakes; *c; ++c)
        crlf += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
    const auto lines = [](const std::vector<LintFinding>& findings) {
        std::vector<int> out;
        for (const LintFinding& finding : findings)
            if (finding.message.find("comment") != std::string::npos ||
                finding.message.rfind("Calc", 0) == 0 || finding.message.rfind("SavePoint", 0) == 0)
                out.push_back(finding.line);
        return out;
    };
    EXPECT_EQ(lines(Check(crlf)), (std::vector<int>{1, 4, 6, 7, 17, 18, 20}));
    EXPECT_EQ(lines(Check(kSilentMistakes)), lines(Check(crlf)));
}

}  // namespace
}  // namespace zepa
