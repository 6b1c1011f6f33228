#include "scenes/SceneFactory.h"

#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneMain.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"

namespace zepa {

std::unique_ptr<CSceneBase> CreateScene(const std::string& name, const SceneServices& services) {
    if (name == "Title") return std::make_unique<CSceneTitle>(services);
    if (name == "Main") return std::make_unique<CSceneMain>(services);
    if (name == "Option") return std::make_unique<CSceneOption>(services, services.settingsPath);
    if (name == "KeyConfig") return std::make_unique<CSceneKeyConfig>(services);
    return nullptr;
}

}  // namespace zepa
