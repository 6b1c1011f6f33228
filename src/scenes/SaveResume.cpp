#include "scenes/SaveResume.h"

#include <cmath>
#include <limits>

#include "core/SceneRequests.h"
#include "platform/Log.h"
#include "script/SaveFile.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

// The music channels' current files, as they were given to them.
void CaptureAudio(const StageRecord& stage, SavePointRecord& record) {
    record.bgmPath = stage.audio.bgmName();
    record.bgsPath = stage.audio.bgsName();
}

// An empty path stops the channel and plays nothing.
void RestoreAudio(StageRecord& stage, const StageRestorePlan& plan) {
    stage.audio.PlayBGM(plan.bgmPath);
    stage.audio.PlayBGS(plan.bgsPath);
}

// The background's current image path, as the layer holds it.
void CaptureBackground(const StageRecord& stage, SavePointRecord& record) {
    record.backgroundPath = stage.background.name();
}

// A loaded game's background cross-fades in from whatever is shown.
void RestoreBackground(StageRecord& stage, const BackgroundShow& show) {
    stage.background.SetBackgroundPath(show.path, "crossfade2", 30);
}

// Each slot's image path, position, visibility and mirroring, and the focus.
void CaptureCharacters(const StageRecord& stage, SavePointRecord& record) {
    for (int index = 0; index < SavePointRecord::kCharacterSlots; ++index) {
        const CCharaGraphics::Slot& slot = stage.characters.slot(index);
        CharacterSlotRecord& saved = record.characters[static_cast<size_t>(index)];
        saved.imagePath = slot.current.name;
        saved.x = slot.position.x;
        saved.y = slot.position.y;
        saved.SetFlags(slot.visible, slot.mirrored);
    }
    record.focus = stage.characters.focus();
}

// Every slot cross-fades to its saved image at its saved place; then visibility, mirroring and
// the focus follow.
void RestoreCharacters(StageRecord& stage,
                       const std::array<CharacterShow, SavePointRecord::kCharacterSlots>& shows, int focus) {
    CCharaGraphics& characters = stage.characters;
    for (int index = 0; index < SavePointRecord::kCharacterSlots; ++index) {
        const CharacterShow& show = shows[static_cast<size_t>(index)];
        characters.SetCharacterPath(index, show.path, "crossfade", 30, show.x, show.y, "default", 30);
        characters.SetCharacterVisible(index, show.visible);
        characters.SetCharacterReverse(index, show.mirrored);
    }
    characters.SetFocus(focus);
}

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

void CaptureStage(const StageRecord& stage, SavePointRecord& record) {
    CaptureBackground(stage, record);
    CaptureAudio(stage, record);
    CaptureCharacters(stage, record);
}

void RestoreStage(StageRecord& stage, const SavePointRecord& record) {
    const StageRestorePlan plan = PlanStageRestore(record);
    RestoreAudio(stage, plan);
    RestoreBackground(stage, plan.background);
    RestoreCharacters(stage, plan.characters, plan.focus);
}

void StartNewGame(CVariableStore& variables, int slot, CSceneRequests& requests) {
    variables.ResetForNewGame();
    variables.SetQuickSaveSlot(slot);
    requests.Request("Main");
}

void RestartAtSavePoint(CVariableStore& variables, CSceneRequests& requests) {
    variables.RestoreSnapshot();
    requests.Request("Main");
}

bool StartLoadedGame(CVariableStore& variables, int slot, CSceneRequests& requests, ILog& log,
                     const std::string& writableFolder) {
    variables.SetQuickSaveSlot(slot);
    if (!LoadSaveFile(variables, slot, log, writableFolder)) {
        log.Warning("zepa: nothing loaded from " + SaveFilePath(slot, writableFolder));
        return false;
    }
    requests.Request("Main");
    return true;
}

}  // namespace zepa
