// The interface of everything that draws itself: layers and windows. Update advances the
// object's animations by one frame; Draw paints it with the sprite batch it receives (objects
// keep no reference to the batch). Stage layers always return true; callers ignore the result.
#pragma once

namespace zepa {

class CSpriteBatch;

class CGameObjectBase {
  public:
    virtual ~CGameObjectBase() = default;
    virtual bool Update() = 0;
    virtual bool Draw(CSpriteBatch& batch) = 0;
};

}  // namespace zepa
