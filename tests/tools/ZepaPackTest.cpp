// The archive tool, run as a program: build, list, extract and their failures.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "platform/Cp932.h"
#include "resources/ArchiveBytes.h"
#include "resources/PackArchive.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using testing::Quote;
using testing::RawArchive;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempFolder;
using testing::WriteFileBytes;

CommandResult Pack(const std::string& arguments) {
    return RunCommand(std::string(ZEPA_PACK_BINARY) + " " + arguments);
}

// Every regular file under `root` by relative path, with its bytes.
std::map<std::string, std::string> FolderContents(const std::string& root) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            contents[entry.path().lexically_relative(root).generic_string()] = ReadFileBytes(entry.path());
    }
    return contents;
}

std::string AllByteValues() {
    std::string bytes;
    for (int i = 0; i < 256 * 3; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
    return bytes;
}

class ZepaPackTest : public ::testing::Test {
  protected:
    void MakeGame() {
        WriteFileBytes(folder_ / "game/Script/Script.txt", "MessageWindow[0].PrintText(\"hi\")\r\n");
        WriteFileBytes(folder_ / "game/Graphics/System/WindowBase.png", AllByteValues());
        WriteFileBytes(folder_ / "game/Graphics/BG/夕焼け.png", "sunset");
        WriteFileBytes(folder_ / "game/empty.dat", "");
        WriteFileBytes(folder_ / "game/deep/a/b/c/d.txt", "deep");
        WriteFileBytes(folder_ / "game/Z.txt", "capital Z sorts before lower-case letters");
    }
    std::string game() const { return folder_ / "game"; }
    std::string pac() const { return folder_ / "out.pac"; }

    TempFolder folder_;
};

TEST_F(ZepaPackTest, BuildListExtractReproducesTheFolderByteForByte) {
    MakeGame();
    const auto build = Pack("build --keep-bytes " + Quote(game()) + " " + Quote(pac()));
    ASSERT_EQ(build.exitCode, 0) << build.output;

    const auto list = Pack("list " + Quote(pac()));
    ASSERT_EQ(list.exitCode, 0) << list.output;
    EXPECT_NE(list.output.find("Graphics/BG/夕焼け.png\t6\t"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("empty.dat\t0\t"), std::string::npos) << list.output;

    const auto extract = Pack("extract " + Quote(pac()) + " " + Quote(folder_ / "copy"));
    ASSERT_EQ(extract.exitCode, 0) << extract.output;
    EXPECT_EQ(FolderContents(folder_ / "copy"), FolderContents(game()));
}

TEST_F(ZepaPackTest, BuiltArchiveHasCP932NamesInByteOrderWithDataInTableOrder) {
    MakeGame();
    ASSERT_EQ(Pack("build " + Quote(game()) + " " + Quote(pac())).exitCode, 0);
    const PackTable table = ReadPackTable(pac());
    ASSERT_FALSE(table.truncated);
    ASSERT_EQ(table.entries.size(), 6u);
    uint64_t expectedOffset = 4 + 264 * 6;
    for (size_t i = 0; i < table.entries.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table.entries[i - 1].name, table.entries[i].name);
        }
        EXPECT_EQ(table.entries[i].entry.offset, expectedOffset) << table.entries[i].name;
        expectedOffset += table.entries[i].entry.size;
    }
    EXPECT_EQ(expectedOffset, table.fileSize);
    const CPackArchive archive(pac());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(archive.ReadEntry(Cp932("Graphics/BG/夕焼け.png"), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "sunset");
    ASSERT_TRUE(archive.ReadEntry("Graphics/System/WindowBase.png", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), AllByteValues());
}

// Archived scripts are read byte for byte, so they are stored with LF line ends; sounds and fonts
// are read only loose, so they are left out unless asked for.
TEST_F(ZepaPackTest, ScriptsGetLfLineEndsAndLooseOnlyFoldersAreLeftOut) {
    MakeGame();
    WriteFileBytes(folder_ / "game/Music/bgm/theme.ogg", "ogg");
    WriteFileBytes(folder_ / "game/Parts/font.ttf", "ttf");
    WriteFileBytes(folder_ / "game/Graphics/BG/crlf.txt", "a\r\nb\r\n");
    const auto build = Pack("build " + Quote(game()) + " " + Quote(pac()));
    ASSERT_EQ(build.exitCode, 0) << build.output;
    EXPECT_NE(build.output.find("leaving out 1 file(s) under Music/"), std::string::npos) << build.output;
    EXPECT_NE(build.output.find("leaving out 1 file(s) under Parts/"), std::string::npos) << build.output;
    const CPackArchive archive(pac());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(archive.ReadEntry("Script/Script.txt", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "MessageWindow[0].PrintText(\"hi\")\n");
    ASSERT_TRUE(archive.ReadEntry("Graphics/BG/crlf.txt", bytes));  // not a script: as it is
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a\r\nb\r\n");
    EXPECT_EQ(archive.index().count("Music/bgm/theme.ogg"), 0u);
    EXPECT_EQ(archive.index().count("Parts/font.ttf"), 0u);

    ASSERT_EQ(Pack("build --all --keep-bytes " + Quote(game()) + " " + Quote(pac())).exitCode, 0);
    const CPackArchive everything(pac());
    EXPECT_EQ(everything.index().count("Music/bgm/theme.ogg"), 1u);
    EXPECT_EQ(everything.index().count("Parts/font.ttf"), 1u);
    ASSERT_TRUE(everything.ReadEntry("Script/Script.txt", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "MessageWindow[0].PrintText(\"hi\")\r\n");
}

TEST_F(ZepaPackTest, RebuildingIntoTheFolderDoesNotPackTheOldArchive) {
    MakeGame();
    const std::string inside = game() + "/GameData.pac";
    ASSERT_EQ(Pack("build " + Quote(game()) + " " + Quote(inside)).exitCode, 0);
    const std::string first = ReadFileBytes(inside);
    ASSERT_EQ(Pack("build " + Quote(game()) + " " + Quote(inside)).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(inside), first);
}

TEST_F(ZepaPackTest, CP932FileNamesAreStoredAsTheyAreAndClashesAreRefused) {
    const std::string cp932 = Cp932("ウ.png");  // not valid UTF-8: a name copied from Windows
    WriteFileBytes(game() + "/" + cp932, "from windows");
    ASSERT_EQ(Pack("build " + Quote(game()) + " " + Quote(pac())).exitCode, 0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CPackArchive(pac()).ReadEntry(cp932, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "from windows");

    WriteFileBytes(game() + "/ウ.png", "from linux");  // would get the same archive name
    const auto clash = Pack("build " + Quote(game()) + " " + Quote(folder_ / "clash.pac"));
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_NE(clash.output.find("would both be stored as"), std::string::npos) << clash.output;
    EXPECT_FALSE(fs::exists(folder_ / "clash.pac"));
}

TEST_F(ZepaPackTest, EmptyFolderGivesAnEmptyArchive) {
    fs::create_directories(game());
    ASSERT_EQ(Pack("build " + Quote(game()) + " " + Quote(pac())).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(pac()), std::string(4, '\0'));
}

TEST_F(ZepaPackTest, NameLongerThan255BytesIsAClearError) {
    const std::string longName = std::string(200, 'd') + "/" + std::string(55, 'f');  // 256 bytes
    WriteFileBytes(game() + "/" + longName, "x");
    const auto build = Pack("build " + Quote(game()) + " " + Quote(pac()));
    EXPECT_EQ(build.exitCode, 1);
    EXPECT_NE(build.output.find("at most 255"), std::string::npos) << build.output;
    EXPECT_FALSE(fs::exists(pac()));
    EXPECT_FALSE(fs::exists(pac() + ".partial"));
    // 255 bytes still fit.
    fs::remove_all(game());
    WriteFileBytes(game() + "/" + longName.substr(0, 255), "x");
    EXPECT_EQ(Pack("build " + Quote(game()) + " " + Quote(pac())).exitCode, 0);
}

TEST_F(ZepaPackTest, FailuresExitWithOneAndBadCommandLinesWithTwo) {
    EXPECT_EQ(Pack("build " + Quote(folder_ / "absent") + " " + Quote(pac())).exitCode, 1);
    EXPECT_EQ(Pack("list " + Quote(folder_ / "absent.pac")).exitCode, 1);
    EXPECT_EQ(Pack("extract " + Quote(folder_ / "absent.pac") + " " + Quote(folder_ / "x")).exitCode, 1);
    EXPECT_EQ(Pack("").exitCode, 2);
    EXPECT_EQ(Pack("list").exitCode, 2);
    EXPECT_EQ(Pack("shrink a b").exitCode, 2);
    EXPECT_EQ(Pack("build only-one-argument").exitCode, 2);
    EXPECT_EQ(Pack("--help").exitCode, 0);
}

TEST_F(ZepaPackTest, ExtractRefusesNamesThatLeaveTheFolder) {
    const uint32_t data = 4 + 5 * 264;
    WriteFileBytes(pac(), RawArchive(5,
                                     {{"../escaped.txt", 1, data},
                                      {"/tmp/zepa-pack-absolute-escape.txt", 1, data},
                                      {"a/../../escaped2.txt", 1, data},
                                      {"link/through.txt", 1, data},
                                      {"fine/ok.txt", 2, data}},
                                     "OK"));
    fs::create_directories(folder_ / "out");
    fs::create_directories(folder_ / "elsewhere");
    fs::create_directory_symlink(folder_ / "elsewhere", folder_ / "out/link");
    const auto extract = Pack("extract " + Quote(pac()) + " " + Quote(folder_ / "out"));
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_NE(extract.output.find("refusing"), std::string::npos) << extract.output;
    EXPECT_FALSE(fs::exists(folder_ / "escaped.txt"));
    EXPECT_FALSE(fs::exists(folder_ / "escaped2.txt"));
    EXPECT_FALSE(fs::exists("/tmp/zepa-pack-absolute-escape.txt"));
    EXPECT_FALSE(fs::exists(folder_ / "elsewhere/through.txt"));
    EXPECT_EQ(ReadFileBytes(folder_ / "out/fine/ok.txt"), "OK");
}

TEST_F(ZepaPackTest, DamagedArchivesAreReportedAndTheirGoodEntriesExtracted) {
    const uint32_t data = 4 + 3 * 264;
    WriteFileBytes(pac(), RawArchive(3,
                                     {{"good.txt", 4, data},
                                      {"past-end.txt", 100, data},
                                      {"good.txt", 2, data + 2}},  // hidden duplicate
                                     "GOOD"));
    const auto list = Pack("list " + Quote(pac()));
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.output.find("outside the file"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("hidden by an earlier entry"), std::string::npos) << list.output;

    const auto extract = Pack("extract " + Quote(pac()) + " " + Quote(folder_ / "out"));
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_EQ(ReadFileBytes(folder_ / "out/good.txt"), "GOOD");  // the first of the duplicates
    EXPECT_FALSE(fs::exists(folder_ / "out/past-end.txt"));

    WriteFileBytes(pac(), RawArchive(0xFFFFFFFFu, {{"a", 0, 0}}, ""));
    const auto truncated = Pack("list " + Quote(pac()));
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_NE(truncated.output.find("cut short"), std::string::npos) << truncated.output;
}

TEST_F(ZepaPackTest, ListingAFileThatIsNoArchiveSaysSoAndListsNothing) {
    std::string text;
    while (text.size() < 3000) text += "MessageWindow[0].PrintText(\"hi\")\r\n";
    WriteFileBytes(pac(), text);
    const auto list = Pack("list " + Quote(pac()));
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.output.find("is not an archive"), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find('\t'), std::string::npos) << list.output;  // no entry line
}

TEST_F(ZepaPackTest, BuildNeverWritesThroughALinkedPartialFile) {
    MakeGame();
    WriteFileBytes(folder_ / "victim.txt", "keep me");
    fs::create_symlink(folder_ / "victim.txt", pac() + ".partial");
    const auto build = Pack("build " + Quote(game()) + " " + Quote(pac()));
    ASSERT_EQ(build.exitCode, 0) << build.output;
    EXPECT_EQ(ReadFileBytes(folder_ / "victim.txt"), "keep me");
    EXPECT_FALSE(fs::exists(fs::symlink_status(pac() + ".partial")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(pac())));
}

TEST_F(ZepaPackTest, BuildWarnsAboutEveryFileItLeavesOutAndPacksNothingFromOutside) {
    MakeGame();
    WriteFileBytes(folder_ / "secret.txt", "secret");
    fs::create_directories(folder_ / "outside-folder");
    WriteFileBytes(folder_ / "outside-folder/more.txt", "more");
    fs::create_symlink(folder_ / "secret.txt", game() + "/secret-link.txt");
    fs::create_directory_symlink(folder_ / "outside-folder", game() + "/folder-link");
    fs::create_symlink(folder_ / "nowhere", game() + "/dangling.txt");
    ASSERT_EQ(mkfifo((game() + "/pipe").c_str(), 0600), 0);
    fs::create_symlink("Z.txt", game() + "/inside-link.txt");
    const auto build = Pack("build " + Quote(game()) + " " + Quote(pac()));
    ASSERT_EQ(build.exitCode, 0) << build.output;
    for (const char* name : {"secret-link.txt", "folder-link", "dangling.txt", "pipe"})
        EXPECT_NE(build.output.find(std::string(name) + ":"), std::string::npos) << name << build.output;
    const CPackArchive archive(pac());
    EXPECT_EQ(archive.index().count("secret-link.txt"), 0u);
    EXPECT_EQ(archive.index().count("folder-link/more.txt"), 0u);
    EXPECT_EQ(archive.index().count("inside-link.txt"), 1u);  // a link within the folder is packed
    EXPECT_EQ(ReadFileBytes(pac()).find("secret"), std::string::npos);
}

TEST_F(ZepaPackTest, ListEscapesControlCharactersInNames) {
    const uint32_t data = 4 + 2 * 264;
    WriteFileBytes(pac(),
                   RawArchive(2, {{"evil\x1b]0;title\x07.txt", 1, data}, {"bell\x7f.txt", 1, data}}, "X"));
    const auto list = Pack("list " + Quote(pac()));
    EXPECT_EQ(list.exitCode, 0) << list.output;
    EXPECT_EQ(list.output.find('\x1b'), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find('\x07'), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("evil\\x1B]0;title\\x07.txt"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("bell\\x7F.txt"), std::string::npos) << list.output;
}

}  // namespace
}  // namespace zepa
