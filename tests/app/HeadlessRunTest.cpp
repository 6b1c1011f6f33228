#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/EngineProcess.h"

namespace zepa {
namespace {

using test::ReadFileBytes;
using test::RunZepa;
using test::TempDir;

nlohmann::json ReadJson(const std::string& path) {
    return nlohmann::json::parse(ReadFileBytes(path));
}

TEST(HeadlessRun, WritesABlackShotAndADumpOfTheTitleScene) {
    TempDir dir;
    const std::string game = dir / "game";
    std::filesystem::create_directories(game);
    const auto result =
        RunZepa({"--headless", "--game", game, "--frames", "3", "--shot", "2:" + (dir / "a.png"), "--dump",
                 "1:" + (dir / "one.json"), "--dump-at-exit", dir / "s.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    SDL_Surface* shot = IMG_Load((dir / "a.png").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 640);
    EXPECT_EQ(shot->h, 480);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(shot, SDL_PIXELFORMAT_ARGB8888, 0);
    ASSERT_NE(rgba, nullptr);
    const auto* pixels = static_cast<const uint32_t*>(rgba->pixels);
    int nonBlack = 0;
    for (int i = 0; i < 640 * 480; ++i) nonBlack += pixels[i] != 0xFF000000u;
    EXPECT_EQ(nonBlack, 0);
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(shot);

    const nlohmann::json state = ReadJson(dir / "s.json");
    EXPECT_EQ(state["scene"], "Title");
    EXPECT_EQ(state["frame"], 3);
    EXPECT_EQ(state["title"], "ZEPA Engine");
    EXPECT_TRUE(state["messages"].is_array());
    EXPECT_EQ(ReadJson(dir / "one.json")["frame"], 1);
}

TEST(HeadlessRun, SceneOptionChoosesTheFirstSceneAndUnknownNamesEndTheRun) {
    TempDir dir;
    auto result = RunZepa({"--headless", "--game", dir.path().string(), "--frames", "2", "--scene",
                           "KeyConfig", "--dump-at-exit", dir / "k.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadJson(dir / "k.json")["scene"], "KeyConfig");

    // "Main " is not a scene: the first frame closes the program, which ends normally.
    result = RunZepa({"--headless", "--game", dir.path().string(), "--frames", "50", "--scene", "Main ",
                      "--dump-at-exit", dir / "m.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const nlohmann::json state = ReadJson(dir / "m.json");
    EXPECT_EQ(state["scene"], "");
    EXPECT_EQ(state["frame"], 1);
}

TEST(HeadlessRun, ReplayedQuitEndsTheRunBeforeItsFrame) {
    TempDir dir;
    dir.Write("quit.replay", "# quit before frame 5 is updated\n5 quit\n");
    const auto result = RunZepa({"--headless", "--game", dir.path().string(), "--input", dir / "quit.replay",
                                 "--dump-at-exit", dir / "q.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadJson(dir / "q.json")["frame"], 4);
}

TEST(HeadlessRun, ReplayedEscapeQuitsLikeThePlayerWould) {
    TempDir dir;
    dir.Write("esc.replay", "3 press Escape\n");
    const auto result = RunZepa({"--headless", "--game", dir.path().string(), "--frames", "100", "--input",
                                 dir / "esc.replay", "--dump-at-exit", dir / "e.json"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadJson(dir / "e.json")["frame"], 2);
}

TEST(HeadlessRun, BadInputGivesOneClearLineAndTheRightStatus) {
    TempDir dir;
    dir.Write("bad.replay", "1 key Z down\n2 key Z sideways\n");
    auto result = RunZepa({"--headless", "--game", dir.path().string(), "--input", dir / "bad.replay"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.output.find("line 2"), std::string::npos) << result.output;

    result = RunZepa({"--headless", "--input", dir / "missing.replay"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.output.find("missing.replay"), std::string::npos);

    result = RunZepa({"--headless", "--frames", "x"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.output.find("--frames"), std::string::npos) << result.output;

    result = RunZepa({"--headless", "--game", dir / "no-such-folder", "--frames", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("no-such-folder"), std::string::npos);
}

TEST(HeadlessRun, VersionAndHelp) {
    auto result = RunZepa({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.rfind("zepa ", 0), 0u);
    result = RunZepa({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find("--headless"), std::string::npos);
}

}  // namespace
}  // namespace zepa
