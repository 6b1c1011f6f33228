// Save files on disk: the exact byte layout, round trips, damaged files and failed writes.
#include "script/SaveFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include "support/TestServices.h"

#include <bit>
#include <filesystem>

#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ReadFileBytes;
using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

uint32_t WordAt(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
    return value;
}

SavePointRecord SampleRecord() {
    SavePointRecord record;
    record.backgroundPath = "Graphics/BG/room.png";
    record.bgmPath = "Music/bgm/theme.ogg";
    record.bgsPath = "Music/bgs/rain.wav";
    record.characters[2].imagePath = "Graphics/Char/mia.png";
    record.characters[2].x = 12.5f;
    record.characters[2].y = -3.0f;
    record.characters[2].SetFlags(true, true);
    record.focus = 100;
    record.scriptFile = "Script/Chapter2.txt";
    record.savePointName = "Morning";
    return record;
}

// A store whose snapshot holds recognisable values in every section.
CVariableStore SampleStore() {
    CVariableStore vars;
    vars.SetInt(1, -2);
    vars.SetInt(65535, 0x12345678);
    vars.SetFlag(5, true);
    vars.SetFlag(1023, true);
    vars.SetString(0, "ab");
    vars.SetString(4095, "\x82\xa0 end");
    vars.TakeSnapshot(SampleRecord());
    return vars;
}

class SaveFolderTest : public ::testing::Test {
  protected:
    SaveFolderTest() : cwd(folder.path()) {}
    TempFolder folder;
    ScopedWorkingDirectory cwd;
};

TEST(SaveFileLayout, EmptyStoreGivesTheMinimalFileWithEmptyStringsAsZeroLengths) {
    CVariableStore vars;
    vars.SetFlag(5, true);
    vars.TakeSnapshot(SavePointRecord{});
    const std::string bytes = EncodeSaveFile(vars, zepa::testing::TestLog());
    ASSERT_EQ(bytes.size(), 282444u);
    EXPECT_EQ(bytes[265040], 2);
    for (size_t i = kSaveFlagsOffset; i < kSaveStringsOffset; ++i) {
        if (i != 265040) {
            EXPECT_EQ(bytes[i], 0) << i;
        }
    }
    // Every string is a zero length and no bytes.
    EXPECT_EQ(bytes.find_first_not_of('\0', kSaveStringsOffset), std::string::npos);
}

TEST(SaveFileLayout, RecordFieldsAndSnapshotSitAtTheirOffsetsLittleEndian) {
    const std::string bytes = EncodeSaveFile(SampleStore(), zepa::testing::TestLog());
    ASSERT_EQ(bytes.size(), 282444u + 2 + 6);
    EXPECT_EQ(bytes.substr(0, 21), std::string("Graphics/BG/room.png\0", 21));
    EXPECT_EQ(bytes.find_first_not_of('\0', 21), 256u);  // the rest of the field is zero
    EXPECT_EQ(bytes.substr(256, 20), std::string("Music/bgm/theme.ogg\0", 20));
    EXPECT_EQ(bytes.substr(512, 18), "Music/bgs/rain.wav");
    const size_t slot2 = 768 + 2 * 268;
    EXPECT_EQ(bytes.substr(slot2, 21), "Graphics/Char/mia.png");
    EXPECT_EQ(bytes.substr(slot2 + 256, 4), std::string("\x00\x00\x48\x41", 4));  // 12.5f
    EXPECT_EQ(WordAt(bytes, slot2 + 260), std::bit_cast<uint32_t>(-3.0f));
    EXPECT_EQ(WordAt(bytes, slot2 + 264), 3u);
    EXPECT_EQ(WordAt(bytes, 768 + 264), 0u);  // slot 0: empty, flags clear
    EXPECT_EQ(bytes.substr(2376, 4), std::string("\x64\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(2380, 19), "Script/Chapter2.txt");
    EXPECT_EQ(bytes.substr(2636, 8), std::string("Morning\0", 8));
    EXPECT_EQ(bytes.substr(2892 + 4, 4), std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(bytes.substr(2892 + 4 * 65535, 4), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(bytes[265036 + 255 * 4], 8);  // flag 1023: bit 3 of the last word
    EXPECT_EQ(bytes.substr(266060, 6), std::string("\x02\x00\x00\x00"
                                                   "ab",
                                                   6));
    EXPECT_EQ(bytes.substr(bytes.size() - 10), std::string("\x06\x00\x00\x00\x82\xa0 end", 10));
}

TEST(SaveFileLayout, LongNamesAreCutToFitTheirFieldAtACharacterBoundary) {
    EXPECT_EQ(CutToNameField(std::string(300, 'a')), std::string(254, 'a'));
    EXPECT_EQ(CutToNameField(std::string(254, 'a')).size(), 254u);
    // A double-byte character that would straddle the limit is left out whole.
    EXPECT_EQ(CutToNameField(std::string(253, 'a') + "\x82\xa0"), std::string(253, 'a'));
    EXPECT_EQ(CutToNameField(std::string(252, 'a') + "\x82\xa0" + "zz"), std::string(252, 'a') + "\x82\xa0");

    SavePointRecord record;
    record.savePointName = std::string(400, 'n');
    record.characters[5].imagePath = std::string(255, 'c');
    const std::string block = EncodeSavePointRecord(record, zepa::testing::TestLog());
    ASSERT_EQ(block.size(), kSavePointRecordSize);
    EXPECT_EQ(block[2636 + 253], 'n');
    EXPECT_EQ(block[2636 + 254], '\0');
    EXPECT_EQ(block[2636 + 255], '\0');
    EXPECT_EQ(block[768 + 5 * 268 + 254], '\0');
    EXPECT_EQ(WordAt(block, 768 + 5 * 268 + 256), 0u);  // the x after the name is untouched
    const SavePointRecord back = DecodeSavePointRecord(block);
    EXPECT_EQ(back.savePointName, std::string(254, 'n'));
    EXPECT_EQ(back.characters[5].imagePath, std::string(254, 'c'));
}

TEST(SaveFileLayout, DecodingGivesBackWhatWasEncoded) {
    const CVariableStore vars = SampleStore();
    auto decoded = DecodeSaveFile(EncodeSaveFile(vars, zepa::testing::TestLog()));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->complete());
    EXPECT_EQ(decoded->extraBytes, 0u);
    EXPECT_EQ(decoded->record, SampleRecord());
    EXPECT_EQ(decoded->ints, vars.snapshotInts());
    EXPECT_EQ(decoded->flags, vars.snapshotFlagWords());
    EXPECT_EQ(decoded->strings, vars.snapshotStrings());
}

TEST_F(SaveFolderTest, WriteCreatesTheFolderAndLoadRestoresSnapshotAndLiveArrays) {
    const CVariableStore saved = SampleStore();
    ASSERT_TRUE(WriteSaveFile(saved, 3, zepa::testing::TestLog()));
    EXPECT_EQ(ReadFileBytes("Save/Save3.dat"), EncodeSaveFile(saved, zepa::testing::TestLog()));
    EXPECT_FALSE(std::filesystem::exists("Save/Save3.dat.bak"));

    CVariableStore loaded;
    loaded.SetInt(7, 77);  // replaced by the file's value (0)
    loaded.SetQuickSaveSlot(5);
    ASSERT_TRUE(LoadSaveFile(loaded, 3, zepa::testing::TestLog()));
    EXPECT_EQ(loaded.savePoint(), SampleRecord());
    EXPECT_EQ(loaded.GetInt(1), -2);
    EXPECT_EQ(loaded.GetInt(7), 0);
    EXPECT_EQ(loaded.GetInt(65535), 0x12345678);
    EXPECT_TRUE(loaded.GetFlag(5));
    EXPECT_TRUE(loaded.GetFlag(1023));
    EXPECT_FALSE(loaded.GetFlag(4));
    EXPECT_EQ(loaded.GetString(0), "ab");
    EXPECT_EQ(loaded.GetString(4095), "\x82\xa0 end");
    EXPECT_EQ(loaded.snapshotInts(), saved.snapshotInts());
    EXPECT_EQ(loaded.quickSaveSlot(), 5);  // the caller chooses the slot

    // Saving again replaces the file whole; no copy of the old one stays behind.
    loaded.SetInt(1, 1);
    loaded.TakeSnapshot(SavePointRecord{});
    ASSERT_TRUE(WriteSaveFile(loaded, 3, zepa::testing::TestLog()));
    EXPECT_EQ(ReadFileBytes("Save/Save3.dat"), EncodeSaveFile(loaded, zepa::testing::TestLog()));
    EXPECT_FALSE(std::filesystem::exists("Save/Save3.dat.bak"));
    EXPECT_TRUE(WriteSaveFile(loaded, -4, zepa::testing::TestLog()));
    EXPECT_TRUE(std::filesystem::exists("Save/Save-4.dat"));
}

TEST_F(SaveFolderTest, LoadingAMissingSlotChangesNothing) {
    CVariableStore vars = SampleStore();
    vars.SetInt(9, 9);
    ASSERT_FALSE(LoadSaveFile(vars, 1, zepa::testing::TestLog()));
    EXPECT_EQ(vars.GetInt(9), 9);
    EXPECT_EQ(vars.savePoint(), SampleRecord());
    SavePointRecord record = SampleRecord();
    EXPECT_FALSE(ReadSaveRecord(1, record));
    EXPECT_EQ(record, SampleRecord());
    std::filesystem::create_directories("Save/Save2.dat");  // a folder is not a save file
    EXPECT_FALSE(LoadSaveFile(vars, 2, zepa::testing::TestLog()));
    EXPECT_FALSE(ReadSaveRecord(2, record));
}

TEST_F(SaveFolderTest, ASaveFolderMadeOnWindowsIsUsedWhateverItsCase) {
    const std::string bytes = EncodeSaveFile(SampleStore(), zepa::testing::TestLog());
    WriteFileBytes("save/SAVE1.DAT", bytes);
    SavePointRecord record;
    ASSERT_TRUE(ReadSaveRecord(1, record));
    EXPECT_EQ(record, SampleRecord());
    ASSERT_TRUE(WriteSaveFile(SampleStore(), 2, zepa::testing::TestLog()));
    EXPECT_EQ(ReadFileBytes("save/Save2.dat"), bytes);
    EXPECT_FALSE(std::filesystem::exists("Save"));
}

TEST_F(SaveFolderTest, ReadSaveRecordReadsOnlyTheRecord) {
    const std::string bytes = EncodeSaveFile(SampleStore(), zepa::testing::TestLog());
    WriteFileBytes("Save/Save0.dat", bytes.substr(0, kSavePointRecordSize));
    SavePointRecord record;
    ASSERT_TRUE(ReadSaveRecord(0, record));
    EXPECT_EQ(record, SampleRecord());
    // A file too short for a record still exists: the missing bytes read as zero.
    WriteFileBytes("Save/Save0.dat", bytes.substr(0, 2640));
    ASSERT_TRUE(ReadSaveRecord(0, record));
    EXPECT_EQ(record.savePointName, "Morn");
    EXPECT_EQ(record.scriptFile, "Script/Chapter2.txt");
}

TEST_F(SaveFolderTest, DamagedFilesLoadWhatIsWholeAndSaySo) {
    const CVariableStore saved = SampleStore();
    const std::string bytes = EncodeSaveFile(saved, zepa::testing::TestLog());
    struct Case {
        const char* what;
        std::string file;
        int ints, flagWords, strings;
    };
    std::string hugeLength = bytes.substr(0, kSaveStringsOffset + 6);  // string 0 whole
    hugeLength += std::string("\xFF\xFF\xFF\xFF", 4) + "xyz";          // string 1 claims 4 GiB
    std::string pastEnd = bytes.substr(0, kSaveStringsOffset);
    pastEnd += std::string("\x09\x00\x00\x00", 4) + "ab";  // 9 bytes promised, 2 there
    const Case cases[] = {
        {"ends inside the integers", bytes.substr(0, kSaveIntsOffset + 4 * 2 + 3), 2, 0, 0},
        {"ends inside the flags", bytes.substr(0, kSaveFlagsOffset + 8), 65536, 2, 0},
        {"ends after the flags", bytes.substr(0, kSaveStringsOffset), 65536, 256, 0},
        {"ends inside a length", bytes.substr(0, kSaveStringsOffset + 8), 65536, 256, 1},
        {"huge string length", hugeLength, 65536, 256, 1},
        {"length past the end", pastEnd, 65536, 256, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes("Save/Save1.dat", c.file);
        CVariableStore vars;
        vars.SetInt(65535, 5);
        vars.SetString(4095, "old");
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(LoadSaveFile(vars, 1, zepa::testing::TestLog()));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Save/Save1.dat is damaged"), std::string::npos) << err;
        EXPECT_NE(err.find(std::to_string(c.strings) + " of 4096 strings"), std::string::npos) << err;
        EXPECT_EQ(vars.savePoint(), SampleRecord());
        EXPECT_EQ(vars.GetInt(1), c.ints > 1 ? -2 : 0);
        EXPECT_EQ(vars.GetInt(65535), c.ints == 65536 ? 0x12345678 : 0);  // nothing of the old game stays
        EXPECT_EQ(vars.GetFlag(5), c.flagWords > 1);
        EXPECT_EQ(vars.GetString(0), c.strings > 0 ? "ab" : "");
        EXPECT_EQ(vars.GetString(4095), "");
    }
}

TEST_F(SaveFolderTest, TooShortFileLoadsNothingAndExtraBytesAreIgnored) {
    CVariableStore vars;
    vars.SetInt(3, 3);
    WriteFileBytes("Save/Save0.dat", std::string(100, 'x'));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadSaveFile(vars, 0, zepa::testing::TestLog()));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("nothing loaded"), std::string::npos);
    EXPECT_EQ(vars.GetInt(3), 3);

    WriteFileBytes("Save/Save0.dat", EncodeSaveFile(SampleStore(), zepa::testing::TestLog()) + "tail");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(LoadSaveFile(vars, 0, zepa::testing::TestLog()));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("4 bytes after its last string"),
              std::string::npos);
    EXPECT_EQ(vars.GetString(4095), "\x82\xa0 end");
}

TEST_F(SaveFolderTest, StringsEndAtANulAndStrayFlagBitsAreDropped) {
    std::string bytes = EncodeSaveFile(SampleStore(), zepa::testing::TestLog());
    bytes[kSaveStringsOffset + 5] = '\0';  // "ab" becomes "a\0"
    bytes[kSaveFlagsOffset + 1] = '\x7F';  // bits 8-14 of word 0
    WriteFileBytes("Save/Save0.dat", bytes);
    CVariableStore vars;
    ASSERT_TRUE(LoadSaveFile(vars, 0, zepa::testing::TestLog()));
    EXPECT_EQ(vars.GetString(0), "a");
    EXPECT_EQ(vars.snapshotFlagWords()[0], 0u);
    EXPECT_EQ(vars.GetString(4095), "\x82\xa0 end");  // the strings after it still line up
}

// Runs WriteSaveFile in a child process that may write at most `limit` bytes per file, the way
// a full disk refuses a write; returns the child's result.
bool WriteWithFileSizeLimit(const CVariableStore& vars, int slot, rlim_t limit) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of killing the process
        const rlimit small{limit, limit};
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(WriteSaveFile(vars, slot, zepa::testing::TestLog()) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SaveFolderTest, AFailedWriteKeepsThePreviousSave) {
    const CVariableStore first = SampleStore();
    ASSERT_TRUE(WriteSaveFile(first, 2, zepa::testing::TestLog()));
    const std::string previous = ReadFileBytes("Save/Save2.dat");

    CVariableStore second;
    second.SetInt(1, 42);
    second.TakeSnapshot(SavePointRecord{});
    EXPECT_FALSE(WriteWithFileSizeLimit(second, 2, 4096));
    EXPECT_EQ(ReadFileBytes("Save/Save2.dat"), previous);
    // The copy kept while the new file was written stays, as the new file never completed.
    EXPECT_EQ(ReadFileBytes("Save/Save2.dat.bak"), previous);
    for (const auto& entry : std::filesystem::directory_iterator("Save"))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

    // With room again the next save succeeds and the copy goes.
    EXPECT_TRUE(WriteWithFileSizeLimit(second, 2, RLIM_INFINITY));
    EXPECT_EQ(ReadFileBytes("Save/Save2.dat"), EncodeSaveFile(second, zepa::testing::TestLog()));
    EXPECT_FALSE(std::filesystem::exists("Save/Save2.dat.bak"));
}

TEST_F(SaveFolderTest, NoFolderCanBeMadeWhenSaveIsAFile) {
    WriteFileBytes("Save", "not a folder");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteSaveFile(SampleStore(), 0, zepa::testing::TestLog()));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("was not written"), std::string::npos);
    EXPECT_EQ(ReadFileBytes("Save"), "not a folder");
}

TEST(VariableStoreSaving, NewGameResetsLiveStateAndRecordButKeepsTheSnapshot) {
    CVariableStore vars = SampleStore();
    vars.SetQuickSaveSlot(-3);
    EXPECT_EQ(vars.quickSaveSlot(), 0);
    vars.SetQuickSaveSlot(4);
    vars.ResetForNewGame();
    EXPECT_EQ(vars.GetInt(1), 0);
    EXPECT_FALSE(vars.GetFlag(5));
    EXPECT_EQ(vars.GetString(0), "");
    SavePointRecord fresh;
    fresh.focus = 100;
    EXPECT_EQ(vars.savePoint(), fresh);
    EXPECT_EQ(vars.snapshotInts()[1], -2);
    EXPECT_EQ(vars.snapshotStrings()[0], "ab");
    EXPECT_EQ(vars.quickSaveSlot(), 4);
}

}  // namespace
}  // namespace zepa
