// The interface of a scene: exactly one scene is current; the game object creates scenes by
// name when a scene change is requested.
#pragma once

#include <nlohmann/json_fwd.hpp>

namespace zepa {

class CSpriteBatch;
struct ButtonState;

class CSceneBase {
  public:
    virtual ~CSceneBase() = default;
    // Called once right after construction; false makes the engine close the window.
    virtual bool Init() = 0;
    // Called once per updated frame with the frame's folded input.
    virtual void Update(const ButtonState& buttons) = 0;
    // Called once per drawn frame, between the sprite batch's Begin and End.
    virtual void Draw(CSpriteBatch& batch) = 0;
    // Called by the scene switch before the scene is deleted; must be safe to run twice.
    virtual void Exit() = 0;
    // Adds what the state dump shows of this scene to `state` (the keys it owns; the others stay
    // as the dump writer set them).
    virtual void DescribeState(nlohmann::json& state) const { (void)state; }
};

}  // namespace zepa
