// Where the files a game writes (option.ini and the Save folder) live. A game folder the player can
// write keeps them where they always were. A read-only one (a game installed for every user, a
// game on a read-only medium) gets a folder of its own in the player's data folder,
// $XDG_DATA_HOME/zepa/<name>-<hash> (default ~/.local/share/zepa/...): <name> is the game folder's
// name, <hash> tells apart games whose folders have the same name. Inside it the layout is the one
// of the game folder: option.ini and Save/Save<n>.dat.
#pragma once

#include <string>

namespace zepa {

class ILog;

// What the choice depends on, gathered by the caller (so that tests can choose the answers).
struct GameFolderFacts {
    std::string path;      // the game folder's absolute path
    bool writable = true;  // whether files can be created in it
    std::string dataHome;  // $XDG_DATA_HOME, empty when unset
    std::string home;      // $HOME, empty when unset
};

// The folder for option.ini and Save/: empty means the game folder itself (the working folder),
// else the data folder of this game. Empty too when no data folder can be named (neither variable
// holds an absolute path); writes then fail with their usual warnings.
std::string WritableFilesFolder(const GameFolderFacts& facts);

// "<name>-<8 hex digits>" for the game folder at the absolute path `gameFolder`: the name with
// bytes that are awkward in a file name replaced by '_' (at most 64 bytes), the digits a hash of
// the whole path that stays the same from run to run.
std::string DataFolderName(const std::string& gameFolder);

// Makes the data folder `folder` (and its Save folder) and gives it the starting copies of what the
// game folder (the working folder) ships and it lacks: option.ini and each Save<n>.dat. False,
// with a warning, when the folder cannot be made.
bool PrepareDataFolder(const std::string& folder, ILog& log);

}  // namespace zepa
