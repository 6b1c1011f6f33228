// Game files that are not regular files, or far larger than their format needs, are read as the
// engine reads any game file: a FIFO or a device counts as missing and nothing waits for it, and
// a settings or save file is read only as far as its format goes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/Settings.h"
#include "platform/FileReader.h"
#include "resources/PackArchive.h"
#include "script/ScriptReader.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;

TEST(GameFileReads, FifosAndDevicesCountAsMissing) {
    TempFolder folder;
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    std::string text;
    // Opening a FIFO with no writer would block a plain reader forever.
    EXPECT_EQ(ReadWholeFile(folder / "pipe", text), FileReadResult::Missing);
    EXPECT_EQ(ReadWholeFile("/dev/zero", text), FileReadResult::Missing);
    EXPECT_EQ(ReadFileStart("/dev/zero", text, 16), FileReadResult::Missing);
    const CPackArchive fifoArchive(folder / "pipe");
    EXPECT_TRUE(fifoArchive.index().empty());
    EXPECT_FALSE(ReadPackTable("/dev/urandom").opened);
    // The settings are then the defaults, and the FIFO is neither waited for nor replaced.
    SettingsRecord record;
    record.bgmVolume = 1;
    LoadSettings(record, testing::TestLog(), folder / "pipe");
    EXPECT_EQ(record, SettingsRecord{});
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe"));
}

TEST(GameFileReads, ReadFileStartStopsAtItsLimit) {
    TempFolder folder;
    WriteFileBytes(folder / "long", std::string(100000, 'x'));
    std::string text;
    ASSERT_EQ(ReadFileStart(folder / "long", text, 10), FileReadResult::Ok);
    EXPECT_EQ(text, std::string(10, 'x'));
    EXPECT_EQ(ReadWholeFile(folder / "long", text, 10), FileReadResult::TooLarge);
}

TEST(GameFileReads, SettingsFollowedByMegabytesOfJunkStillLoad) {
    TempFolder folder;
    WriteFileBytes(folder / "option.ini", "MESSAGE_SPEED=4\r\nBGM_VOLUME=70\r\n" + std::string(3 << 20, 'j'));
    SettingsRecord record;
    LoadSettings(record, testing::TestLog(), folder / "option.ini");
    EXPECT_EQ(record.messageSpeed, 4);
    EXPECT_EQ(record.bgmVolume, 70);
}

TEST(GameFileReads, SubCallLevelsOfOneFileShareItsText) {
    testing::InTempFolder game;
    WriteFileBytes("Script/Script.txt", "CallSub(a)\n*a\nCalc($num[1] = 1)\n");
    CScriptReader reader(testing::TestLog());
    ASSERT_TRUE(reader.LoadText("Script/Script.txt"));
    ASSERT_TRUE(reader.PushLevel(""));
    ASSERT_TRUE(reader.PushLevel("Script/Script.txt"));
    EXPECT_EQ(&reader.Innermost().text(), &reader.text());
    EXPECT_EQ(reader.Innermost().depth(), 3);
    // A missing file is still missing however often it is asked for.
    EXPECT_FALSE(reader.PushLevel("Script/None.txt"));
}

}  // namespace
}  // namespace zepa
