// Creates scenes by their exact names: "Title", "Main", "Option", "KeyConfig".
#pragma once

#include <memory>
#include <string>

#include "app/SceneBase.h"

namespace zepa {

// Null for any other name, the empty name included.
std::unique_ptr<CSceneBase> CreateScene(const std::string& name);

}  // namespace zepa
