// The settings and the archive as services of the game object, in-process and end to end.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/GameSystem.h"
#include "app/StateDump.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::Quote;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempFolder;
using testing::WriteFileBytes;

const char* const kDefaultFile =
    "MESSAGE_SPEED=2\r\nBGM_VOLUME=100\r\nBGS_VOLUME=100\r\nSE_VOLUME=100\r\n"
    "BUTTON_OK=1\r\nBUTTON_CANCEL=2\r\nBUTTON_START=3\r\nBUTTON_SELECT=4\r\n"
    "BUTTON_X=5\r\nBUTTON_Y=6\r\nBUTTON_L=7\r\nBUTTON_R=8\r\n";

// An archive with one entry "a.txt" holding "AB".
std::string TinyArchive() {
    std::string bytes("\x01\0\0\0", 4);
    std::string name = "a.txt";
    name.resize(256, '\0');
    bytes += name;
    bytes += std::string("\x02\0\0\0", 4);
    bytes += std::string("\x0c\x01\0\0", 4);  // offset 268
    return bytes + "AB";
}

TEST(GameSystemServices, ConstructionReadsSettingsAndOpensTheArchiveForTheScripts) {
    TempFolder folder;
    WriteFileBytes(folder / "option.ini", "MESSAGE_SPEED=5\nBGM_VOLUME=250\n");
    WriteFileBytes(folder / "GameData.pac", TinyArchive());
    testing::ScopedWorkingDirectory inGame(folder.path());
    {
        CGameSystem game;
        EXPECT_EQ(game.settings().messageSpeed, 5);
        EXPECT_EQ(game.settings().bgmVolume, 250);
        EXPECT_EQ(game.settings().seVolume, 100);
        const CPackArchive* archive = game.services().script.archive;
        ASSERT_EQ(archive, &game.archive());
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(archive->ReadEntry("a.txt", bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "AB");
        const nlohmann::json dump = DumpState(game, 0);
        EXPECT_EQ(dump["settings"]["MESSAGE_SPEED"], 5);
        EXPECT_EQ(dump["settings"]["BGM_VOLUME"], 250);
        EXPECT_EQ(dump["settings"]["BUTTON_R"], 8);
        EXPECT_EQ(dump["settings"].size(), 12u);
    }
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), "MESSAGE_SPEED=5\nBGM_VOLUME=250\n");
}

TEST(GameSystemServices, HeadlessRunCreatesTheDefaultSettingsFile) {
    TempFolder folder;
    const auto run = RunCommand(std::string(ZEPA_BINARY) + " --headless --game " + Quote(folder.path()) +
                                " --frames 1 --dump-at-exit " + Quote(folder / "dump.json"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), kDefaultFile);
    const auto dump = nlohmann::json::parse(ReadFileBytes(folder / "dump.json"));
    EXPECT_EQ(dump["settings"]["MESSAGE_SPEED"], 2);
    EXPECT_EQ(dump["settings"]["SE_VOLUME"], 100);
}

TEST(GameSystemServices, HeadlessRunKeepsAnExistingSettingsFileByteForByte) {
    TempFolder folder;
    std::string text = kDefaultFile;
    text.replace(0, 15, "MESSAGE_SPEED=5");
    WriteFileBytes(folder / "option.ini", text + "trailing words\n");
    const auto run = RunCommand(std::string(ZEPA_BINARY) + " --headless --game " + Quote(folder.path()) +
                                " --frames 2 --dump-at-exit " + Quote(folder / "dump.json"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), text + "trailing words\n");
    const auto dump = nlohmann::json::parse(ReadFileBytes(folder / "dump.json"));
    EXPECT_EQ(dump["settings"]["MESSAGE_SPEED"], 5);
}

}  // namespace
}  // namespace zepa
