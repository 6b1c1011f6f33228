// Creates scenes by their exact names: "Title", "Main", "Option", "KeyConfig", each handed the
// services it reaches.
#pragma once

#include <memory>
#include <string>

#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"

namespace zepa {

// Null for any other name, the empty name included.
std::unique_ptr<CSceneBase> CreateScene(const std::string& name, const SceneServices& services);

}  // namespace zepa
