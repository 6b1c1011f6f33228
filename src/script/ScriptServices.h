// What a running script reaches, handed to its runner by the scene that runs it (and, through the
// runner, to every statement): the variables and the random generator, this frame's buttons, the
// archive the script files are read from, the stage, the message boxes, the glyphs, the log and
// the window title, and where the save files are.
#pragma once

#include <functional>
#include <string>

namespace zepa {

class CMessageBoxes;
class CPackArchive;
class CScriptRandom;
class CVariableStore;
class IGlyphSource;
class ILog;
class CWorkMeter;
struct ButtonState;
struct StageRecord;

struct ScriptServices {
    CVariableStore& variables;
    CScriptRandom& random;
    const ButtonState& buttons;   // the frame's folded input, read by WaitOK
    const CPackArchive* archive;  // null: script files are only read loose
    StageRecord* stage;           // null: the background, character and sound statements do nothing
    CMessageBoxes& messageBoxes;
    IGlyphSource& glyphs;  // for text pictures drawn without a scene's picture set
    ILog& log;
    std::function<void(const std::string& titleCp932)> setWindowTitle;  // empty: SetTitle is ignored
    // The folder that holds Save/: empty for the game folder, else the player's data folder for
    // a game folder that cannot be written (core/WritableFolder.h).
    std::string writableFolder = {};
    std::function<bool()> stopRequested;  // polled during long work; empty: never asked to stop
    const CWorkMeter* work = nullptr;     // the resource work done (null: statements cost no more)
};

}  // namespace zepa
