// Runs the engine as the command line asks: start-up, the main loop (events first, then a frame:
// wait, update if focused, draw if the timer says so), replay input, screenshots, state dumps and
// shutdown. Returns the process exit status (0 normal end, 1 could not start).
#pragma once

#include <string>

#include "app/CommandLine.h"
#include "platform/Platform.h"

namespace zepa {

int RunEngine(const CommandLineOptions& options);

// Runs the engine on a given backend (tests pass a headless one they keep access to).
// `writableFolder` holds option.ini and Save/ (empty: the game folder, core/WritableFolder.h).
int RunEngineOn(const CommandLineOptions& options, PlatformBackend& backend,
                const std::string& writableFolder = {});

}  // namespace zepa
