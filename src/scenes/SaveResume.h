// Between a save point's record and the live stage: capturing the background, the music, the
// characters and the focus when a SavePoint runs, and rebuilding them when a loaded game resumes.
// Each layer is read and shown by one small function of its own (SaveResume.cpp), so a layer
// touches this file in one place only. Also the two ways a game starts from outside the title
// scene (a new game, a loaded slot), shared by the title's pickers and the command line.
#pragma once

#include <array>
#include <string>

#include "script/SavePointRecord.h"

namespace zepa {

class CSceneRequests;
class CVariableStore;
class ILog;
struct StageRecord;

// How a resumed game shows its saved background.
struct BackgroundShow {
    std::string path;  // as saved, with its folder; empty shows nothing
    std::string transition = "crossfade2";
    int frames = 30;
};

// How a resumed game shows one saved character slot.
struct CharacterShow {
    std::string path;  // as saved, with its folder (the folder is not added again)
    std::string transition = "crossfade";
    int frames = 30;
    int x = 0;
    int y = 0;
    std::string move = "default";
    int moveFrames = 30;
    bool visible = true;
    bool mirrored = false;
};

struct StageRestorePlan {
    std::string bgmPath;
    std::string bgsPath;
    BackgroundShow background;
    std::array<CharacterShow, SavePointRecord::kCharacterSlots> characters;
    int focus = SavePointRecord::kNoFocus;
};

// A saved coordinate as a pixel position: truncated toward zero (12.9 shows at 12). A damaged file
// may hold anything: values that are not numbers read as 0, huge ones as the nearest int.
int SavedCoordinateToPixels(float value);

// What RestoreStage will show for `record`.
StageRestorePlan PlanStageRestore(const SavePointRecord& record);

// Fills the record's background, music, character and focus fields from the live stage.
void CaptureStage(const StageRecord& stage, SavePointRecord& record);
// Rebuilds the stage from a loaded record: music, then background, characters and focus.
void RestoreStage(StageRecord& stage, const SavePointRecord& record);

// A new game on `slot`: variables and record reset, quick-save slot chosen, "Main" requested.
void StartNewGame(CVariableStore& variables, int slot, CSceneRequests& requests);
// A loaded game as the title's load picker starts it: quick-save slot chosen, the slot's file
// loaded, "Main" requested. False (with a line in the log) when the slot has no readable file;
// nothing is loaded then and the caller decides what to start.
// `writableFolder` holds the Save folder (empty: the game folder).
bool StartLoadedGame(CVariableStore& variables, int slot, CSceneRequests& requests, ILog& log,
                     const std::string& writableFolder = {});
// Starts "Main" again from the latest save point, with the variables it had there: what loading a
// save written at that point does.
void RestartAtSavePoint(CVariableStore& variables, CSceneRequests& requests);

}  // namespace zepa
