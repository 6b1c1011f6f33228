// The script checker on whole games written here: one full of mistakes with its exact report,
// a clean one, and folders it cannot read; and the zepa-lint program's exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "lint/GameLint.h"
#include "platform/Cp932.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::Quote;
using testing::RunCommand;
using testing::TempFolder;
using testing::WriteFileBytes;

// A UTF-8 script as the engine's authors write it: CP932 with CR LF line ends.
std::string LooseScript(const std::string& utf8) {
    std::string cp932;
    EXPECT_TRUE(Utf8ToCp932(utf8, cp932));
    std::string out;
    for (char c : cp932) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Cp932Bytes(const std::string& utf8) {
    std::string cp932;
    EXPECT_TRUE(Utf8ToCp932(utf8, cp932));
    return cp932;
}

// The pictures every game's windows need; without them each game would report them missing.
void WriteSystemPictures(const TempFolder& game, const std::string& folder = "Graphics/System/") {
    for (const char* name : {"WindowBase.png", "カーソルベース.png", "Triangle1.png"})
        WriteFileBytes(game / (folder + name), "png");
}

// Packs `source` into `game`/GameData.pac with the archive tool.
// Byte for byte: the faulty game's archived scripts keep the CR LF line ends the checker must find.
void PackInto(const std::string& source, const std::string& game) {
    const auto result = RunCommand(std::string(ZEPA_PACK_BINARY) + " build --keep-bytes " + Quote(source) +
                                   " " + Quote(game + "/GameData.pac"));
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

std::string Lint(const std::string& folder, int* exitCode = nullptr) {
    const LintReport report = LintGame(folder);
    if (exitCode) *exitCode = LintExitCode(report);
    return FormatFindings(report.findings);
}

const char* const kFaultyMain =
    "# 日本語のコメント\n"
    "Background.Set(\"room.png\", \"fade\", 30)\n"
    "Background.Set(\"なし.png\")\n"
    "Character.SetGraph(7, \"aoi.png\")\n"
    "Character.SetGraph(0, \"ren.png\")\n"
    "Charactor.SetGraph(0, \"aoi.png\")\n"
    "Endscript\n"
    "MessageWindow[12].PrintText(\"こんにちは\")\n"
    "MessageWindow[0].Print(\"x\")\n"
    "Sprite.MovePos(300, 0, 0, 0)\n"
    "Sprite.SourcePicture(1, false, 70)\n"
    "Picture.Load(3, \"sun.png\")\n"
    "Picture.Load(4, \"moon.png\")\n"
    "Sound.BGM(\"theme.ogg\")\n"
    "Sound.Play(\"theme.ogg\")\n"
    "SelectWindow.CursorMoveSeFile(0, \"beep.wav\")\n"
    "Jump(nowhere)\n"
    "CallSub(start, \"Sub.txt\")\n"
    "CallSub(start, \"Missing.txt\")\n"
    "if($num[1] == 1)\n"
    "else\n"
    "end\n"
    "end\n"
    "Character.MovePos(0, -5, 10)\n"
    "Wait(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17)\n"
    "if($flag[1])\n"
    "Sprite.Init($num[3])\n"
    "*here\n"
    "Jump(here)\n"
    "Font.Anything(1)\n"
    "Sound\n"
    "CallSub(other, \"Sub.txt\")\n"
    "Picture[$num[2]].Clear\n"
    "Sprite[0].Scale(2)\n"
    "(1, 2)\n"
    "Sprite[3.Init\n"
    "TextPicture.FontSize(40)\n"
    "Background.Set(\"room.png\", \"fdae\", 20)\n"
    "Background.Effect(\"shake\")\n"
    "Character.MovePos(0, 10, 10, \"liner\")\n"
    "SelectWindow.Open(0, 0, 0, 640, 160, 8, \"zoom\")\n"
    "MessageWindow[0].PrintText(\"閉じていない\n";

// The archived sub-script keeps its bytes: a CR before a line end belongs to the line.
const char* const kFaultySub =
    "*start\n"
    "WaitOK\r\n"
    "*other\r\n"
    "Return\n"
    "Jump(start)\n";

const char* const kFaultyReport =
    "Script/Script.txt:3: Background.Set: background image \"なし.png\" not found (Graphics/BG/なし.png is "
    "neither a file of the game nor in its archive)\n"
    "Script/Script.txt:4: Character.SetGraph: character slot 7 is outside 0..5; the engine ignores the "
    "statement\n"
    "Script/Script.txt:5: Character.SetGraph: character image \"ren.png\" not found (Graphics/Char/ren.png "
    "is neither a file of the game nor in its archive)\n"
    "Script/Script.txt:6: unknown command \"Charactor\" (the engine shows: \"文法ミス？\")\n"
    "Script/Script.txt:7: unknown command \"Endscript\" (did you mean \"EndScript\"?) (the engine shows: "
    "\"文法ミス？\")\n"
    "Script/Script.txt:8: MessageWindow.PrintText: window number 12 is outside 0..9; the engine ignores the "
    "statement\n"
    "Script/Script.txt:9: unknown MessageWindow sub-command \"Print\" (the engine shows: "
    "\"MessageWindowについて文法ミス？\")\n"
    "Script/Script.txt:10: Sprite.MovePos: sprite number 300 is outside 0..255; the engine ignores the "
    "statement\n"
    "Script/Script.txt:11: Sprite.SourcePicture: picture number 70 is outside 0..63; the engine ignores the "
    "statement\n"
    "Script/Script.txt:13: Picture.Load: picture image \"moon.png\" not found (Graphics/Picture/moon.png is "
    "neither a file of the game nor in its archive)\n"
    "Script/Script.txt:15: unknown Sound sub-command \"Play\" (the engine shows: "
    "\"Soundについて文法ミス？\")\n"
    "Script/Script.txt:16: SelectWindow.CursorMoveSeFile: sound effect file \"beep.wav\" not found "
    "(Music/se/beep.wav is neither a file of the game nor in its archive)\n"
    "Script/Script.txt:17: Jump: label \"nowhere\" not found in Script/Script.txt (a line \"*nowhere\" with "
    "nothing after the name); the engine goes to the start of the file\n"
    "Script/Script.txt:19: CallSub: script file \"Missing.txt\" not found (Script/Missing.txt is neither a "
    "file of the game nor in its archive)\n"
    "Script/Script.txt:23: \"end\" without \"if\"\n"
    "Script/Script.txt:24: argument 2 is the operator \"-\": a sign or operator is read as an argument of "
    "its own, so it reads as 0 and the arguments after it shift\n"
    "Script/Script.txt:24: Character.MovePos: unknown movement \"10\"; the engine moves as \"default\"\n"
    "Script/Script.txt:25: statement cannot be read: more than 16 arguments; the engine drops it and reads "
    "the rest of the line as a new statement\n"
    "Script/Script.txt:26: \"if\" has no matching \"end\"; the engine skips to the end of the file when its "
    "condition is false\n"
    "Script/Script.txt:31: Sound needs a sub-command (the engine shows: \"Soundについて文法ミス？\")\n"
    "Script/Script.txt:32: CallSub: label \"other\" not found in Script/Sub.txt (its label line ends in a "
    "CR, which is part of the name in an archived script); the engine goes to the start of the file\n"
    "Script/Script.txt:33: unknown Picture sub-command \"Clear\" (the engine shows: "
    "\"Pictureについて文法ミス？\")\n"
    "Script/Script.txt:34: unknown Sprite sub-command \"Scale\" (the engine shows: "
    "\"Spriteについて文法ミス？\")\n"
    "Script/Script.txt:35: statement without a keyword; the engine skips it\n"
    "Script/Script.txt:36: statement cannot be read: a line break inside \"[ ]\"; the engine drops it\n"
    "Script/Script.txt:38: Background.Set: unknown transition \"fdae\"; the engine changes the picture at "
    "once\n"
    "Script/Script.txt:39: Background.Effect: unknown shake \"shake\"; the engine does not shake\n"
    "Script/Script.txt:40: Character.MovePos: unknown movement \"liner\"; the engine moves as \"default\"\n"
    "Script/Script.txt:41: SelectWindow.Open: unknown opening effect \"zoom\"; the engine opens the window "
    "with \"flash\"\n"
    "Script/Script.txt:42: statement is not closed before the end of the file (an argument list needs \")\" "
    "and a quoted text its closing '\"'); the engine never runs it\n"
    "Script/Sub.txt:2: stored in GameData.pac with CR LF line ends: the engine reads archived scripts byte "
    "for byte, so every line keeps its CR (a statement without parentheses such as \"WaitOK\" becomes an "
    "unknown command and \"*label\" lines are not found); store it with LF line ends (zepa-pack build "
    "converts scripts)\n"
    "Script/Sub.txt:2: unknown command \"WaitOK\\r\" (a CR before the line end is part of the word in an "
    "archived script) (the engine shows: \"文法ミス？\")\n";

TEST(GameLintTest, ReportsEveryMistakeOfAFaultyGame) {
    TempFolder game;
    TempFolder archived;
    WriteFileBytes(game / "Script/Script.txt", LooseScript(kFaultyMain));
    WriteSystemPictures(game);
    WriteFileBytes(game / "Graphics/BG/room.png", "png");
    WriteFileBytes(game / "Graphics/Char/aoi.png", "png");
    WriteFileBytes(game / "Music/bgm/theme.ogg", "ogg");
    WriteFileBytes(archived / "Graphics/Picture/sun.png", "png");
    WriteFileBytes(archived / "Script/Sub.txt", Cp932Bytes(kFaultySub));
    PackInto(archived.path(), game.path());

    int exitCode = -1;
    const std::string report = Lint(game.path(), &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(report, kFaultyReport);
}

// Every command group with files and numbers in range, a sub-script in the archive, and an
// archived main script that the loose one hides (only the loose one is read by the engine).
const char* const kCleanMain =
    "# 正しいゲーム\n"
    "Background.Set(\"room.png\", \"fade\")\n"
    "Character[5].SetGraph(\"aoi.png\", \"fade\", 20, 320)\n"
    "Character.SetFocus(100)\n"
    "Character.EraseAll()\n"
    "Picture.Load(63, \"sun.png\")\n"
    "Sprite[255].SourcePicture(false, 63)\n"
    "Sprite.Copy(0, 255)\n"
    "TextPicture.Create(0, 200, 40, \"$str[1] さん\")\n"
    "MessageWindow.Open(9, 0, 320, 640, 160)\n"
    "MessageWindow[9].PrintText(\"こんにちは、$str[1]\")\n"
    "SelectWindow[0].SelectSeFile(\"click.wav\")\n"
    "Sound.BGM(\"theme.ogg\")\n"
    "Sound.StopSE\n"
    "Picture.Load($num[1], \"$str[2]\")\n"
    "Calc($num[1] = 10 - -5)\n"
    "if($num[1] == 15)\n"
    "  CallSub(greet, \"Sub.txt\")\n"
    "elseif($flag[2])\n"
    "  Jump(done)\n"
    "else\n"
    "  Jump($str[3], \"$str[4]\")\n"
    "end\n"
    "*done\n"
    "Font.Whatever()\n"
    "EndScript\n";

TEST(GameLintTest, ACleanGameHasNoFindingsAndTheProgramExitsZero) {
    TempFolder game;
    TempFolder archived;
    WriteFileBytes(game / "Script/Script.txt", LooseScript(kCleanMain));
    WriteSystemPictures(game);
    WriteFileBytes(game / "Graphics/BG/room.png", "png");
    WriteFileBytes(game / "Graphics/Char/aoi.png", "png");
    WriteFileBytes(game / "Music/bgm/theme.ogg", "ogg");
    WriteFileBytes(game / "Music/se/click.wav", "wav");
    WriteFileBytes(archived / "Graphics/Picture/sun.png", "png");
    WriteFileBytes(archived / "Script/Sub.txt", Cp932Bytes("*greet\nWaitOK\nReturn\n"));
    WriteFileBytes(archived / "Script/Script.txt", Cp932Bytes("Broken(\n"));
    PackInto(archived.path(), game.path());

    const LintReport report = LintGame(game.path());
    EXPECT_EQ(FormatFindings(report.findings), "");
    EXPECT_EQ(report.scriptCount, 2);  // the loose main script and the archived sub-script
    const auto result = RunCommand(std::string(ZEPA_LINT_BINARY) + " " + Quote(game.path()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "");

    // With no argument the current folder is checked.
    const auto here = RunCommand("cd " + Quote(game.path()) + " && " + ZEPA_LINT_BINARY);
    EXPECT_EQ(here.exitCode, 0) << here.output;
}

// A game made on Windows: folders and files named in other letter case than the scripts say. It runs
// loose; the names the scripts write in other case are reported, since they break once packed.
TEST(GameLintTest, AGameWithLowerCaseFoldersIsCheckedLikeAnyOther) {
    TempFolder game;
    WriteFileBytes(game / "script/script.txt",
                   LooseScript("Background.Set(\"Room.PNG\")\nCallSub(\"\", \"SUB.TXT\")\n"));
    WriteFileBytes(game / "script/Sub.txt", LooseScript("Background.Set(\"gone.png\")\nReturn\n"));
    WriteFileBytes(game / "graphics/bg/room.png", "png");
    WriteSystemPictures(game, "graphics/System/");
    const LintReport report = LintGame(game.path());
    EXPECT_EQ(report.scriptCount, 2);
    EXPECT_EQ(
        FormatFindings(report.findings),
        "Script/Sub.txt:1: Background.Set: background image \"gone.png\" not found (Graphics/BG/gone.png is "
        "neither a file of the game nor in its archive)\n"
        "Script/script.txt:1: Background.Set: background image \"Room.PNG\" is stored as \"room.png\": the "
        "loose file is found (letter case is ignored there), but names in GameData.pac must match exactly, "
        "so "
        "it is not found once the game is packed; did you mean \"room.png\"?\n"
        "Script/script.txt:2: CallSub: script file \"SUB.TXT\" is stored as \"Sub.txt\": the loose file is "
        "found (letter case is ignored there), but names in GameData.pac must match exactly, so it is not "
        "found once the game is packed; did you mean \"Sub.txt\"?\n");
}

TEST(GameLintTest, TheProgramPrintsFindingsAndExitsOne) {
    TempFolder game;
    WriteFileBytes(game / "Script/Initialize.txt", LooseScript("Wait(1)\nFoo\n"));
    WriteSystemPictures(game);
    const auto result = RunCommand(std::string(ZEPA_LINT_BINARY) + " " + Quote(game.path()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output,
              "Script/Script.txt: missing; the game goes back to the title as soon as it starts\n"
              "Script/Initialize.txt:2: unknown command \"Foo\" (the engine shows: \"文法ミス？\")\n");
}

TEST(GameLintTest, AGameThatCannotBeReadExitsTwo) {
    TempFolder parent;
    const auto missing = RunCommand(std::string(ZEPA_LINT_BINARY) + " " + Quote(parent / "no-such-game"));
    EXPECT_EQ(missing.exitCode, 2) << missing.output;
    EXPECT_EQ(LintExitCode(LintGame(parent / "no-such-game")), 2);

    // An archive whose header announces more entries than the file holds.
    WriteFileBytes(parent / "game/Script/Script.txt", "EndScript\n");
    WriteFileBytes(parent / "game/GameData.pac", std::string("\x05\x00\x00\x00", 4) + "Script/");
    const LintReport report = LintGame(parent / "game");
    EXPECT_FALSE(report.readable);
    EXPECT_NE(report.error.find("GameData.pac"), std::string::npos) << report.error;
    const auto truncated = RunCommand(std::string(ZEPA_LINT_BINARY) + " " + Quote(parent / "game"));
    EXPECT_EQ(truncated.exitCode, 2) << truncated.output;

    const auto usage = RunCommand(std::string(ZEPA_LINT_BINARY) + " a b");
    EXPECT_EQ(usage.exitCode, 2);
}

}  // namespace
}  // namespace zepa
