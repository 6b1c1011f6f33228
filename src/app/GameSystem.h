// The single game object: owns the engine's long-lived services and the frame machinery (back
// buffer, sprite batch, scene switching), and hands each scene the services it reaches.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/DebugOverlay.h"
#include "core/EngineSettings.h"
#include "core/LooseFiles.h"
#include "core/MessageBoxes.h"
#include "core/SceneRequests.h"
#include "core/Settings.h"
#include "gfx/SpriteBatch.h"
#include "input/ButtonFold.h"
#include "input/ButtonState.h"
#include "input/InputDevices.h"
#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "resources/PackArchive.h"
#include "resources/TextureStore.h"
#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"
#include "script/ScriptRandom.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"
#include "windows/WindowEnvironment.h"

namespace zepa {

class CGameSystem {
  public:
    // Reads the settings (creating "option.ini" when it is missing) and opens "GameData.pac".
    // `writableFolder` holds option.ini and Save/: empty for the game folder (the working
    // folder), else the player's data folder for this game (core/WritableFolder.h).
    explicit CGameSystem(std::string writableFolder = {});
    ~CGameSystem();
    CGameSystem(const CGameSystem&) = delete;
    CGameSystem& operator=(const CGameSystem&) = delete;

    // Starts everything that needs the platform; false when the engine cannot run.
    bool Initialize(PlatformBackend& backend);
    // One game frame: input fold, pending scene switch, the scene's Update.
    void UpdateFrame();
    // Polls the devices and folds them into the button state (first step of UpdateFrame).
    void UpdateButtons();
    // Pushes the settings into the running engine (message speed and the three volumes).
    void ApplySettings();
    // One drawn frame: clear to opaque black, the scene's Draw, present. A frame that draws exactly
    // what the previous one drew is neither composed nor presented (unless the window asks for a
    // repaint); the back buffer holds the same picture either way.
    void DrawFrame();
    // Carries out the pending scene change; unknown names close the program.
    void SwitchScene();

    // Replaces the scene factory (tests use scenes of their own).
    using SceneCreator =
        std::function<std::unique_ptr<CSceneBase>(const std::string& name, const SceneServices& services)>;
    void SetSceneCreator(SceneCreator creator) { sceneCreator_ = std::move(creator); }

    // Set when a scene switch could not create or start a scene; the main loop then ends.
    bool closeRequested() const { return closeRequested_; }
    CSceneBase* currentScene() const { return currentScene_.get(); }
    // Name of the current scene ("" when none).
    const std::string& currentSceneName() const { return currentSceneName_; }

    // The window title (CP932); changing it updates the window.
    const std::string& windowTitle() const { return windowTitle_; }
    void SetWindowTitle(const std::string& titleCp932);

    // The services, for the engine's runner, its state dump and tests.
    const SceneServices& services() const { return services_; }
    CSpriteBatch& spriteBatch() { return spriteBatch_; }
    CInputDevices& inputDevices() { return inputDevices_; }
    const CInputDevices& inputDevices() const { return inputDevices_; }
    CTextureStore& textureStore() { return textureStore_; }
    const CTextureStore& textureStore() const { return textureStore_; }
    StageRecord& stage() { return stage_; }
    const StageRecord& stage() const { return stage_; }
    IWindow* window() const { return window_; }
    CVariableStore& variables() { return variables_; }
    const CVariableStore& variables() const { return variables_; }
    ButtonState& buttons() { return buttons_; }
    const ButtonState& buttons() const { return buttons_; }
    CScriptRandom& random() { return random_; }
    IGlyphSource& glyphs() { return *glyphs_; }
    ILog& log() { return log_; }
    CMessageBoxes& messageBoxes() { return messageBoxes_; }
    const CMessageBoxes& messageBoxes() const { return messageBoxes_; }
    CSceneRequests& sceneRequests() { return sceneRequests_; }
    const WindowEnvironment& windowEnvironment() const { return windowEnvironment_; }
    SettingsRecord& settings() { return settings_; }
    const SettingsRecord& settings() const { return settings_; }
    const EngineSettingsRecord& engineSettings() const { return engineSettings_; }
    const CPackArchive& archive() const { return archive_; }
    CLooseFiles& looseFiles() { return looseFiles_; }
    const std::string& writableFolder() const { return writableFolder_; }

    // The seed for the scripts' random generator; none means the clock.
    std::optional<unsigned> randomSeed;

    // New games start at `target` instead of the top of "Script/Script.txt" (the author's start
    // option): the next one, and the one a reload starts when there is no save point yet.
    void SetWarp(const WarpTarget& target);
    // The author's reload, in the main scene only (false elsewhere, nothing done): images whose
    // files changed are decoded again, the archive is opened again, and the main scene starts again
    // from the latest save point with the variables it had there, as loading a save made there
    // would; with no save point yet, a new game starts. Scripts and sounds are read afresh anyway.
    bool ReloadGame();

    // The author's overlay (F3), drawn over the scene while shown; off at start.
    void SetDebugOverlayShown(bool shown) { debugOverlayShown_ = shown; }
    bool debugOverlayShown() const { return debugOverlayShown_; }
    // How long the last update and draw took, and the frames run per second.
    const FrameTimes& frameTimes() const { return frameTimes_; }

  private:
    SceneServices MakeSceneServices();
    void DrawDebugOverlay();
    void KeepSceneMemoryResident();

    // The services in the order they are constructed; they are destroyed in the reverse order
    // (the stage before the texture store it releases its images into).
    CStderrLog log_;
    // The game object's own loose-file lookup: "option.ini" and the "Parts" folder.
    CLooseFiles looseFiles_{log_};
    std::string writableFolder_;
    std::string settingsPath_;
    CMessageBoxes messageBoxes_{log_};
    CSceneRequests sceneRequests_;
    std::unique_ptr<IGlyphSource> glyphs_;
    SettingsRecord settings_;
    EngineSettingsRecord engineSettings_;
    CPackArchive archive_;
    CWorkMeter workMeter_;
    CPixelBudget pixelBudget_{log_};
    CTextureStore textureStore_;
    StageRecord stage_;
    PointerMemory pointerMemory_;
    ButtonState buttons_;
    CInputDevices inputDevices_;
    // Set when the options scene is created; the next switch re-applies the settings.
    bool optionsVisited_ = false;
    CVariableStore variables_;
    CScriptRandom random_;
    std::optional<WarpTarget> warp_;
    std::optional<WarpTarget> pendingWarp_;
    WindowEnvironment windowEnvironment_;
    SceneServices services_;
    IWindow* window_ = nullptr;
    std::unique_ptr<CSceneBase> currentScene_;
    std::string pendingSceneName_;
    // Beyond the services: the back buffer and its compositor, the window title and the scene
    // factory.
    CSpriteBatch spriteBatch_;
    std::string windowTitle_;
    SceneCreator sceneCreator_;
    std::string currentSceneName_;
    CDebugOverlay debugOverlay_{*glyphs_};
    bool debugOverlayShown_ = false;
    FrameTimes frameTimes_;
    std::chrono::steady_clock::time_point lastUpdateStart_;
    CResidentMemoryKeeper* memoryKeeper_ = nullptr;
    std::vector<MemoryRange> residentRanges_;
    bool closeRequested_ = false;
};

}  // namespace zepa
