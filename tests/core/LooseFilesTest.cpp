// Finding loose files as Windows does: backslashes as separators, ASCII case ignored, neither
// rule touching the second byte of a CP932 character; and the folder listings it keeps.
#include "core/LooseFiles.h"

#include <gtest/gtest.h>

#include "core/LooseNames.h"
#include "platform/Cp932.h"
#include "platform/Log.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

class CRecordingLog final : public ILog {
  public:
    void Warning(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

class LooseFilesTest : public ::testing::Test {
  protected:
    std::optional<std::string> Find(const std::string& name) { return files_.FindFile(name); }

    TempFolder folder_;
    ScopedWorkingDirectory cwd_{folder_.path()};
    CRecordingLog log_;
    CLooseFiles files_{log_};
};

TEST(LooseNamesTest, TrailBytesAreNeitherSeparatorsNorLetters) {
    const std::string so = Cp932("ソ");  // 0x83 0x5C
    ASSERT_EQ(so, "\x83\x5C");
    EXPECT_EQ(BackslashesToSlashes(so + "\\a\\" + Cp932("表")), so + "/a/" + Cp932("表"));
    ASSERT_EQ(Cp932("ア"), "\x83\x41");
    ASSERT_EQ(Cp932("ヂ"), "\x83\x61");
    EXPECT_EQ(FoldAsciiCase(Cp932("ア.PNG")), Cp932("ア.png"));
    EXPECT_NE(FoldAsciiCase(Cp932("ア")), FoldAsciiCase(Cp932("ヂ")));
    // Half-width katakana are single bytes; the letter after one is still a letter.
    EXPECT_EQ(FoldAsciiCase("\xB1Z"), "\xB1z");
}

TEST_F(LooseFilesTest, BackslashesAndCaseFindTheFile) {
    WriteFileBytes("graphics/bg/Sky.png", "sky");
    EXPECT_EQ(Find("Graphics\\BG\\SKY.PNG"), "graphics/bg/Sky.png");
    EXPECT_EQ(Find("Graphics/BG/sky.png"), "graphics/bg/Sky.png");
    EXPECT_EQ(Find("Graphics/BG/sky.png/"), "graphics/bg/Sky.png");
    EXPECT_FALSE(Find("Graphics/BG"));  // a folder is not a file
    EXPECT_EQ(files_.FindFolder("GRAPHICS\\Bg"), "graphics/bg");
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(LooseFilesTest, Cp932TrailBytesStayPartOfTheirCharacter) {
    // 0x5C as the trail byte of ソ: "ソx.png" is not the folder "\x83" holding "x.png".
    WriteFileBytes("\x83/x.png", "wrong");
    EXPECT_FALSE(Find(Cp932("ソx.png")));
    WriteFileBytes("BG/" + Cp932("ソ.png"), "so");
    EXPECT_EQ(Find(Cp932("bg\\ソ.PNG")), "BG/" + Cp932("ソ.png"));
    // A trail byte that is a letter is not folded: ヂ (0x83 0x61) does not find ア (0x83 0x41).
    WriteFileBytes("BG/" + Cp932("ア.png"), "a");
    EXPECT_FALSE(Find(Cp932("BG/ヂ.png")));
    EXPECT_EQ(Find(Cp932("Bg/ア.Png")), "BG/" + Cp932("ア.png"));
}

TEST_F(LooseFilesTest, Utf8NamesOnDiskMatchWithoutCase) {
    WriteFileBytes("graphics/立ち絵/笑顔.PNG", "utf-8");
    EXPECT_EQ(Find(Cp932("Graphics/立ち絵/笑顔.png")), "graphics/立ち絵/笑顔.PNG");
    EXPECT_EQ(Find(Cp932("Graphics\\立ち絵\\笑顔.png")), "graphics/立ち絵/笑顔.PNG");
    EXPECT_FALSE(Find(Cp932("Graphics/立ち絵/泣き顔.png")));
}

TEST_F(LooseFilesTest, AmongCaseTwinsTheSmallestIsTakenWithOneWarning) {
    WriteFileBytes("Dup/b.png", "lower");
    WriteFileBytes("Dup/B.png", "upper");
    EXPECT_EQ(Find("dup/b.PNG"), "Dup/B.png");
    EXPECT_EQ(Find("DUP/B.Png"), "Dup/B.png");
    ASSERT_EQ(log_.lines.size(), 1u);
    EXPECT_NE(log_.lines[0].find("differ only in case"), std::string::npos);
    // An exact name is taken as it is, without a warning.
    EXPECT_EQ(Find("Dup/b.png"), "Dup/b.png");
    EXPECT_EQ(log_.lines.size(), 1u);
}

TEST_F(LooseFilesTest, NamesLeavingTheGameFolderAreRefusedWhateverTheirSeparators) {
    WriteFileBytes("secret.txt", "outside");
    WriteFileBytes("game/inside.txt", "inside");
    ScopedWorkingDirectory inner(folder_ / "game");
    CLooseFiles files(log_);
    for (const char* name :
         {"..\\secret.txt", "a\\..\\..\\secret.txt", "..\\game\\..\\SECRET.TXT", "\\secret.txt",
          "/secret.txt", "C:\\secret.txt", "c:/secret.txt", "x/..\\..\\secret.txt"}) {
        log_.lines.clear();
        EXPECT_FALSE(files.FindFile(name)) << name;
        ASSERT_EQ(log_.lines.size(), 1u) << name;
        EXPECT_NE(log_.lines[0].find("leaves the game folder"), std::string::npos) << name;
    }
    EXPECT_EQ(files.FindFile("x\\..\\INSIDE.txt"), "inside.txt");
}

TEST_F(LooseFilesTest, FolderListingsAreKeptUntilTheFolderChanges) {
    WriteFileBytes("BG/A.png", "a");
    ASSERT_EQ(Find("bg/a.png"), "BG/A.png");
    const int listings = files_.listingCount();
    EXPECT_EQ(listings, 2);  // the game folder and BG
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Find("bg/a.png"), "BG/A.png");
        EXPECT_FALSE(Find("bg/none.png"));
    }
    EXPECT_EQ(files_.listingCount(), listings);
    // A file added later is found: its folder changed, and only that folder is read again.
    WriteFileBytes("BG/B.png", "b");
    EXPECT_EQ(Find("bg/b.png"), "BG/B.png");
    EXPECT_EQ(files_.listingCount(), listings + 1);
    // So is a folder replaced by another of the same name.
    std::filesystem::remove_all("BG");
    WriteFileBytes("BG/C.png", "c");
    EXPECT_EQ(Find("bg/c.png"), "BG/C.png");
    EXPECT_FALSE(Find("bg/a.png"));
}

}  // namespace
}  // namespace zepa
