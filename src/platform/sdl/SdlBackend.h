// The real backend on SDL2: a window whose 640 x 480 picture is stretched over the client area by
// the GPU renderer (software renderer where there is none), keyboard, mouse and one pad (a game
// controller where SDL knows it as one, else a plain joystick; when it is unplugged, another one
// still plugged in takes over), modal message boxes, and the steady clock.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace zepa {

// Initialises SDL's video, events, joysticks and game controllers; nullopt with the reason in `error` on
// failure.
std::optional<PlatformBackend> CreateSdlBackend(std::string& error);

}  // namespace zepa
