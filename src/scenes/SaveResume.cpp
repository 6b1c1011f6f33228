#include "scenes/SaveResume.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "app/SceneRequest.h"
#include "scenes/SaveFile.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

// The music channels' current files, as they were given to them.
void CaptureAudio(SavePointRecord& record) {
    const StageRecord* stage = Stage();
    if (!stage) return;
    record.bgmPath = stage->audio.bgmName();
    record.bgsPath = stage->audio.bgsName();
}

// An empty path stops the channel and plays nothing.
void RestoreAudio(const StageRestorePlan& plan) {
    StageRecord* stage = Stage();
    if (!stage) return;
    stage->audio.PlayBGM(plan.bgmPath);
    stage->audio.PlayBGS(plan.bgsPath);
}

// The background layer is not part of the engine yet: no background is recorded or shown.
void CaptureBackground(SavePointRecord&) {}

void RestoreBackground(const BackgroundShow&) {}

// The character layer is not part of the engine yet: the slots keep the record's values (empty,
// visible, not mirrored) and the focus stays as given.
void CaptureCharacters(SavePointRecord&) {}

void RestoreCharacters(const std::array<CharacterShow, SavePointRecord::kCharacterSlots>&, int) {}

}  // namespace

int SavedCoordinateToPixels(float value) {
    if (std::isnan(value)) return 0;
    constexpr float kLowest = static_cast<float>(std::numeric_limits<int>::min());
    // The largest float below 2^31; INT_MAX itself is not a float.
    constexpr float kHighest = 2147483520.0f;
    if (value <= kLowest) return std::numeric_limits<int>::min();
    if (value >= kHighest) return static_cast<int>(kHighest);
    return static_cast<int>(value);  // truncates toward zero
}

StageRestorePlan PlanStageRestore(const SavePointRecord& record) {
    StageRestorePlan plan;
    plan.bgmPath = record.bgmPath;
    plan.bgsPath = record.bgsPath;
    plan.background.path = record.backgroundPath;
    for (int slot = 0; slot < SavePointRecord::kCharacterSlots; ++slot) {
        const CharacterSlotRecord& saved = record.characters[slot];
        CharacterShow& show = plan.characters[slot];
        show.path = saved.imagePath;
        show.x = SavedCoordinateToPixels(saved.x);
        show.y = SavedCoordinateToPixels(saved.y);
        show.visible = saved.visible();
        show.mirrored = saved.mirrored();
    }
    plan.focus = record.focus;
    return plan;
}

void CaptureStage(SavePointRecord& record) {
    CaptureBackground(record);
    CaptureAudio(record);
    CaptureCharacters(record);
}

void RestoreStage(const SavePointRecord& record) {
    const StageRestorePlan plan = PlanStageRestore(record);
    RestoreAudio(plan);
    RestoreBackground(plan.background);
    RestoreCharacters(plan.characters, plan.focus);
}

void StartNewGame(CVariableStore& variables, int slot) {
    variables.ResetForNewGame();
    variables.SetQuickSaveSlot(slot);
    RequestSceneChange("Main");
}

bool StartLoadedGame(CVariableStore& variables, int slot) {
    variables.SetQuickSaveSlot(slot);
    if (!LoadSaveFile(variables, slot)) {
        std::fprintf(stderr, "zepa: nothing loaded from %s\n", SaveFilePath(slot).c_str());
        return false;
    }
    RequestSceneChange("Main");
    return true;
}

}  // namespace zepa
