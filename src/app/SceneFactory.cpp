#include "app/SceneFactory.h"

#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneMain.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"

namespace zepa {

std::unique_ptr<CSceneBase> CreateScene(const std::string& name) {
    if (name == "Title") return std::make_unique<CSceneTitle>();
    if (name == "Main") return std::make_unique<CSceneMain>();
    if (name == "Option") return std::make_unique<CSceneOption>();
    if (name == "KeyConfig") return std::make_unique<CSceneKeyConfig>();
    return nullptr;
}

}  // namespace zepa
