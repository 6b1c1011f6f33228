// Random bytes as a game's main script, run on the headless backend with every command group
// live: a game object and the main scene are set up in-process, a small game folder holds images
// and a second script to call into, and the script runs for a bounded number of frames with the
// OK button pressed now and then so waits and choices move on, then one frame is drawn. Saves and
// loads use the folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/GameSystem.h"
#include "core/SceneRequests.h"
#include "platform/ImageIo.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessBackend.h"
#include "scenes/SaveResume.h"
#include "scenes/SceneFactory.h"
#include "scenes/SceneMain.h"
#include "script/ScriptRunner.h"

namespace {

constexpr int kFrames = 10;

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void WriteImage(const std::string& path, int width, int height, uint32_t colour) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, colour);
    pixels[0] = 0xFF00FF00u;  // the picture colour key
    zepa::WritePng(path, pixels.data(), width, height, width);
}

std::string& GameFolder() {
    static std::string folder;
    return folder;
}

void RemoveGameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(GameFolder(), ignored);
}

// The scenes of the real factory, the main scene's runner with a budget of this many statements
// a frame instead of a million, so that a runaway loop still ends every frame quickly. The budget
// is set before the game calls Init, which runs the first statements.
constexpr int kFrameBudget = 5000;

std::unique_ptr<zepa::CSceneBase> CreateFuzzScene(const std::string& name,
                                                  const zepa::SceneServices& services) {
    if (name != "Main") return zepa::CreateScene(name, services);
    auto scene = std::make_unique<zepa::CSceneMain>(services);
    scene->runner().SetFrameBudget(kFrameBudget);
    return scene;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder = (std::filesystem::temp_directory_path() / "zepa-fuzz-run-XXXXXX").string();
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0) std::abort();
    GameFolder() = folder;
    std::atexit(RemoveGameFolder);
    WriteText("Script/Initialize.txt", "Calc($num[1] = 3)\n");
    WriteText("Script/sub.txt", "*start\nCalc($num[2] += 1)\nReturn\n*deep\nCallSub(deep, \"sub.txt\")\n");
    WriteImage("Graphics/BG/bg.png", 64, 48, 0xFF336699u);
    WriteImage("Graphics/Char/c.png", 32, 64, 0xFFCC8844u);
    WriteImage("Graphics/Picture/p.png", 16, 16, 0xFF123456u);
    WriteImage("Graphics/System/WindowBase.png", 96, 96, 0xFF202040u);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One game object for the whole run (starting one costs far more than a few frames); each
    // input gets a new main scene on a new game, as the title's "new game" gives it.
    static zepa::PlatformBackend backend = zepa::CreateHeadlessBackend();
    static std::unique_ptr<zepa::CGameSystem> game;
    if (!game || game->closeRequested()) {
        game.reset();
        backend.window->Create("fuzz", zepa::kScreenWidth, zepa::kScreenHeight, false);
        game = std::make_unique<zepa::CGameSystem>();
        game->randomSeed = 1u;
        game->SetSceneCreator(CreateFuzzScene);
        if (!game->Initialize(backend)) std::abort();
    }
    WriteText("Script/Script.txt", std::string(reinterpret_cast<const char*>(data), size));
    std::filesystem::remove_all("Save");
    game->sceneRequests().Request("Main");
    zepa::StartNewGame(game->variables(), 0, game->sceneRequests());
    for (int frame = 1; frame <= kFrames && !game->closeRequested(); ++frame) {
        game->inputDevices().SetKey(zepa::vk::kReturn, frame % 3 == 0);
        game->UpdateFrame();
    }
    game->DrawFrame();
    return 0;
}
