// Where writes land when a game's files are symbolic links.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/WriteTarget.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteFileBytes;

class WriteTargetTest : public ::testing::Test {
  protected:
    WriteTargetTest() {
        fs::create_directories(game());
        WriteFileBytes(outside(), "outside");
    }
    std::string game() const { return folder_ / "game"; }
    std::string in(const std::string& name) const { return game() + "/" + name; }
    std::string outside() const { return folder_ / "outside.dat"; }

    TempFolder folder_;
};

TEST_F(WriteTargetTest, PlainFilesAndFilesNotYetMadeStayInside) {
    WriteFileBytes(in("Save/Save0.dat"), "x");
    EXPECT_TRUE(WriteStaysInside(in("Save/Save0.dat"), game()));
    EXPECT_TRUE(WriteStaysInside(in("Save/Save1.dat"), game()));
    EXPECT_TRUE(WriteStaysInside(in("NewFolder/deeper/file"), game()));
    EXPECT_FALSE(WriteStaysInside(in("../outside.dat"), game()));
    EXPECT_FALSE(WriteStaysInside(in("missing/../../x"), game()));
}

TEST_F(WriteTargetTest, LinksAreFollowedAndMayOnlyLeadInside) {
    WriteFileBytes(in("real.ini"), "x");
    fs::create_symlink("real.ini", in("inside.ini"));
    fs::create_symlink(outside(), in("option.ini"));
    fs::create_symlink(folder_ / "not-there.dat", in("dangling.ini"));
    EXPECT_TRUE(WriteStaysInside(in("inside.ini"), game()));
    EXPECT_EQ(ResolveWriteTarget(in("inside.ini")), fs::canonical(in("real.ini")).string());
    EXPECT_FALSE(WriteStaysInside(in("option.ini"), game()));
    EXPECT_FALSE(WriteStaysInside(in("dangling.ini"), game()));
}

TEST_F(WriteTargetTest, LinkedFoldersLeadingOutAreRefused) {
    fs::create_directories(folder_ / "elsewhere");
    fs::create_directory_symlink(folder_ / "elsewhere", in("Save"));
    EXPECT_FALSE(WriteStaysInside(in("Save/Save0.dat"), game()));
    // The game folder itself may be reached through a link.
    fs::create_directory_symlink(game(), folder_ / "game-link");
    EXPECT_TRUE(WriteStaysInside(folder_ / "game-link/option.ini", game()));
}

TEST_F(WriteTargetTest, LinkLoopsAreRefused) {
    fs::create_symlink("b", in("a"));
    fs::create_symlink("a", in("b"));
    EXPECT_FALSE(ResolveWriteTarget(in("a")).has_value());
    EXPECT_FALSE(WriteStaysInside(in("a"), game()));
}

}  // namespace
}  // namespace zepa
