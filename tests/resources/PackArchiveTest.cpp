#include "resources/PackArchive.h"

#include <gtest/gtest.h>

#include <memory>

#include "resources/ArchiveBytes.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::NamedData;
using testing::PackedArchive;
using testing::RawArchive;
using testing::RawEntry;
using testing::TempFolder;
using testing::WriteFileBytes;

class PackArchiveTest : public ::testing::Test {
  protected:
    CPackArchive Open(const std::string& bytes) {
        WriteFileBytes(path_, bytes);
        return CPackArchive(path_);
    }
    static std::string Read(const CPackArchive& archive, const std::string& name) {
        std::vector<uint8_t> bytes;
        if (!archive.ReadEntry(name, bytes)) return "<fail>";
        return std::string(bytes.begin(), bytes.end());
    }

    TempFolder folder_;
    std::string path_ = folder_ / "GameData.pac";
};

TEST_F(PackArchiveTest, ReadsEntriesThroughBothForms) {
    const std::string binary("\0\x01\xff\r\n", 5);
    const CPackArchive archive = Open(PackedArchive({{"Script/Script.txt", "text"}, {"bin", binary}}));
    EXPECT_EQ(archive.count(), 2u);
    EXPECT_EQ(Read(archive, "Script/Script.txt"), "text");
    EXPECT_EQ(Read(archive, "bin"), binary);

    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(archive.ReadEntry("bin", buffer, size));
    std::unique_ptr<uint8_t[]> owned(buffer);
    ASSERT_EQ(size, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), binary);
}

TEST_F(PackArchiveTest, NonNullBufferIsRefusedAndLeftAlone) {
    const CPackArchive archive = Open(PackedArchive({{"a", "xyz"}}));
    uint8_t sentinel[4] = {9, 9, 9, 9};
    uint8_t* buffer = sentinel;
    uint32_t size = 0;
    EXPECT_FALSE(archive.ReadEntry("a", buffer, size));
    EXPECT_EQ(buffer, sentinel);
    EXPECT_FALSE(archive.ReadEntry(nullptr, buffer = nullptr, size));
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(PackArchiveTest, EmptyArchivesFindNothing) {
    for (const std::string& bytes : {std::string("\0\0\0\0", 4), std::string(), std::string("\x01\0", 2)}) {
        const CPackArchive archive = Open(bytes);
        EXPECT_EQ(archive.count(), 0u);
        EXPECT_TRUE(archive.index().empty());
        EXPECT_EQ(Read(archive, ""), "<fail>");
    }
    const CPackArchive missing(folder_ / "absent.pac");
    EXPECT_TRUE(missing.index().empty());
    EXPECT_EQ(Read(missing, "a"), "<fail>");
}

TEST_F(PackArchiveTest, SizeZeroEntryYieldsAnEmptyBlock) {
    const CPackArchive archive = Open(PackedArchive({{"empty", ""}, {"z", "z"}}));
    uint8_t* buffer = nullptr;
    uint32_t size = 77;
    ASSERT_TRUE(archive.ReadEntry("empty", buffer, size));
    EXPECT_EQ(size, 0u);
    EXPECT_NE(buffer, nullptr);
    delete[] buffer;
    EXPECT_EQ(Read(archive, "empty"), "");
}

TEST_F(PackArchiveTest, FirstOfTwoEqualNamesWins) {
    const CPackArchive archive = Open(PackedArchive({{"dup", "first"}, {"other", "o"}, {"dup", "second"}}));
    EXPECT_EQ(archive.index().size(), 2u);
    EXPECT_EQ(Read(archive, "dup"), "first");
}

TEST_F(PackArchiveTest, NamesMatchExactlyByteForByte) {
    const CPackArchive archive = Open(PackedArchive({{"Graphics/BG/Sky.png", "sky"}}));
    EXPECT_EQ(Read(archive, "Graphics/BG/Sky.png"), "sky");
    for (const char* near : {"graphics/BG/Sky.png", "Graphics/BG/sky.png", "Graphics\\BG\\Sky.png",
                             "Graphics/BG/Sky.png ", "/Graphics/BG/Sky.png", "Graphics/BG/Sky"})
        EXPECT_EQ(Read(archive, near), "<fail>") << near;
    EXPECT_EQ(Read(archive, std::string("Graphics/BG/Sky.png\0x", 21)), "<fail>");
}

TEST_F(PackArchiveTest, BytesAfterTheNameNulAreIgnored) {
    std::string name("pic.png\0garbage", 15);
    const CPackArchive archive = Open(RawArchive(1, {{name, 2, 268}}, "ok"));
    EXPECT_EQ(Read(archive, "pic.png"), "ok");
}

TEST_F(PackArchiveTest, ListsSystemGraphicsInByteOrder) {
    const std::string cp932Name = "Graphics/System/\x83\x45\x83\x42.png";  // katakana, bytes >= 0x80
    const CPackArchive archive = Open(PackedArchive({{"Graphics/System/b.png", "1"},
                                                     {cp932Name, "2"},
                                                     {"Graphics/System/A.png", "3"},
                                                     {"Mod/Graphics/System/x.png", "4"},
                                                     {"Graphics/BG/System/y.png", "5"},
                                                     {"graphics/system/z.png", "6"}}));
    std::vector<std::string> list = {"kept"};
    archive.ListSystemGraphics(list);
    const std::vector<std::string> expected = {"kept", "Graphics/System/A.png", "Graphics/System/b.png",
                                               cp932Name, "Mod/Graphics/System/x.png"};
    EXPECT_EQ(list, expected);
}

TEST_F(PackArchiveTest, CountLargerThanTheFileKeepsTheWholeEntries) {
    for (uint32_t count : {3u, 1000u, 0xFFFFFFFFu}) {
        const CPackArchive archive =
            Open(RawArchive(count, {{"a", 1, 4 + 2 * 264}, {"b", 1, 4 + 2 * 264 + 1}}, "AB"));
        EXPECT_EQ(archive.count(), 2u) << count;
        EXPECT_EQ(Read(archive, "a"), "A");
        EXPECT_EQ(Read(archive, "b"), "B");
    }
}

TEST_F(PackArchiveTest, TruncatedTableKeepsTheEntriesBeforeTheCut) {
    std::string bytes = PackedArchive({{"a", "A"}, {"b", "B"}, {"c", "C"}});
    bytes.resize(4 + 264 + 100);  // the second entry is cut, and all data with it
    const CPackArchive archive = Open(bytes);
    EXPECT_EQ(archive.count(), 1u);
    EXPECT_EQ(archive.index().count("b"), 0u);
    EXPECT_EQ(Read(archive, "a"), "<fail>");  // its data was cut off too
}

TEST_F(PackArchiveTest, EntriesOutsideTheFileFailWithoutTouchingTheBuffer) {
    const uint32_t dataStart = 4 + 5 * 264;
    const CPackArchive archive = Open(RawArchive(5,
                                                 {{"good", 4, dataStart},
                                                  {"past-end", 4, dataStart + 2},
                                                  {"huge", 0xFFFFFFFFu, dataStart},
                                                  {"wraps", 0x20, 0xFFFFFFF0u},
                                                  {"offset-only", 0, dataStart + 100}},
                                                 "DATA"));
    EXPECT_EQ(Read(archive, "good"), "DATA");
    for (const char* bad : {"past-end", "huge", "wraps", "offset-only"}) {
        uint8_t* buffer = nullptr;
        uint32_t size = 0;
        EXPECT_FALSE(archive.ReadEntry(bad, buffer, size)) << bad;
        EXPECT_EQ(buffer, nullptr) << bad;
        std::vector<uint8_t> out = {1, 2, 3};
        EXPECT_FALSE(archive.ReadEntry(bad, out)) << bad;
        EXPECT_EQ(out.size(), 3u) << bad;
    }
}

TEST_F(PackArchiveTest, NameWithoutNulIsLeftOutAndTheRestStaysUsable) {
    const std::string longName(256, 'n');
    const uint32_t dataStart = 4 + 2 * 264;
    const CPackArchive archive =
        Open(RawArchive(2, {{longName, 1, dataStart}, {"ok", 1, dataStart + 1}}, "XY"));
    EXPECT_EQ(archive.index().size(), 1u);
    EXPECT_EQ(Read(archive, "ok"), "Y");
    EXPECT_EQ(Read(archive, longName), "<fail>");
    EXPECT_EQ(Read(archive, longName.substr(0, 255)), "<fail>");
}

TEST_F(PackArchiveTest, FileShrunkAfterOpeningGivesNoStaleBytes) {
    const CPackArchive archive = Open(PackedArchive({{"a", "0123456789"}}));
    WriteFileBytes(path_, PackedArchive({{"a", "01"}}));
    EXPECT_EQ(Read(archive, "a"), "<fail>");
    std::filesystem::remove(path_);
    EXPECT_EQ(Read(archive, "a"), "<fail>");
}

TEST_F(PackArchiveTest, TableShowsEntriesInFileOrderWithTheirFlaws) {
    WriteFileBytes(path_, RawArchive(4, {{"z", 1, 0}, {"a", 9, 1000}, {std::string(256, 'q'), 0, 0}}, ""));
    const PackTable table = ReadPackTable(path_);
    ASSERT_TRUE(table.opened);
    EXPECT_EQ(table.declaredCount, 4u);
    EXPECT_TRUE(table.truncated);
    ASSERT_EQ(table.entries.size(), 3u);
    EXPECT_EQ(table.entries[0].name, "z");
    EXPECT_TRUE(table.Contains(table.entries[0].entry));
    EXPECT_FALSE(table.Contains(table.entries[1].entry));
    EXPECT_FALSE(table.entries[2].nameTerminated);
    EXPECT_FALSE(ReadPackTable(folder_ / "absent").opened);
}

TEST_F(PackArchiveTest, FilesOfOtherKindsAreNotArchives) {
    std::string text;
    while (text.size() < 2000) text += "Calc($num[1] = 1)\r\nWaitOK\r\n";
    // Binary data: every entry lies outside the file, and the second has an empty name.
    std::string picture = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 1200; ++i) picture.push_back(static_cast<char>((i * 37 + 11) % 256));
    picture[4 + 264] = '\0';
    for (const std::string& bytes :
         {text, std::string("hello"), std::string("PK"), picture, RawArchive(2, {}, "only 20 bytes here")}) {
        WriteFileBytes(path_, bytes);
        EXPECT_FALSE(ReadPackTable(path_).NotAnArchiveReason().empty()) << bytes.substr(0, 8);
    }
}

// Every damaged archive the engine can still read from, and every table cut short whose names are
// whole, is an archive.
TEST_F(PackArchiveTest, DamagedArchivesAreStillArchives) {
    std::string cutInTable = PackedArchive({{"a", "A"}, {"b", "B"}, {"c", "C"}});
    cutInTable.resize(4 + 264 + 100);
    std::string cutInData = PackedArchive({{"a", "A"}, {"b", "B"}});
    cutInData.resize(4 + 2 * 264);
    const std::string unterminated(256, 'n');
    for (const std::string& bytes :
         {std::string(), RawArchive(0, {}, ""), RawArchive(0, {}, "trailing bytes"), cutInTable, cutInData,
          RawArchive(0xFFFFFFFFu, {{"a", 0, 0}}, ""),
          RawArchive(0xFFFFFFFFu, {{unterminated, 1, 4}, {"", 0, 0}, {"x", 1, 4}}, ""),
          RawArchive(2, {{"good", 1, 4 + 2 * 264}, {"far", 100, 999999}}, "G")}) {
        WriteFileBytes(path_, bytes);
        EXPECT_EQ(ReadPackTable(path_).NotAnArchiveReason(), "") << bytes.size();
    }
}

}  // namespace
}  // namespace zepa
