// The statement checks on texts built in memory, with a game that holds exactly the files given.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <string>

#include "lint/ScriptLint.h"

namespace zepa {
namespace {

class CFakeGame : public ILintGame {
  public:
    std::map<std::string, std::string> scripts;
    std::set<std::string> files;

    const std::string* ScriptText(const std::string& path) override {
        auto found = scripts.find(path);
        return found == scripts.end() ? nullptr : &found->second;
    }
    bool ResourceExists(const std::string& path) override { return files.count(path) > 0; }
};

std::vector<LintFinding> Check(const std::string& text, CFakeGame& game) {
    std::vector<LintFinding> findings;
    LintScript("Script/Script.txt", text, game, findings);
    return findings;
}

TEST(ScriptLintTest, ArgumentsNamingVariablesAreLeftToRunTime) {
    CFakeGame game;
    const auto findings = Check(
        "Background.Set($str[1], $str[2])\n"
        "Character.SetGraph($num[1], \"$str[3]\")\n"
        "MessageWindow[$num[4]].PrintText(\"x\")\n"
        "Jump($str[5], $str[6])\n"
        "CallSub(there, $str[7])\n"
        "Sound.SE($str[8])\n",
        game);
    EXPECT_TRUE(findings.empty()) << findings.front().line << ": " << findings.front().message;
}

TEST(ScriptLintTest, FilesAreLookedUpUnderTheFolderTheCommandAdds) {
    CFakeGame game;
    game.files = {"Graphics/BG/a.png", "Music/bgs/rain.ogg"};
    auto findings =
        Check("Background.Set(\"a.png\")\nSound.BGS(\"rain.ogg\")\nSound.BGM(\"rain.ogg\")\n", game);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 3);
    EXPECT_NE(findings[0].message.find("Music/bgm/rain.ogg"), std::string::npos) << findings[0].message;

    // A label in another file counts only there.
    game.scripts["Script/b.txt"] = "*in_b\nReturn\n";
    findings = Check("*here\nJump(in_b, \"b.txt\")\nJump(here, \"b.txt\")\nCallSub(in_b)\n", game);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].line, 3);
    EXPECT_EQ(findings[1].line, 4);
}

TEST(ScriptLintTest, RangesFollowTheCommandTables) {
    CFakeGame game;
    const auto findings = Check(
        "Character.SetVisible(5, true)\nCharacter.SetVisible(6, true)\n"
        "Sprite.Swap(0, 255)\nSprite.Swap(0, 256)\n"
        "Picture.Release(63)\nPicture.Release(64)\n"
        "SelectWindow[9].Close\nSelectWindow[10].Close\n"
        "Character.SetFocus(100)\nCharacter.EraseAll(\"fade\", 10)\n"
        "SelectWindow.Select(0, true, 65535)\nSelectWindow.Select(0, true, 65536)\n"
        "SaveData.Refer(0, 4095)\nSaveData.Refer(0, 4096)\n",
        game);
    std::vector<int> lines;
    for (const LintFinding& finding : findings) lines.push_back(finding.line);
    EXPECT_EQ(lines, (std::vector<int>{2, 4, 6, 8, 12, 14}));
    EXPECT_NE(findings.back().message.find("string variable 4096 is outside 0..4095; the result is lost"),
              std::string::npos)
        << findings.back().message;
}

// Whatever the bytes, the checker ends, and every finding points into the text.
TEST(ScriptLintTest, AnyTextIsCheckedWithoutFaults) {
    const std::string sample =
        "if($num[1] == 1)\nSprite[$num[$num[2]]].Init\n\"open\nMessageWindow.Open(0,\"a\",b)c\n"
        "Calc($num[1] += "
        "-2)\n*x\r\nJump(x)\n#c\nA.B.C.D.E(1)\nf(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17)\n"
        "WaitOK # c\nSprite[1].Init#c\nSavePoint(\"s\")\nSavePoint(s)\nCalc(n = 1 + 2 * -3)\n"
        "if($str[1] = \"\")\nCharacter.SetGraph(0, \"a\", , 1, 2)\nRandom($num[1], 3)\n";
    std::mt19937 random(12345);
    CFakeGame game;
    for (int round = 0; round < 2000; ++round) {
        std::string text = sample.substr(0, random() % (sample.size() + 1));
        const int flips = static_cast<int>(random() % 6);
        for (int i = 0; i < flips && !text.empty(); ++i)
            text[random() % text.size()] = static_cast<char>(random());
        const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        for (const LintFinding& finding : Check(text, game)) {
            EXPECT_GE(finding.line, 1);
            EXPECT_LE(finding.line, lines) << finding.message;
        }
    }
}

// Each unreadable line is reported and reading goes on at the next one without going over the
// rest of the text again: 300000 broken lines take a fraction of a second (copying the rest of the
// text after each of them took minutes).
TEST(ScriptLintTest, ManyUnreadableLinesAreCheckedInOnePass) {
    std::string text;
    for (int i = 0; i < 300000; ++i) text += "Sprite[3.Init\n";
    CFakeGame game;
    const auto begin = std::chrono::steady_clock::now();
    const auto findings = Check(text, game);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    ASSERT_EQ(findings.size(), 300000u);
    EXPECT_EQ(findings.back().line, 300000);
    EXPECT_LT(seconds, 10.0);
}

}  // namespace
}  // namespace zepa
