// A game installed where the player cannot write (a system-wide copy of the demo) still plays and
// saves: option.ini and the saves go to the player's data folder, and the game folder is left
// exactly as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "app/EngineRunner.h"
#include "core/WritableFolder.h"
#include "platform/FileSystem.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;
using zepa::testing::Quote;
using zepa::testing::TempFolder;

// The demo's quick save (S) comes at frame 2066 of its replay.
constexpr long long kAfterQuickSave = 2100;

// A fresh copy of the built demo game, without the saves and settings of earlier plays.
std::string CopyDemo(const TempFolder& root) {
    const std::string game = root / "game";
    fs::copy(ZEPA_DEMO_GAME, game, fs::copy_options::recursive);
    fs::remove_all(game + "/Save");
    fs::remove(game + "/option.ini");
    return game;
}

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(entry.path(), folder).string());
    return names;
}

// The only folder under `data`/zepa (there is one game).
std::string OnlyDataFolder(const std::string& data) {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(data + "/zepa")) folders.push_back(entry.path().string());
    return folders.size() == 1 ? folders[0] : std::string();
}

bool HasSave(const std::string& folder) {
    if (!fs::is_directory(folder + "/Save")) return false;
    for (const auto& entry : fs::directory_iterator(folder + "/Save")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Save", 0) == 0 && name.size() > 8 && name.substr(name.size() - 4) == ".dat")
            return true;
    }
    return false;
}

// In-process with the writability answered by the test, so that it holds under root too (where
// permission bits do not stop writes): the run writes nothing into the game folder.
TEST(ReadOnlyGame, TheDemoSavesIntoTheDataFolderAndLeavesTheGameAlone) {
    TempFolder root;
    const std::string game = CopyDemo(root);
    const std::set<std::string> before = Listing(game);
    std::string folder;
    {
        zepa::testing::ScopedWorkingDirectory cwd(game);
        folder = WritableFilesFolder({CurrentFolder(), false, root / "data", ""});
        ASSERT_EQ(fs::path(folder).parent_path().string(), root / "data/zepa");
        ASSERT_TRUE(PrepareDataFolder(folder, zepa::testing::TestLog()));
        CommandLineOptions options;
        options.headless = true;
        options.inputFile = std::string(ZEPA_SOURCE_DIR) + "/demo/demo.replay";
        options.frames = kAfterQuickSave;
        PlatformBackend backend = CreateHeadlessBackend();
        ASSERT_EQ(RunEngineOn(options, backend, folder), 0);
    }
    EXPECT_TRUE(fs::is_regular_file(folder + "/option.ini"));
    EXPECT_TRUE(HasSave(folder));
    EXPECT_EQ(Listing(game), before);
}

// The real check as a player meets it: a game folder without write permission. Root writes
// through permission bits, so there the folder would not be read-only and the case cannot arise.
TEST(ReadOnlyGame, AReadOnlyCopyOfTheDemoPlaysAndSavesIntoXdgDataHome) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into folders whatever their permission bits";
    TempFolder root;
    const std::string game = CopyDemo(root);
    const std::set<std::string> before = Listing(game);
    for (const auto& entry : fs::recursive_directory_iterator(game))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(game, fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_FALSE(IsWritableFolder(game));

    const std::string env =
        "SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy XDG_DATA_HOME=" + Quote(root / "data") + " ";
    const std::string zepa = Quote(ZEPA_BINARY);
    auto played = zepa::testing::RunCommand(env + zepa + " --headless " + Quote(game) + " --input " +
                                            Quote(std::string(ZEPA_SOURCE_DIR) + "/demo/demo.replay") +
                                            " --frames " + std::to_string(kAfterQuickSave));
    fs::permissions(game, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_EQ(played.exitCode, 0) << played.output;
    const std::string folder = OnlyDataFolder(root / "data");
    ASSERT_FALSE(folder.empty());
    // Said once, naming the folder.
    const std::string said = "saves and settings go to " + folder + "\n";
    EXPECT_NE(played.output.find(said), std::string::npos) << played.output;
    EXPECT_EQ(played.output.find(said), played.output.rfind(said));
    EXPECT_TRUE(HasSave(folder));
    EXPECT_TRUE(fs::is_regular_file(folder + "/option.ini"));
    EXPECT_EQ(Listing(game), before);

    // The next start finds the save there: loading it starts the game.
    fs::permissions(game, fs::perms::owner_write, fs::perm_options::remove);
    const std::string slot = [&] {
        for (const auto& entry : fs::directory_iterator(folder + "/Save")) {
            const std::string name = entry.path().filename().string();
            if (name.size() == 9) return name.substr(4, 1);
        }
        return std::string("0");
    }();
    auto loaded =
        zepa::testing::RunCommand(env + zepa + " --headless --game " + Quote(game) + " --load " + slot +
                                  " --frames 3 --dump-at-exit " + Quote(root / "state.json"));
    fs::permissions(game, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_EQ(loaded.exitCode, 0) << loaded.output;
    const std::string state = zepa::testing::ReadFileBytes(root / "state.json");
    EXPECT_NE(state.find("\"scene\": \"Main\""), std::string::npos) << state;
    EXPECT_EQ(loaded.output.find("nothing loaded"), std::string::npos) << loaded.output;
}

}  // namespace
}  // namespace zepa
