// What a scene reaches, handed to it by the scene factory: the settings, the stage, the texture
// store, the glyphs, the windows' environment, the scene requests and what a running script
// reaches. Every service is owned by the game object and outlives the scenes.
#pragma once

#include <optional>
#include <string>

#include "core/EngineSettings.h"
#include "core/Settings.h"
#include "script/ScriptServices.h"

namespace zepa {

class CSceneRequests;
class CTextureStore;
class IGlyphSource;
struct SettingsRecord;
struct StageRecord;
struct WindowEnvironment;

// Where a new game starts instead of the top of "Script/Script.txt": a script of the Script folder
// and a label in it (empty: its top). CP932.
struct WarpTarget {
    std::string file;
    std::string label;
};

struct SceneServices {
    SettingsRecord& settings;
    StageRecord& stage;
    CTextureStore& textures;
    IGlyphSource& glyphs;
    const WindowEnvironment& windows;
    CSceneRequests& sceneRequests;
    ScriptServices script;
    // The seed for the scripts' random generator; none means the clock.
    const std::optional<unsigned>& randomSeed;
    // Set for the next new game by the author's start option; the main scene takes it.
    std::optional<WarpTarget>& warp;
    // Where the settings are written ("option.ini" as found in the game folder).
    std::string settingsPath = kSettingsFileName;
    // The engine's own settings ("zepa.ini"), read once at start-up.
    EngineSettingsRecord engineSettings;
};

}  // namespace zepa
