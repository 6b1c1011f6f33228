#include "scenes/SceneMain.h"

#include <ctime>

#include "app/GameSystem.h"
#include "app/SceneRequest.h"
#include "resources/TextureStore.h"

namespace zepa {

CSceneMain::CSceneMain()
    : pictures_(TextureStore()),
      windows_(&GameSystem()->stage().audio),
      runner_(GameSystem()->variables(), GameSystem()->random(), GameSystem()->buttons(),
              &GameSystem()->archive()) {
    runner_.pictures = &pictures_;
    runner_.windows = &windows_;
    runner_.SetSelectionActiveQuery([this] { return windows_.AnySelectionActive(); });
}

bool CSceneMain::Init() {
    pictures_.InitAllSprites();
    pictures_.ReleaseAllPictures();
    runner_.waitCounter = 0;
    runner_.waitForOk = false;
    // Seeded before the initialization script so that its Random statements vary (or repeat, with a
    // fixed seed) like the rest of the game's.
    SeedRandom();
    RunInitializeScript();
    runner_.reader().LoadText("Script/Script.txt");
    return true;
}

void CSceneMain::SeedRandom() {
    CGameSystem& game = *GameSystem();
    const unsigned seed = game.randomSeed ? *game.randomSeed : static_cast<unsigned>(std::time(nullptr));
    game.random().Seed(seed);
}

// Runs the whole file before the first frame. No input is read meanwhile, so a wait in it would
// never end: waits are passed over here, and a sub-call level that ran out (which nothing but a
// Return could leave) ends the file too.
void CSceneMain::RunInitializeScript() {
    CScriptReader& reader = runner_.reader();
    reader.LoadText("Script/Initialize.txt");
    for (;;) {
        runner_.waitCounter = 0;
        runner_.waitForOk = false;
        if (!runner_.StepScript()) break;
        if (reader.Innermost().atEnd()) break;
    }
    runner_.waitCounter = 0;
    runner_.waitForOk = false;
    while (reader.depth() != reader.Innermost().depth()) reader.PopLevel();
}

void CSceneMain::Update() {
    if (!runner_.StepScript()) {
        RequestSceneChange("Title");
        return;
    }
    pictures_.UpdateSprites();
    windows_.UpdateSelections(GameSystem()->variables());
    windows_.UpdateMessages();
}

// Sprites 0..127 lie above the characters and below the windows, 128..255 above everything.
void CSceneMain::Draw(CSpriteBatch& batch) {
    pictures_.DrawSpritesLow(batch);
    windows_.DrawMessages(batch);
    windows_.DrawSelections(batch);
    pictures_.DrawSpritesHigh(batch);
}

}  // namespace zepa
