// Where option.ini and the saves go: the game folder when it can be written, else a data folder of
// the player's named after the game, which starts with copies of what the game ships.
#include "core/WritableFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using zepa::testing::ReadFileBytes;
using zepa::testing::TempFolder;
using zepa::testing::WriteFileBytes;

TEST(WritableFolder, AWritableGameFolderKeepsItsFiles) {
    EXPECT_EQ(WritableFilesFolder({"/games/star", true, "/data", "/home/p"}), "");
}

TEST(WritableFolder, AReadOnlyGameFolderUsesTheDataHomeElseHome) {
    EXPECT_EQ(WritableFilesFolder({"/games/star", false, "/data", "/home/p"}), "/data/zepa/star-6a84154e");
    EXPECT_EQ(WritableFilesFolder({"/games/star", false, "", "/home/p"}),
              "/home/p/.local/share/zepa/star-6a84154e");
    // A relative data home is ignored, as the base directory rules say.
    EXPECT_EQ(WritableFilesFolder({"/games/star", false, "data", "/home/p"}),
              "/home/p/.local/share/zepa/star-6a84154e");
    EXPECT_EQ(WritableFilesFolder({"/games/star", false, "", ""}), "");
    EXPECT_EQ(WritableFilesFolder({"/games/star", false, "data", "home"}), "");
}

TEST(WritableFolder, TheNameTellsGamesApartAndStaysTheSame) {
    // The hash is fixed by definition: a changed one would lose every player's saves.
    EXPECT_EQ(DataFolderName("/games/star"), "star-6a84154e");
    EXPECT_EQ(DataFolderName("/games/star/"), "star-6a84154e");
    EXPECT_NE(DataFolderName("/other/star"), DataFolderName("/games/star"));
    EXPECT_EQ(DataFolderName("/").substr(0, 5), "game-");
    EXPECT_EQ(DataFolderName("/g/..").substr(0, 5), "game-");
    EXPECT_EQ(DataFolderName("/g/a b:c*").substr(0, 7), "a_b_c_-");
    // Non-ASCII names stay readable; a long one is cut without splitting a character.
    EXPECT_EQ(DataFolderName("/g/星の丘").substr(0, 10), "星の丘-");
    std::string longName;
    for (int i = 0; i < 30; ++i) longName += "星";  // 90 bytes
    const std::string cut = DataFolderName("/g/" + longName);
    EXPECT_EQ(cut.size(), 63u + 9u);
    EXPECT_EQ(cut.substr(0, 63), longName.substr(0, 63));
}

TEST(WritableFolder, TheDataFolderStartsWithWhatTheGameShips) {
    TempFolder root;
    WriteFileBytes(root / "game/option.ini", "MESSAGE_SPEED=5\r\n");
    WriteFileBytes(root / "game/save/SAVE1.DAT", "one");
    WriteFileBytes(root / "game/save/Save2.dat", "two");
    WriteFileBytes(root / "game/save/notes.txt", "not a save");
    WriteFileBytes(root / "game/save/Save.dat", "no slot");
    WriteFileBytes(root / "game/save/Savex.dat", "no slot");
    // What the player already has is never replaced by the game's copy.
    WriteFileBytes(root / "data/zepa/g/Save/Save2.dat", "players");
    zepa::testing::ScopedWorkingDirectory cwd(root / "game");
    const std::string data = root / "data/zepa/g";

    ASSERT_TRUE(PrepareDataFolder(data, zepa::testing::TestLog()));
    EXPECT_EQ(ReadFileBytes(data + "/option.ini"), "MESSAGE_SPEED=5\r\n");
    EXPECT_EQ(ReadFileBytes(data + "/Save/Save1.dat"), "one");
    EXPECT_EQ(ReadFileBytes(data + "/Save/Save2.dat"), "players");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(data + "/Save")) ++entries;
    EXPECT_EQ(entries, 2u);
}

TEST(WritableFolder, ADataFolderIsMadeWithEveryFolderAboveIt) {
    TempFolder root;
    zepa::testing::ScopedWorkingDirectory cwd(root.path());
    const std::string data = root / "a/b/zepa/g";
    ASSERT_TRUE(PrepareDataFolder(data, zepa::testing::TestLog()));
    EXPECT_TRUE(std::filesystem::is_directory(data + "/Save"));
    EXPECT_FALSE(std::filesystem::exists(data + "/option.ini"));  // the game ships none
    // A file where a folder should be: the folder cannot be made.
    WriteFileBytes(root / "file", "");
    EXPECT_FALSE(PrepareDataFolder(root / "file/zepa/g", zepa::testing::TestLog()));
}

}  // namespace
}  // namespace zepa
