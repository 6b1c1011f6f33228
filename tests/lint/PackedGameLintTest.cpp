// What works loose but breaks once packed, and what the engine never reads: a game that has each
// such mistake once (and the right form beside most of them) gets each message once; --format gcc prints the
// same findings for editors.
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

std::string CrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Builds the game: loose scripts and pictures, and an archive packed byte for byte.
void MakePackedGame(const TempFolder& game, const TempFolder& archived) {
    // Half-width katakana in CP932 ("ﾃｽ") happen to be valid two-byte UTF-8: still Shift-JIS.
    WriteFileBytes(game / "Script/Script.txt", CrLf("# " + Cp932("ﾃｽ") +
                                                    "\n"
                                                    "CallSub(\"\", \"Packed.txt\")\n"
                                                    "Background.Set(\"Room.PNG\")\n"
                                                    "Background.Set(\"sub\\sky.png\")\n"
                                                    "Picture.Load(0, \"Sun.png\")\n"
                                                    "Sound.BGM(\"theme.ogg\")\n"
                                                    "Sound.SE(\"click.wav\")\n"
                                                    "CallSub(\"\", \"utf8.txt\")\n"));
    WriteFileBytes(game / "Graphics/BG/room.png", "png");
    WriteFileBytes(game / "Graphics/BG/sub/sky.png", "png");
    WriteFileBytes(archived / "Graphics/Picture/sun.png", "png");
    WriteFileBytes(game / "Script/Utf8.txt", "WaitOK\nMessageWindow[0].PrintText(\"こんにちは\")\n");
    WriteFileBytes(archived / "Script/Packed.txt", CrLf("Wait(1)\nReturn\n"));
    WriteFileBytes(archived / "Music/bgm/theme.ogg", "ogg");
    WriteFileBytes(archived / "Parts/face.ttf", "ttf");
    WriteFileBytes(archived / "Music/se/click.wav", "wav");
    WriteFileBytes(game / "Music/se/click.wav", "wav");  // the loose copy is used: fine
    WriteFileBytes(archived / "Graphics/System/WindowBase.png", "png");
    const auto packed = RunCommand(std::string(ZEPA_PACK_BINARY) + " build --keep-bytes --all " +
                                   Quote(archived.path()) + " " + Quote(game / "GameData.pac"));
    ASSERT_EQ(packed.exitCode, 0) << packed.output;
}

const char* const kPackedReport =
    "Graphics/System/カーソルベース.png: missing (neither a file of the game nor in its archive); selection "
    "windows show no cursor on the chosen item\n"
    "Graphics/System/Triangle1.png: missing (neither a file of the game nor in its archive); selection "
    "windows with several pages show no page arrows\n"
    "GameData.pac: Music/bgm/theme.ogg is only in the archive; the engine reads sounds only as loose files "
    "and never uses it there: ship it beside GameData.pac\n"
    "GameData.pac: Parts/face.ttf is only in the archive; the engine reads fonts only as loose files and "
    "never uses it there: ship it beside GameData.pac\n"
    "Script/Script.txt:3: Background.Set: background image \"Room.PNG\" is stored as \"room.png\": the loose "
    "file is found (letter case is ignored there), but names in GameData.pac must match exactly, so it is "
    "not found once the game is packed; did you mean \"room.png\"?\n"
    "Script/Script.txt:4: Background.Set: background image \"sub\\sky.png\" is written with \"\\\": a loose "
    "file is found, but in GameData.pac \"\\\" is not a folder separator, so it is not found once the game "
    "is packed; write \"sub/sky.png\"\n"
    "Script/Script.txt:5: Picture.Load: picture image \"Sun.png\" not found (Graphics/Picture/Sun.png is "
    "neither a file of the game nor in its archive); did you mean \"sun.png\"? GameData.pac holds it under "
    "that name, and names in the archive must match exactly\n"
    "Script/Script.txt:6: Sound.BGM: BGM file \"theme.ogg\" is only in GameData.pac (Music/bgm/theme.ogg); "
    "the engine reads sounds only as loose files, so it plays nothing\n"
    "Script/Script.txt:8: CallSub: script file \"utf8.txt\" is stored as \"Utf8.txt\": the loose file is "
    "found (letter case is ignored there), but names in GameData.pac must match exactly, so it is not found "
    "once the game is packed; did you mean \"Utf8.txt\"?\n"
    "Script/Utf8.txt:2: the script is UTF-8, not Shift-JIS: the engine reads every script as Shift-JIS, so "
    "its Japanese text, window titles and file names come out garbled; save it as Shift-JIS (iconv -f "
    "UTF-8 -t CP932)\n"
    "Script/Packed.txt:1: stored in GameData.pac with CR LF line ends: the engine reads archived scripts "
    "byte for byte, so every line keeps its CR (a statement without parentheses such as \"WaitOK\" becomes "
    "an unknown command and \"*label\" lines are not found); store it with LF line ends (zepa-pack build "
    "converts scripts)\n"
    "Script/Packed.txt:2: unknown command \"Return\\r\" (a CR before the line end is part of the word in an "
    "archived script) (the engine shows: \"文法ミス？\")\n";

TEST(PackedGameLintTest, EachPackingMistakeIsReportedOnce) {
    TempFolder game;
    TempFolder archived;
    MakePackedGame(game, archived);
    const LintReport report = LintGame(game.path());
    EXPECT_EQ(FormatFindings(report.findings), kPackedReport);
    EXPECT_EQ(LintExitCode(report), 1);
}

// A byte order mark marks UTF-8 even when the rest is ASCII.
TEST(PackedGameLintTest, AByteOrderMarkIsUtf8) {
    TempFolder game;
    WriteFileBytes(game / "Script/Script.txt", "\xEF\xBB\xBF# start\nEndScript\n");
    const std::string report = FormatFindings(LintGame(game.path()).findings);
    EXPECT_NE(report.find("Script/Script.txt:1: the script is UTF-8 (it starts with a byte order mark)"),
              std::string::npos)
        << report;
}

TEST(PackedGameLintTest, TheGccFormatNamesFileLineAndColumn) {
    TempFolder game;
    TempFolder archived;
    MakePackedGame(game, archived);
    const auto result = RunCommand(std::string(ZEPA_LINT_BINARY) + " --format gcc " + Quote(game.path()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(
        result.output.find(game.path() + "/Script/Packed.txt:2:1: warning: unknown command \"Return\\r\""),
        std::string::npos)
        << result.output;
    // A finding about a whole file goes to its first line.
    EXPECT_NE(result.output.find(game.path() + "/GameData.pac:1:1: warning: Music/bgm/theme.ogg is only in"),
              std::string::npos)
        << result.output;
    const auto wrong = RunCommand(std::string(ZEPA_LINT_BINARY) + " --format json " + Quote(game.path()));
    EXPECT_EQ(wrong.exitCode, 2);
}

}  // namespace
}  // namespace zepa
