// The interface of a scene: exactly one scene is current; the game object creates scenes by
// name when a scene change is requested.
#pragma once

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
};

}  // namespace zepa
