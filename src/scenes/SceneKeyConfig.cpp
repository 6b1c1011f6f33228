#include "scenes/SceneKeyConfig.h"

#include "core/SceneRequests.h"
#include "input/ButtonState.h"
#include "resources/TextureStore.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

using Label = CSceneKeyConfig::Label;
constexpr int kLabelHeight = 32;
constexpr std::array<Label, CSceneKeyConfig::kLabelCount> kLabels{{
    {"KeyConfig", 20, 20, 128},
    {"BUTTON A", 45, 60, 128},
    {"BUTTON B", 50, 90, 128},
    {"BUTTON C", 55, 120, 128},
    {"BUTTON D", 60, 150, 128},
    {"BUTTON L", 65, 180, 128},
    {"BUTTON R", 70, 210, 128},
    {"BUTTON START", 75, 240, 150},
}};

}  // namespace

const std::array<Label, CSceneKeyConfig::kLabelCount>& CSceneKeyConfig::Labels() {
    return kLabels;
}

CSceneKeyConfig::CSceneKeyConfig(const SceneServices& services)
    : services_(services), pictures_(&services.textures, services.glyphs) {}

bool CSceneKeyConfig::Init() {
    services_.stage.background.SetBackground("", "crossfade2", kBackgroundFadeFrames);
    // Blue text with a white shade, in the set's default face and size.
    pictures_.SetTextColor(255, 0, 0, 255);
    pictures_.SetTextShade(true, 255, 255, 255, 255);
    // Each label slides in from the left edge at its own height while it is uncovered from its
    // top-left corner.
    for (int i = 0; i < kLabelCount; ++i) {
        const Label& label = kLabels[i];
        pictures_.CreateTextPicture(i, kLabelCanvasWidth, kLabelCanvasHeight, label.text);
        pictures_.SetSpriteSource(i, true, i);
        pictures_.SetSpriteVisible(i, true);
        pictures_.SetSpriteRect(i, 0, 0, 0, 0, 0);
        pictures_.SetSpriteRect(i, 0, 0, label.right, kLabelHeight, kSlideFrames);
        pictures_.MoveSprite(i, 0, label.y, 0);
        pictures_.MoveSprite(i, label.x, label.y, kSlideFrames);
    }
    return true;
}

// Cancel does nothing here.
void CSceneKeyConfig::Update(const ButtonState& buttons) {
    services_.stage.background.Update();
    services_.stage.characters.Update();
    if (buttons.pressed[kButtonStart] || buttons.pressed[kButtonOk])
        services_.sceneRequests.Request("Option");
    pictures_.UpdateSprites();
}

// The character layer is not drawn in this scene.
void CSceneKeyConfig::Draw(CSpriteBatch& batch) {
    services_.stage.background.Draw(batch);
    pictures_.DrawSpritesLow(batch);
    pictures_.DrawSpritesHigh(batch);
}

}  // namespace zepa
