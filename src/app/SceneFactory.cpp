#include "app/SceneFactory.h"

#include "app/GameSystem.h"

#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneMain.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"

namespace zepa {

std::unique_ptr<CSceneBase> CreateScene(const std::string& name) {
    if (name == "Title") return std::make_unique<CSceneTitle>();
    if (name == "Main") return std::make_unique<CSceneMain>();
    // The options scene edits the game object's settings record in place.
    if (name == "Option") {
        CGameSystem* game = GameSystem();
        return game ? std::make_unique<CSceneOption>(game->settings(), &game->stage().audio) : nullptr;
    }
    if (name == "KeyConfig")
        return std::make_unique<CSceneKeyConfig>(GameSystem() ? &GameSystem()->buttons() : nullptr);
    return nullptr;
}

}  // namespace zepa
