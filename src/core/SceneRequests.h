// The scene-change request: scenes and the window procedure raise it; the game object carries it
// out at the start of the next update. A request made while another is pending replaces its name.
// A new game object starts with "Title" pending.
#pragma once

#include <string>

namespace zepa {

class CSceneRequests {
  public:
    void Request(const std::string& name) {
        pending_ = true;
        name_ = name;
    }
    bool pending() const { return pending_; }
    const std::string& name() const { return name_; }
    // Drops a pending request (the title scene does, so that its own start is not repeated).
    void Cancel() { pending_ = false; }
    // Moves the pending name into `name` and clears the request; false when none is pending.
    bool Take(std::string& name) {
        if (!pending_) return false;
        pending_ = false;
        name = name_;
        return true;
    }

  private:
    bool pending_ = true;
    std::string name_ = "Title";
};

}  // namespace zepa
