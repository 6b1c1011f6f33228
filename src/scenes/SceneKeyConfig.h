// The "KeyConfig" scene: the list of button names slides in over a background cleared to
// nothing; Start or OK goes back to the options scene. It only shows the list; the joystick
// button numbers are edited in "option.ini". No menu leads here: only a request for the name
// "KeyConfig" does.
#pragma once

#include "app/SceneBase.h"
#include "stage/PictureSet.h"

namespace zepa {

struct ButtonState;

class CSceneKeyConfig : public CSceneBase {
  public:
    static constexpr int kLabelCount = 8;
    static constexpr int kLabelCanvasWidth = 256;
    static constexpr int kLabelCanvasHeight = 128;
    static constexpr int kSlideFrames = 15;
    static constexpr int kBackgroundFadeFrames = 15;

    // `buttons` is the block the scene reads Start and OK from (null: no input).
    explicit CSceneKeyConfig(const ButtonState* buttons);
    ~CSceneKeyConfig() override { Exit(); }
    bool Init() override;
    void Update() override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override {}

    const CPictureSet& pictures() const { return pictures_; }

  private:
    const ButtonState* buttons_;
    CPictureSet pictures_;
};

}  // namespace zepa
