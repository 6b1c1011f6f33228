// The key configuration scene inside a running game object: the background cleared, the eight
// labels sliding in, the buttons that leave it, and a golden image of the list at rest.
#include <gtest/gtest.h>

#include "core/SceneRequests.h"
#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneTestSupport.h"

namespace zepa {
namespace {

struct Label {
    float x, y;
    int right;
};
constexpr Label kRest[CSceneKeyConfig::kLabelCount] = {{20, 20, 128},  {45, 60, 128},  {50, 90, 128},
                                                       {55, 120, 128}, {60, 150, 128}, {65, 180, 128},
                                                       {70, 210, 128}, {75, 240, 150}};

const CSceneKeyConfig& Scene(test::SceneStage& stage) {
    return dynamic_cast<const CSceneKeyConfig&>(*stage.game().currentScene());
}

TEST(KeyConfigScene, LabelsSlideInFromTheLeftEdgeWhileTheyOpen) {
    test::SceneStage stage;
    stage.Frame();
    stage.SwitchTo("KeyConfig");  // Init and the first sprite step
    stage.Frames(6);
    const CPictureSet& set = Scene(stage).pictures();
    EXPECT_EQ(set.textColor(), 0xFF0000FFu);
    EXPECT_EQ(set.shadeColor(), 0xFFFFFFFFu);
    EXPECT_TRUE(set.shading());
    // Seven steps of fifteen: label 1 moves 3 pixels a step, label 0 one and a third.
    EXPECT_FLOAT_EQ(set.sprite(1).x, 21.0f);
    EXPECT_NEAR(set.sprite(0).x, 9.0f + 1.0f / 3.0f, 1e-4);
    EXPECT_FLOAT_EQ(set.sprite(0).y, 20.0f);
    EXPECT_FLOAT_EQ(set.sprite(1).y, 60.0f);
    // The rectangle opens from the top-left corner: 128/15 and 32/15 per step, rounded down.
    EXPECT_EQ(set.sprite(0).rect.right, 56);
    EXPECT_EQ(set.sprite(0).rect.bottom, 14);
    EXPECT_EQ(set.sprite(7).rect.right, 70);

    stage.Frames(8);
    for (int i = 0; i < CSceneKeyConfig::kLabelCount; ++i) {
        SCOPED_TRACE(i);
        const SpriteState& sprite = set.sprite(i);
        EXPECT_TRUE(sprite.visible);
        ASSERT_NE(set.textPicture(i), nullptr);
        ASSERT_NE(sprite.source, nullptr);
        EXPECT_EQ(*sprite.source, set.textPicture(i));
        EXPECT_FLOAT_EQ(sprite.x, kRest[i].x);
        EXPECT_FLOAT_EQ(sprite.y, kRest[i].y);
        EXPECT_EQ(sprite.rect.left, 0);
        EXPECT_EQ(sprite.rect.top, 0);
        EXPECT_EQ(sprite.rect.right, kRest[i].right);
        EXPECT_EQ(sprite.rect.bottom, 32);
        EXPECT_EQ(sprite.Argb(), 0xFFFFFFFFu);
    }
    EXPECT_FALSE(set.sprite(CSceneKeyConfig::kLabelCount).visible);
}

TEST(KeyConfigScene, ClearsTheBackgroundWithCrossFade2OverFifteenFrames) {
    test::SceneStage stage;
    stage.Frame();
    CBackGround& background = stage.game().stage().background;
    background.SetBackground(test::kTestBackground, "", 0);
    background.Update();  // the cut ends
    ASSERT_EQ(background.transitionKind(), CBackGround::kIdle);
    stage.SwitchTo("KeyConfig");
    EXPECT_EQ(background.name(), "");
    EXPECT_EQ(background.transitionKind(), CBackGround::kCrossFade2);
    EXPECT_EQ(background.transitionLength(), 15);
    stage.Frames(15);
    EXPECT_EQ(background.transitionKind(), CBackGround::kIdle);
}

TEST(KeyConfigScene, StartOrOkReturnsToTheOptionsSceneAndCancelDoesNothing) {
    for (uint8_t key : {test::kKeySpace, test::kKeyReturn}) {
        SCOPED_TRACE(static_cast<int>(key));
        test::SceneStage stage;
        stage.Frame();
        stage.SwitchTo("KeyConfig");
        stage.Press(test::kKeyCancel);
        stage.Frames(3);
        EXPECT_EQ(stage.game().currentSceneName(), "KeyConfig");
        // Pressed in the frame the scene starts: its first Update already asks for the options scene.
        stage.game().inputDevices().SetKey(key, true);
        stage.SwitchTo("KeyConfig");
        EXPECT_EQ(stage.game().currentSceneName(), "KeyConfig");
        EXPECT_TRUE(stage.game().sceneRequests().pending());
        EXPECT_EQ(stage.game().sceneRequests().name(), "Option");
        stage.game().inputDevices().SetKey(key, false);
        stage.Frame();
        EXPECT_EQ(stage.game().currentSceneName(), "Option");
    }
}

// Tolerance 0: the eight blue labels with their white shade at rest on the cleared background
// (the last label cut at 150 pixels as its rectangle says); nothing else on screen.
TEST(KeyConfigScene, GoldenImageOfTheListAtRest) {
    test::SceneStage stage;
    stage.Frame();
    stage.game().stage().background.SetBackground(test::kTestBackground, "", 0);
    stage.game().stage().background.Update();
    stage.SwitchTo("KeyConfig");
    stage.Frames(20);
    stage.game().DrawFrame();
    const CSpriteBatch& batch = stage.game().spriteBatch();
    EXPECT_EQ(test::CompareWithGolden(batch, "scene-keyconfig.pam", 0, 0, 256, 288), 0);
    int lit = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            if ((x >= 256 || y >= 288) && (batch.BackBuffer().At(x, y) & 0xFFFFFFu) != 0) ++lit;
    EXPECT_EQ(lit, 0);
}

}  // namespace
}  // namespace zepa
