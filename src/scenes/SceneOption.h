// The "Option" scene. It shows nothing yet; its content arrives with its own subsystem.
#pragma once

#include "app/SceneBase.h"

namespace zepa {

class CSceneOption : public CSceneBase {
  public:
    ~CSceneOption() override { Exit(); }
    bool Init() override { return true; }
    void Update() override {}
    void Draw(CSpriteBatch&) override {}
    void Exit() override {}
};

}  // namespace zepa
