// The backends a build links. Every build has the headless backend (headless/); the windowed one
// is the build's own: sdl/ on the desktop, web/ in the browser. Choosing between them is a
// matter of the source files linked, so the engine above never names either.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace zepa {

// The build's windowed backend; nullopt with the reason in `error` when it cannot start.
std::optional<PlatformBackend> CreateWindowedBackend(std::string& error);

// The audio device of a headless run: decodes like the windowed one where the build can, plays
// nowhere.
std::unique_ptr<IAudioDevice> CreateHeadlessAudioDevice();

}  // namespace zepa
