// The engine preloads the system graphics at start-up: a headless run's state dump lists them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../gfx/ImageTestFiles.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;

TEST(SystemGraphicsEndToEnd, HeadlessRunPreloadsTheSystemFolder) {
    const fs::path game = fs::temp_directory_path() / "zepa-system-graphics-game";
    fs::remove_all(game);
    fs::create_directories(game / "Graphics/System");
    const auto png = testing::EncodePng(std::vector<uint32_t>(4, 0xFF808080u), 2, 2);
    for (const char* name : {"WindowBase.png", "Cursor.png"}) {
        std::ofstream(game / "Graphics/System" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    const fs::path dump = game / "dump.json";
    const std::string command = std::string(ZEPA_BINARY) + " --headless --game " + game.string() +
                                " --frames 2 --dump-at-exit " + dump.string() + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream file(dump);
    const nlohmann::json state = nlohmann::json::parse(file);
    EXPECT_EQ(state.at("textures"),
              (nlohmann::json{"Graphics/System/Cursor.png", "Graphics/System/WindowBase.png"}));
    fs::remove_all(game);
}

}  // namespace
}  // namespace zepa
