// Maps SDL key codes onto Windows virtual-key codes (0 for keys the engine does not know).
#pragma once

#include <SDL2/SDL.h>

namespace zepa {

int VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace zepa
