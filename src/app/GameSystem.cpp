#include "app/GameSystem.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/MessageBox.h"
#include "app/SceneFactory.h"
#include "app/SceneRequest.h"
#include "windows/MessageTyping.h"
#include "windows/WindowBase.h"

namespace zepa {
namespace {
CGameSystem* g_gameSystem = nullptr;
constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr const char* kArchiveFileName = "GameData.pac";

// Frames that draw exactly what the previous one drew are neither composed nor presented again.
// ZEPA_CHANGE_TRACKING=0 turns that off (every frame is composed and presented), as a baseline for
// measuring what it saves.
bool ChangeTrackingWanted() {
    const char* setting = std::getenv("ZEPA_CHANGE_TRACKING");
    return !setting || std::string_view(setting) != "0";
}

// The settings are read (or the file created with the defaults) before the archive is opened.
SettingsRecord ReadSettingsFile() {
    SettingsRecord settings;
    LoadSettings(settings, kSettingsFileName);
    return settings;
}
}  // namespace

CGameSystem* GameSystem() {
    return g_gameSystem;
}

CGameSystem::CGameSystem()
    : settings_(ReadSettingsFile()),
      archive_(kArchiveFileName),
      windowTitle_("ZEPA Engine"),
      sceneCreator_(CreateScene) {
    ResetSceneChangeRequest();
    PublishArchive(&archive_);
    spriteBatch_.SetChangeTracking(ChangeTrackingWanted());
    g_gameSystem = this;
}

// Every process-wide pointer to this object or its services is cleared, so that another game
// object can be made later in the same process (tests do).
CGameSystem::~CGameSystem() {
    const bool started = Stage() == &stage_;
    if (CWindowBase::Buttons() == &buttons_) CWindowBase::ReleaseWindowSkin();
    // The destructor of a scene runs its own Exit; the switch's Exit call is not made here.
    currentScene_.reset();
    pendingSceneName_.clear();
    if (TextureStore() == &textureStore_) SetTextureStore(nullptr);
    if (Archive() == &archive_) PublishArchive(nullptr);
    if (started) PublishStage(nullptr);
    if (PublishedVariables() == &variables_) PublishVariables(nullptr);
    if (started) SetMessageSpeed(kDefaultMessageSpeed);
    SetMessageBoxTarget(nullptr);
    if (g_gameSystem == this) g_gameSystem = nullptr;
    // The members follow in reverse order: archive, variables, input devices, the stage (audio
    // channels, characters, background) and the texture store, which releases every texture.
}

bool CGameSystem::Initialize(PlatformBackend& backend) {
    window_ = backend.window.get();
    SetMessageBoxTarget(backend.messageBox.get());
    g_gameSystem = this;
    // Show black at once.
    spriteBatch_.BackBuffer().Clear(kOpaqueBlack);
    if (window_) window_->Present(spriteBatch_.BackBuffer().Pixels());
    // Input needs no set-up of its own: the devices are fed by the platform's events.
    stage_.audio.InitAudio(std::move(backend.audio));
    textureStore_.LoadSystemGraphics();
    // The window skin is loaded through the published store.
    SetTextureStore(&textureStore_);
    CWindowBase::InitWindowSkin(CWindowBase::kDefaultSkinFile, &buttons_);
    PublishStage(&stage_);
    PublishVariables(&variables_);
    ApplySettings();
    return true;
}

void CGameSystem::ApplySettings() {
    SetMessageSpeed(settings_.messageSpeed);
    stage_.audio.ApplyVolumes(settings_.bgmVolume, settings_.bgsVolume, settings_.seVolume);
}

void CGameSystem::UpdateButtons() {
    inputDevices_.Poll();
    const JoystickButtonMap joystickButtons{
        settings_.buttonOk, settings_.buttonCancel, settings_.buttonStart, settings_.buttonSelect,
        settings_.buttonX,  settings_.buttonY,      settings_.buttonL,     settings_.buttonR};
    const FoldSources sources{keyState, inputDevices_, clientWidth, clientHeight, joystickButtons};
    zepa::UpdateButtons(buttons_, pointerMemory_, sources);
}

void CGameSystem::SetWindowTitle(const std::string& titleCp932) {
    windowTitle_ = titleCp932;
    if (window_) window_->SetTitle(titleCp932);
}

void CGameSystem::UpdateFrame() {
    UpdateButtons();
    SceneChangeRequest& request = PendingSceneChange();
    if (request.pending) pendingSceneName_ = request.name;
    const bool switchNow = request.pending;
    request.pending = false;
    if (switchNow) SwitchScene();
    if (currentScene_) currentScene_->Update();
}

void CGameSystem::SwitchScene() {
    if (currentScene_) {
        currentScene_->Exit();
        currentScene_.reset();
        currentSceneName_.clear();
    }
    // Leaving the options scene makes its volumes take effect.
    if (optionsVisited_) {
        optionsVisited_ = false;
        ApplySettings();
    }
    if (pendingSceneName_ == "Option") optionsVisited_ = true;
    currentScene_ = sceneCreator_(pendingSceneName_);
    if (!currentScene_) {
        closeRequested_ = true;
        return;
    }
    currentSceneName_ = pendingSceneName_;
    if (!currentScene_->Init()) closeRequested_ = true;
}

void CGameSystem::DrawFrame() {
    spriteBatch_.BeginFrame(kOpaqueBlack);
    if (currentScene_) currentScene_->Draw(spriteBatch_);
    const bool changed = spriteBatch_.EndFrame();
    // The repaint request is taken every frame, so that one arriving with a changed frame is used up.
    const bool repaint = window_ && window_->TakeRepaintRequest();
    if (window_ && (changed || repaint)) window_->Present(std::as_const(spriteBatch_).BackBuffer().Pixels());
}

}  // namespace zepa
