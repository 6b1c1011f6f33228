#include "windows/WindowEnvironment.h"

#include "resources/TextureStore.h"

namespace zepa {

void WindowEnvironment::LoadSkin(const std::string& file) {
    skinFile = file;
    if (textures && !textures->GetTexture(file)) textures->LoadTextureFile(file);
}

}  // namespace zepa
