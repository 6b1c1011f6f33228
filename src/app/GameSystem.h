// The single game object: owns the frame machinery (back buffer, sprite batch, scene switching)
// and the engine's long-lived services; reached through a process-wide pointer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/SceneBase.h"
#include "app/Settings.h"
#include "gfx/SpriteBatch.h"
#include "input/ButtonFold.h"
#include "input/ButtonState.h"
#include "input/InputDevices.h"
#include "input/JoystickButtonMap.h"
#include "platform/Platform.h"
#include "resources/PackArchive.h"
#include "resources/TextureStore.h"
#include "script/ScriptRandom.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"

namespace zepa {

class CGameSystem {
  public:
    CGameSystem();
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
    using SceneCreator = std::function<std::unique_ptr<CSceneBase>(const std::string& name)>;
    void SetSceneCreator(SceneCreator creator) { sceneCreator_ = std::move(creator); }

    // Set when a scene switch could not create or start a scene; the main loop then ends.
    bool closeRequested() const { return closeRequested_; }
    CSceneBase* currentScene() const { return currentScene_.get(); }
    // Name of the current scene ("" when none).
    const std::string& currentSceneName() const { return currentSceneName_; }

    // The window title (CP932); changing it updates the window.
    const std::string& windowTitle() const { return windowTitle_; }
    void SetWindowTitle(const std::string& titleCp932);

    CSpriteBatch& spriteBatch() { return spriteBatch_; }
    CInputDevices& inputDevices() { return inputDevices_; }
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

    // The seed for the scripts' random generator; none means the clock.
    std::optional<unsigned> randomSeed;

    // The player's settings, read from "option.ini" when the game object is constructed.
    SettingsRecord& settings() { return settings_; }
    const SettingsRecord& settings() const { return settings_; }
    // The resource archive "GameData.pac", opened when the game object is constructed.
    const CPackArchive& archive() const { return archive_; }

    // One byte per Windows virtual-key code, 1 while the key is down.
    std::array<uint8_t, 256> keyState{};
    int clientWidth = kScreenWidth;
    int clientHeight = kScreenHeight;

  private:
    // The engine's services in the order they are constructed; they are destroyed in the reverse
    // order (archive, variables, input devices, stage, texture store last of all).
    PointerMemory pointerMemory_;
    CTextureStore textureStore_{&archive_};  // only keeps the address; the archive opens below
    StageRecord stage_;
    ButtonState buttons_;
    CInputDevices inputDevices_;
    // Set when the options scene is created; the next switch re-applies the settings.
    bool optionsVisited_ = false;
    SettingsRecord settings_;
    CVariableStore variables_;
    CPackArchive archive_;
    IWindow* window_ = nullptr;
    std::unique_ptr<CSceneBase> currentScene_;
    std::string pendingSceneName_;
    // Beyond the services: the scripts' random generator, the back buffer and its compositor,
    // the window title and the scene factory.
    CScriptRandom random_;
    CSpriteBatch spriteBatch_;
    std::string windowTitle_;
    SceneCreator sceneCreator_;
    std::string currentSceneName_;
    bool closeRequested_ = false;
};

// The process-wide game object (null when none exists).
CGameSystem* GameSystem();

}  // namespace zepa
