#include "core/Settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::TestLog;
using testing::WriteFileBytes;

const char* const kDefaultFile =
    "MESSAGE_SPEED=2\r\nBGM_VOLUME=100\r\nBGS_VOLUME=100\r\nSE_VOLUME=100\r\n"
    "BUTTON_OK=1\r\nBUTTON_CANCEL=2\r\nBUTTON_START=3\r\nBUTTON_SELECT=4\r\n"
    "BUTTON_X=5\r\nBUTTON_Y=6\r\nBUTTON_L=7\r\nBUTTON_R=8\r\n";

// The twelve lines with the values 10, 11, ... 21.
std::string NumberedFile(const std::string& lineEnd = "\n") {
    std::string text;
    int value = 10;
    for (const SettingsField& field : kSettingsFields)
        text += std::string(field.key) + "=" + std::to_string(value++) + lineEnd;
    return text;
}

std::vector<std::string> TempFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos) names.push_back(name);
    }
    return names;
}

TEST(SettingsParse, ReadsAllTwelveValuesInOrderWithLfOrCrLf) {
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        SettingsRecord record;
        EXPECT_EQ(ParseSettings(NumberedFile(lineEnd), record), 12);
        int expected = 10;
        for (const SettingsField& field : kSettingsFields)
            EXPECT_EQ(record.*field.member, expected++) << field.key;
    }
}

TEST(SettingsParse, TakesValuesAsTheyAreWithoutClamping) {
    SettingsRecord record;
    std::string text = FormatSettings(SettingsRecord{});
    text.replace(text.find("BGM_VOLUME=100"), 14, "BGM_VOLUME=250");
    text.replace(text.find("BUTTON_X=5"), 10, "BUTTON_X=-7");
    EXPECT_EQ(ParseSettings(text, record), 12);
    EXPECT_EQ(record.bgmVolume, 250);
    EXPECT_EQ(record.buttonX, -7);
}

TEST(SettingsParse, KeysOutOfOrderStopTheScanAndLeaveTheRestUntouched) {
    SettingsRecord record;
    record.bgmVolume = 77;
    record.bgsVolume = 66;
    record.buttonR = 55;
    const std::string text = "MESSAGE_SPEED=4\nBGS_VOLUME=10\nBGM_VOLUME=20\nSE_VOLUME=30\n";
    EXPECT_EQ(ParseSettings(text, record), 1);
    EXPECT_EQ(record.messageSpeed, 4);
    EXPECT_EQ(record.bgmVolume, 77);
    EXPECT_EQ(record.bgsVolume, 66);
    EXPECT_EQ(record.seVolume, 100);
    EXPECT_EQ(record.buttonR, 55);
}

TEST(SettingsParse, NumbersFollowScanfRules) {
    struct Case {
        const char* text;
        int read;
        int speed;
    };
    const Case cases[] = {
        {"MESSAGE_SPEED= \t5\n", 1, 5},  // white space before the number is skipped
        {"MESSAGE_SPEED=+3", 1, 3},      // a sign is allowed
        {"MESSAGE_SPEED=007\n", 1, 7},   // decimal, not octal
        {"MESSAGE_SPEED=2147483647\n", 1, 2147483647},
        {"MESSAGE_SPEED=-2147483648\n", 1, -2147483647 - 1},
        {"MESSAGE_SPEED=2147483648\n", 0, 2},  // out of the int range: not taken
        {"MESSAGE_SPEED=99999999999999999999\n", 0, 2},
        {"MESSAGE_SPEED=abc\n", 0, 2},
        {"MESSAGE_SPEED=-\n", 0, 2},
        {"MESSAGE_SPEED 5\n", 0, 2},   // the '=' must follow the key directly
        {" MESSAGE_SPEED=5\n", 0, 2},  // the first key must start the file
        {"message_speed=5\n", 0, 2},   // keys are case-sensitive
        {"", 0, 2},
    };
    for (const Case& c : cases) {
        SettingsRecord record;
        EXPECT_EQ(ParseSettings(c.text, record), c.read) << c.text;
        EXPECT_EQ(record.messageSpeed, c.speed) << c.text;
    }
}

TEST(SettingsParse, LineBreaksAreAnyRunOfWhiteSpace) {
    SettingsRecord record;
    EXPECT_EQ(ParseSettings("MESSAGE_SPEED=1\r\n\r\n   BGM_VOLUME=9 BGS_VOLUME=8\tSE_VOLUME=7x", record), 4);
    EXPECT_EQ(record.messageSpeed, 1);
    EXPECT_EQ(record.bgmVolume, 9);
    EXPECT_EQ(record.bgsVolume, 8);
    EXPECT_EQ(record.seVolume, 7);
    // Junk after a number ends the scan at the next key.
    EXPECT_EQ(ParseSettings("MESSAGE_SPEED=1junk\nBGM_VOLUME=9\n", record), 1);
}

TEST(SettingsFormat, WritesTwelveCrLfLinesThatReadBackExactly) {
    EXPECT_EQ(FormatSettings(SettingsRecord{}), kDefaultFile);
    SettingsRecord odd;
    odd.messageSpeed = -2147483647 - 1;
    odd.seVolume = 250;
    odd.buttonL = 0;
    SettingsRecord back;
    EXPECT_EQ(ParseSettings(FormatSettings(odd), back), 12);
    EXPECT_EQ(back, odd);
}

TEST(SettingsFile, MissingFileIsCreatedWithTheDefaults) {
    TempFolder folder;
    SettingsRecord record;
    record.messageSpeed = 9;
    LoadSettings(record, TestLog(), folder / "option.ini");
    EXPECT_EQ(record, SettingsRecord{});
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), kDefaultFile);
    EXPECT_TRUE(TempFilesIn(folder.path()).empty());
}

TEST(SettingsFile, ExistingFileIsReadAndNotRewritten) {
    TempFolder folder;
    std::string text = NumberedFile("\n");
    text.replace(0, 17, "MESSAGE_SPEED=5\n");
    WriteFileBytes(folder / "option.ini", text);
    SettingsRecord record;
    LoadSettings(record, TestLog(), folder / "option.ini");
    EXPECT_EQ(record.messageSpeed, 5);
    EXPECT_EQ(record.buttonR, 21);
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), text);  // still LF: not rewritten
}

TEST(SettingsFile, PartlyMatchingFileKeepsDefaultsAndIsNotRewritten) {
    TempFolder folder;
    const std::string text = "MESSAGE_SPEED=3\nBGM_VOLUME=250\nBUTTON_OK=9\n";
    WriteFileBytes(folder / "option.ini", text);
    SettingsRecord record;
    record.seVolume = 1;  // whatever the caller held is replaced by defaults
    LoadSettings(record, TestLog(), folder / "option.ini");
    SettingsRecord expected;
    expected.messageSpeed = 3;
    expected.bgmVolume = 250;
    EXPECT_EQ(record, expected);
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), text);
}

TEST(SettingsFile, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
    TempFolder folder;
    WriteFileBytes(folder / "option.ini", "old content that is longer than the new one, much longer, really");
    chmod((folder / "option.ini").c_str(), 0640);
    SettingsRecord record;
    record.messageSpeed = 4;
    ASSERT_TRUE(SaveSettings(record, TestLog(), folder / "option.ini"));
    SettingsRecord back;
    EXPECT_EQ(ParseSettings(ReadFileBytes(folder / "option.ini"), back), 12);
    EXPECT_EQ(back, record);
    EXPECT_TRUE(TempFilesIn(folder.path()).empty());
    struct stat info;
    ASSERT_EQ(stat((folder / "option.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the player's permissions are kept
}

TEST(SettingsFile, SaveThroughASymbolicLinkUpdatesItsTarget) {
    TempFolder folder;
    WriteFileBytes(folder / "real.ini", "x");
    std::filesystem::create_symlink("real.ini", folder / "option.ini");
    ASSERT_TRUE(SaveSettings(SettingsRecord{}, TestLog(), folder / "option.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "option.ini"));
    EXPECT_EQ(ReadFileBytes(folder / "real.ini"), kDefaultFile);
}

TEST(SettingsFile, ALinkLeadingOutOfTheFolderIsNotWrittenThrough) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "game");
    WriteFileBytes(folder / "outside.ini", "mine");
    std::filesystem::create_symlink(folder / "outside.ini", folder / "game/option.ini");
    EXPECT_FALSE(SaveSettings(SettingsRecord{}, TestLog(), folder / "game/option.ini"));
    EXPECT_EQ(ReadFileBytes(folder / "outside.ini"), "mine");
    // Loading does not create the file through a dangling link either.
    std::filesystem::create_symlink(folder / "not-there.ini", folder / "game/other.ini");
    SettingsRecord record;
    LoadSettings(record, TestLog(), folder / "game/other.ini");
    EXPECT_FALSE(std::filesystem::exists(folder / "not-there.ini"));
}

TEST(SettingsFile, SaveIntoAMissingFolderFails) {
    TempFolder folder;
    EXPECT_FALSE(SaveSettings(SettingsRecord{}, TestLog(), folder / "no/such/folder/option.ini"));
}

TEST(SettingsFile, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; see the file-size-limit test";
    TempFolder folder;
    WriteFileBytes(folder / "option.ini", "MESSAGE_SPEED=5\n");
    chmod(folder.path().c_str(), 0555);
    EXPECT_FALSE(SaveSettings(SettingsRecord{}, TestLog(), folder / "option.ini"));
    chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), "MESSAGE_SPEED=5\n");
}

// A write that fails half-way (here: the file-size limit, which binds root too) must leave the
// old file whole and no temporary file behind. Run in a child so the limit stays there.
TEST(SettingsFile, WriteFailingHalfWayKeepsTheOldFile) {
    TempFolder folder;
    const std::string old = "MESSAGE_SPEED=5\n";
    WriteFileBytes(folder / "option.ini", old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{20, 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(SaveSettings(SettingsRecord{}, TestLog(), folder / "option.ini") ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "SaveSettings reported success for a failed write";
    EXPECT_EQ(ReadFileBytes(folder / "option.ini"), old);
    EXPECT_TRUE(TempFilesIn(folder.path()).empty());
}

TEST(SettingsFile, UnreadableFileGivesDefaultsAndIsNotReplaced) {
    TempFolder folder;
    // A folder in the file's place cannot be read as settings; it must not be replaced either.
    std::filesystem::create_directory(folder / "option.ini");
    SettingsRecord record;
    record.bgmVolume = 3;
    LoadSettings(record, TestLog(), folder / "option.ini");
    EXPECT_EQ(record, SettingsRecord{});
    EXPECT_TRUE(std::filesystem::is_directory(folder / "option.ini"));
}

}  // namespace
}  // namespace zepa
