// The process-wide scene-change request: any code may raise it; the game object carries it out at
// the start of the next update. A request made while another is pending replaces its name.
#pragma once

#include <string>

namespace zepa {

struct SceneChangeRequest {
    bool pending = true;
    std::string name = "Title";
};

void RequestSceneChange(const std::string& name);
// The current request; the game object reads and clears it.
SceneChangeRequest& PendingSceneChange();
// Back to the start-of-program state (pending "Title"); used when a game object is created.
void ResetSceneChangeRequest();

}  // namespace zepa
