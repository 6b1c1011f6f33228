#include "app/GameSystem.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/StopSignals.h"
#include "scenes/SaveResume.h"
#include "scenes/SceneFactory.h"
#include "windows/WindowBase.h"

namespace zepa {
namespace {
constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr const char* kArchiveFileName = "GameData.pac";

// Frames that draw exactly what the previous one drew are neither composed nor presented again.
// ZEPA_CHANGE_TRACKING=0 turns that off (every frame is composed and presented), as a baseline for
// measuring what it saves.
bool ChangeTrackingWanted() {
    const char* setting = std::getenv("ZEPA_CHANGE_TRACKING");
    return !setting || std::string_view(setting) != "0";
}

// option.ini as found in the game folder, or in the data folder, where the layout is exact.
std::string SettingsPath(CLooseFiles& looseFiles, const std::string& writableFolder) {
    if (!writableFolder.empty()) return writableFolder + "/" + kSettingsFileName;
    return looseFiles.FindFile(kSettingsFileName).value_or(kSettingsFileName);
}

// The settings are read (or the file created with the defaults) before the archive is opened.
SettingsRecord ReadSettingsFile(ILog& log, const std::string& path) {
    SettingsRecord settings;
    LoadSettings(settings, log, path);
    return settings;
}
}  // namespace

CGameSystem::CGameSystem(std::string writableFolder)
    : writableFolder_(std::move(writableFolder)),
      settingsPath_(SettingsPath(looseFiles_, writableFolder_)),
      glyphs_(CreateGlyphSource(log_)),
      settings_(ReadSettingsFile(log_, settingsPath_)),
      engineSettings_(LoadEngineSettings(
          looseFiles_.FindFile(kEngineSettingsFileName).value_or(kEngineSettingsFileName), log_)),
      archive_(kArchiveFileName),
      textureStore_(&archive_, log_, &workMeter_, &pixelBudget_),
      stage_(&textureStore_, log_),
      windowEnvironment_(&textureStore_, *glyphs_, &stage_.audio),
      services_(MakeSceneServices()),
      windowTitle_("ZEPA Engine"),
      sceneCreator_(CreateScene) {
    spriteBatch_.SetChangeTracking(ChangeTrackingWanted());
}

SceneServices CGameSystem::MakeSceneServices() {
    ScriptServices script{
        .variables = variables_,
        .random = random_,
        .buttons = buttons_,
        .archive = &archive_,
        .stage = &stage_,
        .messageBoxes = messageBoxes_,
        .glyphs = *glyphs_,
        .log = log_,
        .setWindowTitle = [this](const std::string& title) { SetWindowTitle(title); },
        .writableFolder = writableFolder_,
        .stopRequested = [] { return StopSignalReceived() != 0; },
        .work = &workMeter_,
    };
    return SceneServices{
        .settings = settings_,
        .stage = stage_,
        .textures = textureStore_,
        .glyphs = *glyphs_,
        .windows = windowEnvironment_,
        .sceneRequests = sceneRequests_,
        .script = std::move(script),
        .randomSeed = randomSeed,
        .warp = pendingWarp_,
        .settingsPath = settingsPath_,
        .engineSettings = engineSettings_,
    };
}

// The destructor of a scene runs its own Exit; the switch's Exit call is not made here. The
// services follow in reverse order of construction.
CGameSystem::~CGameSystem() {
    currentScene_.reset();
}

bool CGameSystem::Initialize(PlatformBackend& backend) {
    window_ = backend.window.get();
    memoryKeeper_ = backend.memoryKeeper.get();
    messageBoxes_.SetTarget(backend.messageBox.get());
    // Show black at once.
    spriteBatch_.BackBuffer().Clear(kOpaqueBlack);
    if (window_) window_->Present(spriteBatch_.BackBuffer().Pixels());
    // Input needs no set-up of its own: the devices are fed by the platform's events.
    stage_.audio.InitAudio(std::move(backend.audio));
    textureStore_.LoadSystemGraphics();
    windowEnvironment_.LoadSkin(CWindowBase::kDefaultSkinFile);
    ApplySettings();
    return true;
}

void CGameSystem::ApplySettings() {
    windowEnvironment_.messageSpeed = settings_.messageSpeed;
    stage_.audio.ApplyVolumes(settings_.bgmVolume, settings_.bgsVolume, settings_.seVolume);
}

void CGameSystem::UpdateButtons() {
    inputDevices_.Poll();
    const JoystickButtonMap joystickButtons{
        settings_.buttonOk, settings_.buttonCancel, settings_.buttonStart, settings_.buttonSelect,
        settings_.buttonX,  settings_.buttonY,      settings_.buttonL,     settings_.buttonR};
    const FoldSources sources{inputDevices_.frameKeys(), inputDevices_, inputDevices_.clientWidth(),
                              inputDevices_.clientHeight(), joystickButtons};
    zepa::UpdateButtons(buttons_, pointerMemory_, sources);
}

void CGameSystem::SetWindowTitle(const std::string& titleCp932) {
    windowTitle_ = titleCp932;
    if (window_) window_->SetTitle(titleCp932);
}

namespace {
double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

void CGameSystem::UpdateFrame() {
    const auto start = std::chrono::steady_clock::now();
    // A smoothed rate, so the overlay's figure is readable.
    if (lastUpdateStart_.time_since_epoch().count() != 0) {
        const double interval = std::chrono::duration<double>(start - lastUpdateStart_).count();
        if (interval > 0) frameTimes_.framesPerSecond = 0.9 * frameTimes_.framesPerSecond + 0.1 / interval;
    }
    lastUpdateStart_ = start;
    stage_.audio.Update();
    UpdateButtons();
    if (sceneRequests_.Take(pendingSceneName_)) SwitchScene();
    if (currentScene_) currentScene_->Update(buttons_);
    frameTimes_.updateMs = MillisecondsSince(start);
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
    currentScene_ = sceneCreator_(pendingSceneName_, services_);
    if (!currentScene_) {
        closeRequested_ = true;
        return;
    }
    currentSceneName_ = pendingSceneName_;
    if (!currentScene_->Init()) closeRequested_ = true;
}

void CGameSystem::SetWarp(const WarpTarget& target) {
    warp_ = target;
    pendingWarp_ = target;
}

bool CGameSystem::ReloadGame() {
    if (currentSceneName_ != "Main") return false;
    textureStore_.DropReadAhead();  // its worker reads the archive being replaced
    archive_ = CPackArchive(archive_.path());
    textureStore_.ReloadChangedImages();
    textureStore_.LoadSystemGraphics();
    windowEnvironment_.LoadSkin(windowEnvironment_.skinFile);
    if (variables_.savePoint().savePointName.empty()) {
        pendingWarp_ = warp_;
        StartNewGame(variables_, variables_.quickSaveSlot(), sceneRequests_);
    } else {
        RestartAtSavePoint(variables_, sceneRequests_);
    }
    return true;
}

void CGameSystem::DrawFrame() {
    const auto start = std::chrono::steady_clock::now();
    spriteBatch_.BeginFrame(kOpaqueBlack);
    if (currentScene_) currentScene_->Draw(spriteBatch_);
    if (debugOverlayShown_) DrawDebugOverlay();
    const bool changed = spriteBatch_.EndFrame();
    // The repaint request is taken every frame, so that one arriving with a changed frame is used up.
    const bool repaint = window_ && window_->TakeRepaintRequest();
    const auto presentStart = std::chrono::steady_clock::now();
    if (window_ && (changed || repaint)) window_->Present(std::as_const(spriteBatch_).BackBuffer().Pixels());
    frameTimes_.presentMs = MillisecondsSince(presentStart);
    frameTimes_.drawMs = MillisecondsSince(start);
    if (memoryKeeper_) KeepSceneMemoryResident();
}

// What the next scene change reads: the pixels on screen, and the images the script will load.
void CGameSystem::KeepSceneMemoryResident() {
    residentRanges_.clear();
    spriteBatch_.AppendShownMemory(residentRanges_);
    textureStore_.AppendReadAheadMemory(residentRanges_);
    memoryKeeper_->KeepData(residentRanges_);
}

void CGameSystem::DrawDebugOverlay() {
    nlohmann::json sceneState = nlohmann::json::object();
    if (currentScene_) currentScene_->DescribeState(sceneState);
    debugOverlay_.Draw(spriteBatch_, DescribeForOverlay(sceneState, variables_, frameTimes_));
}

}  // namespace zepa
