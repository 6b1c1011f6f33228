// The "KeyConfig" scene: the list of button names slides in over a background cleared to
// nothing; Start or OK goes back to the options scene. It only shows the list; the joystick
// button numbers are edited in "option.ini". No menu leads here: only a request for the name
// "KeyConfig" does.
#pragma once

#include <array>

#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"
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

    struct Label {
        const char* text;
        int x, y;   // where the label comes to rest
        int right;  // width of the part of the canvas shown
    };
    static const std::array<Label, kLabelCount>& Labels();

    explicit CSceneKeyConfig(const SceneServices& services);
    ~CSceneKeyConfig() override { Exit(); }
    bool Init() override;
    void Update(const ButtonState& buttons) override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override {}
    void DescribeState(nlohmann::json& state) const override;

    const CPictureSet& pictures() const { return pictures_; }

  private:
    SceneServices services_;
    CPictureSet pictures_;
};

}  // namespace zepa
