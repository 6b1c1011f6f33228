#include "scenes/SceneMain.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

#include "core/SceneRequests.h"
#include "gfx/SpriteBatch.h"
#include "input/ButtonState.h"
#include "platform/Log.h"
#include "resources/TextureStore.h"
#include "scenes/SaveResume.h"
#include "script/SaveFile.h"
#include "script/ScriptRandom.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"

namespace zepa {

CSceneMain::CSceneMain(const SceneServices& services)
    : services_(services),
      pictures_(&services.textures, services.glyphs),
      windows_(services.windows),
      runner_(services.script),
      historyView_(services.windows, windows_.history()),
      markStore_(services.glyphs) {
    runner_.SetStageCapture([this](SavePointRecord& record) { CaptureStage(services_.stage, record); });
    runner_.pictures = &pictures_;
    runner_.windows = &windows_;
    // While the initialization script runs nobody can answer a choice: it is passed over then, and
    // the player answers it in the first frames, before the game's script goes on.
    runner_.SetSelectionActiveQuery([this] { return !initializing_ && windows_.AnySelectionActive(); });
}

bool CSceneMain::Init() {
    pictures_.InitAllSprites();
    pictures_.ReleaseAllPictures();
    services_.stage.characters.ResetCharacters();
    runner_.waitCounter = 0;
    runner_.waitForOk = false;
    // Taken before the initialization script runs: a SavePoint in it must not change what resumes.
    const SavePointRecord record = services_.script.variables.savePoint();
    // Seeded before the initialization script so that its Random statements vary (or repeat, with a
    // fixed seed) like the rest of the game's.
    SeedRandom();
    RunInitializeScript();
    if (record.savePointName.empty() && services_.warp) {
        StartAtWarpTarget(*services_.warp);
        services_.warp.reset();
    } else if (record.savePointName.empty()) {
        runner_.reader().LoadText("Script/Script.txt");
    } else {
        ResumeSavedGame(record);
    }
    return true;
}

// The SavePoint statement found is the first to run, so it takes a fresh record of the rebuilt
// stage. A name that is not in the file starts the file from its top.
void CSceneMain::ResumeSavedGame(const SavePointRecord& record) {
    RestoreStage(services_.stage, record);
    CScriptReader& reader = runner_.reader();
    reader.LoadText(record.scriptFile);
    reader.SeekSavePoint(record.savePointName);
}

void CSceneMain::StartAtWarpTarget(const WarpTarget& target) {
    CScriptReader& reader = runner_.reader();
    reader.LoadText("Script/" + target.file);
    if (!target.label.empty()) reader.SeekLabel(target.label);
}

void CSceneMain::SeedRandom() {
    const std::optional<unsigned>& fixed = services_.randomSeed;
    services_.script.random.Seed(fixed ? *fixed : static_cast<unsigned>(std::time(nullptr)));
}

// Runs the whole file before the first frame. No input is read meanwhile, so a wait in it would
// never end: waits are passed over here, and a choice opened in it is left open for the first
// frames. (A sub-call level that runs out returns by itself.)
void CSceneMain::RunInitializeScript() {
    initializing_ = true;
    CScriptReader& reader = runner_.reader();
    reader.LoadText("Script/Initialize.txt");
    // A loop with no way out (with or without waits in it) is stopped, so the game still starts.
    constexpr int kMaxSteps = 1000000;
    for (int step = 0;; ++step) {
        runner_.waitCounter = 0;
        runner_.waitForOk = false;
        if (!runner_.StepScript()) break;
        if (runner_.frameBudgetSpent() || step == kMaxSteps) {
            services_.script.log.Warning("zepa: Script/Initialize.txt loops without end; it was stopped");
            break;
        }
        // Only the end of Initialize.txt itself ends the run: a sub-call whose file ended (its last
        // statement a wait without a line break) returns to it in the next step.
        if (reader.IsAtEnd()) break;
    }
    initializing_ = false;
    runner_.waitCounter = 0;
    runner_.waitForOk = false;
    while (reader.depth() != reader.Innermost().depth()) reader.PopLevel();
}

// The game's music and sounds end with it (safe to run twice); the background and characters
// stay for the next scene to decide.
void CSceneMain::Exit() {
    CAudioChannels& audio = services_.stage.audio;
    audio.StopBGM();
    audio.StopBGS();
    audio.StopSE();
}

void CSceneMain::Update(const ButtonState& buttons) {
    if (UpdateReadingAids(buttons)) return;
    const bool waitedForOk = runner_.waitForOk;
    if (!runner_.StepScript()) {
        services_.sceneRequests.Request("Title");
        return;
    }
    if (waitedForOk && !runner_.waitForOk) typedAtLastWait_ = windows_.TypedCharacters();
    CVariableStore& variables = services_.script.variables;
    pictures_.UpdateSprites();
    // A decided choice goes into its result variable when that names one of the integers.
    windows_.UpdateSelections(buttons, [&variables](int32_t variable, int32_t result) {
        if (variable >= 0 && variable < CVariableStore::kIntCount) variables.SetInt(variable, result);
    });
    windows_.UpdateMessages();
    services_.stage.background.Update();
    services_.stage.characters.Update();
    if (runner_.waitForOk && QuickSaveAsked(buttons))
        WriteSaveFile(variables, variables.quickSaveSlot(), services_.script.log, RealFileOperations(),
                      services_.script.writableFolder);
    UpdateAutoAdvance();
}

void CSceneMain::SwitchAutoAdvance() {
    autoAdvance_ = !autoAdvance_;
    autoFramesLeft_ = -1;
    if (autoMark_ || !markStore_.CreateCanvas(0, 64, kAutoMarkFontSize + 4)) return;
    TextCanvas& canvas = *markStore_.Current();
    canvas.antialiased = true;
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = true;
    canvas.shadeColor = 0;
    if (markStore_.BeginFont(0, DefaultWindowFontFace(), kAutoMarkFontSize)) {
        markStore_.DrawStringAt(0, 0, "AUTO");
        markStore_.EndFont();
    }
    autoMark_ = markStore_.GetCanvasTexture(0);
}

// The pause starts in the frame that finds every message window done typing and ends the wait
// the given number of frames later. A choice never ends by itself: the script does not wait for
// OK while one runs.
void CSceneMain::UpdateAutoAdvance() {
    if (!autoAdvance_ || !runner_.waitForOk || windows_.AnySelectionActive() || windows_.AnyTyping()) {
        autoFramesLeft_ = -1;
        return;
    }
    const uint64_t typed = windows_.TypedCharacters();
    if (autoFramesLeft_ < 0) {
        const EngineSettingsRecord& settings = services_.engineSettings;
        const uint64_t characters = std::min<uint64_t>(typed - typedAtLastWait_, 1000000);
        autoFramesLeft_ = static_cast<int>(std::min<uint64_t>(
            settings.autoAdvanceFrames + settings.autoAdvanceFramesPerCharacter * characters, INT32_MAX));
    } else {
        --autoFramesLeft_;
    }
    if (autoFramesLeft_ > 0) return;
    runner_.waitForOk = false;
    typedAtLastWait_ = typed;
    autoFramesLeft_ = -1;
}

// Hidden windows come back with any press, which does nothing else; H and the middle click hide
// them. The history view takes the frame's input while it is open, and the frame that opens it.
bool CSceneMain::UpdateReadingAids(const ButtonState& buttons) {
    const ExtraInput& extra = buttons.extra;
    if (windowsHidden_) {
        if (extra.anyPress) windowsHidden_ = false;
        return true;
    }
    if (extra.autoAdvance % 2) SwitchAutoAdvance();
    if (extra.hideWindows) {
        windowsHidden_ = true;
        return true;
    }
    if (historyView_.isOpen()) {
        UpdateHistoryView(buttons);
        return true;
    }
    if ((extra.wheel > 0 || extra.pageUp > 0) && !windows_.history().empty()) {
        historyView_.Open(windows_.message(0).skinType());
        heldUp_ = heldDown_ = 0;
        return true;
    }
    return false;
}

// Wheel, Up and Down scroll by an entry, Page Up and Page Down by a page; Cancel (a right click
// too) closes the view, and so do the wheel or Page Down going on past the newest entry.
void CSceneMain::UpdateHistoryView(const ButtonState& buttons) {
    const ExtraInput& extra = buttons.extra;
    if (buttons.pressed[kButtonCancel]) {
        historyView_.Close();
        return;
    }
    bool close = false;
    if (extra.wheel > 0) historyView_.ScrollOlder(extra.wheel);
    if (extra.wheel < 0) close = !historyView_.ScrollNewer(-extra.wheel);
    for (int i = 0; i < extra.pageUp; ++i) historyView_.PageOlder();
    for (int i = 0; i < extra.pageDown && !close; ++i) close = !historyView_.PageNewer();
    if (ScrollRepeats(buttons, kButtonUp, heldUp_)) historyView_.ScrollOlder(1);
    if (ScrollRepeats(buttons, kButtonDown, heldDown_)) historyView_.ScrollNewer(1);
    if (close) historyView_.Close();
}

bool CSceneMain::ScrollRepeats(const ButtonState& buttons, int button, int& heldFrames) {
    if (buttons.pressed[button]) {
        heldFrames = 0;
        return true;
    }
    if (!buttons.down[button]) {
        heldFrames = 0;
        return false;
    }
    ++heldFrames;
    return heldFrames >= kScrollRepeatDelay && (heldFrames - kScrollRepeatDelay) % kScrollRepeatPeriod == 0;
}

// With the mouse in use, a right click saves only on the icon; otherwise the Y button saves.
bool CSceneMain::QuickSaveAsked(const ButtonState& buttons) {
    if (buttons.pointerMode && buttons.rightClick) return InQuickSaveIcon(buttons.mouseX, buttons.mouseY);
    return buttons.pressed[kButtonY] != 0;
}

bool CSceneMain::InQuickSaveIcon(int x, int y) {
    return x >= kIconLeft && x <= kIconRight && y >= kIconTop && y <= kIconBottom;
}

// Background, characters, sprites 0..127, the message and selection windows, sprites 128..255
// above everything, the quick-save icon while the mouse is near it during a wait for OK, and the
// history view over all of it; the windows, the icon and the view are left out while hidden.
void CSceneMain::Draw(CSpriteBatch& batch) {
    StageRecord& stage = services_.stage;
    stage.background.Draw(batch);
    stage.characters.Draw(batch);
    pictures_.DrawSpritesLow(batch);
    if (!windowsHidden_) {
        windows_.DrawMessages(batch);
        windows_.DrawSelections(batch);
    }
    pictures_.DrawSpritesHigh(batch);
    if (!windowsHidden_) {
        DrawQuickSaveIcon(batch, services_.script.buttons);
        historyView_.Draw(batch);
    }
    DrawAutoMark(batch);
}

void CSceneMain::DrawAutoMark(CSpriteBatch& batch) const {
    if (!autoAdvance_ || !autoMark_) return;
    const Rect area{0, 0, 64, kAutoMarkFontSize + 4};
    const Vector3 position{static_cast<float>(kAutoMarkLeft), static_cast<float>(kAutoMarkTop), 0.0f};
    batch.Draw(autoMark_, &area, &position, 0xFFFFFFFFu);
}

// Looked up by name at each draw, so a texture released meanwhile is never drawn.
void CSceneMain::DrawQuickSaveIcon(CSpriteBatch& batch, const ButtonState& buttons) const {
    if (!runner_.waitForOk || !buttons.pointerMode) return;
    const int x = buttons.mouseX;
    const int y = buttons.mouseY;
    if (x < kIconNearLeft || x > kIconRight || y < kIconTop || y > kIconNearBottom) return;
    const CTexture* icon = services_.textures.GetTexture(kQuickSaveIconFile);
    if (!icon) return;
    const Vector3 position{static_cast<float>(kIconLeft), 0.0f, 0.0f};
    batch.Draw(icon, nullptr, &position, InQuickSaveIcon(x, y) ? kIconLit : kIconDim);
}

}  // namespace zepa
