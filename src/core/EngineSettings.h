// The engine's own settings, for what the player gets beyond the game (the auto-advance pause):
// "zepa.ini" beside option.ini, read at start-up and never written, so neither file changes while
// the player does not use these additions. Lines are "KEY=value" in any order; unknown keys,
// lines without '=' and lines starting with '#' or ';' are passed over, and a value that is not a
// whole number in its key's range leaves the default (with a warning).
#pragma once

#include <string>
#include <string_view>

namespace zepa {

class ILog;

struct EngineSettingsRecord {
    // Auto-advance waits this many frames after the typing has finished, plus so many for every
    // character typed since the previous wait for OK.
    int autoAdvanceFrames = 60;
    int autoAdvanceFramesPerCharacter = 2;

    bool operator==(const EngineSettingsRecord&) const = default;
};

inline constexpr const char* kEngineSettingsFileName = "zepa.ini";
inline constexpr int kMaxAutoAdvanceFrames = 6000;
inline constexpr int kMaxAutoAdvanceFramesPerCharacter = 600;

// Reads `text` over the defaults; each problem is warned about through `log`.
EngineSettingsRecord ParseEngineSettings(std::string_view text, ILog& log);
// The file at `path`, or the defaults when there is none.
EngineSettingsRecord LoadEngineSettings(const std::string& path, ILog& log);

}  // namespace zepa
