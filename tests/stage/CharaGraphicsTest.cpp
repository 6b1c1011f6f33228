// The character layer frame by frame: fades, moves, focus, visibility, mirroring and the rule
// that a texture shown by any slot is never released.
#include "stage/CharaGraphics.h"

#include <gtest/gtest.h>

#include "StageTestSupport.h"

namespace zepa {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

uint32_t Alpha(uint32_t color) {
    return color >> 24;
}

class CharaGraphicsTest : public testing::StageTest {
  protected:
    void SetUp() override {
        StageTest::SetUp();
        WriteSolid("Graphics/Char/a.png", 40, 60, kWhite);
        WriteSolid("Graphics/Char/b.png", 40, 60, 0xFF00FF00u);
        WriteSolid("Graphics/Char/c.png", 40, 60, 0xFF0000FFu);
        // Four columns: red, green, blue, white.
        WriteImage("Graphics/Char/stripes.png", 4, 2, [](int x, int) {
            const uint32_t colors[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
            return colors[x];
        });
    }
    // Shows a file in a slot at (x, y) with a cut and lets it settle.
    void Show(int slot, const std::string& file, int x, int y) {
        layer.SetCharacter(slot, file, "", 30, x, y, "default", 30);
        layer.Update();
    }
    const CCharaGraphics::Slot& Slot(int i) const { return layer.slot(i); }

    CCharaGraphics layer{&store};
};

TEST_F(CharaGraphicsTest, CutShowsTheImageAtItsTargetOnTheNextUpdate) {
    layer.SetCharacter(2, "a.png", "flash", 30, 100, 50, "default", 30);
    EXPECT_EQ(Slot(2).position.x, 0.0f) << "not before the update";
    layer.Update();
    EXPECT_EQ(Slot(2).kind, CCharaGraphics::kIdle);
    EXPECT_EQ(Slot(2).t, 0);
    EXPECT_EQ(Slot(2).position.x, 100.0f);
    EXPECT_EQ(Slot(2).position.y, 50.0f);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(100, 50), 0xFFFFFFu);
    EXPECT_EQ(Pixel(139, 109), 0xFFFFFFu);
    EXPECT_EQ(Pixel(140, 50), 0u);
    EXPECT_EQ(Pixel(99, 50), 0u);
}

TEST_F(CharaGraphicsTest, FadeCrossFadeAndCrossFade2Alphas) {
    Show(0, "a.png", 0, 0);
    layer.SetCharacter(0, "b.png", "fade", 10, -1, -1, "default", 30);
    for (int t = 0; t < 10; ++t) {
        layer.Update();
        const uint32_t previous = Alpha(Slot(0).previous.color);
        const uint32_t current = Alpha(Slot(0).current.color);
        EXPECT_EQ(previous, t < 5 ? static_cast<uint32_t>(255 - t * 255 / 5) : 0u) << t;
        EXPECT_EQ(current, t < 5 ? 0u : static_cast<uint32_t>((t - 5) * 255 / 5)) << t;
    }
    layer.Update();
    EXPECT_EQ(Slot(0).kind, CCharaGraphics::kIdle);
    EXPECT_EQ(Slot(0).t, 11);
    EXPECT_EQ(Alpha(Slot(0).current.color), 255u);

    layer.SetCharacter(0, "a.png", "crossfade", 8, -1, -1, "default", 30);
    for (int t = 0; t < 4; ++t) layer.Update();
    EXPECT_EQ(Alpha(Slot(0).previous.color), 255u);
    EXPECT_EQ(Alpha(Slot(0).current.color), 3u * 255 / 8);
    DrawFrame(layer);
    // White (alpha 95) over opaque green.
    EXPECT_EQ(Pixel(5, 5), 0x5FFF5Fu);

    layer.SetCharacter(0, "b.png", "crossfade2", 8, -1, -1, "default", 30);
    for (int t = 0; t < 6; ++t) layer.Update();
    EXPECT_EQ(Alpha(Slot(0).current.color), 5u * 255 / 8);
    EXPECT_EQ(Alpha(Slot(0).previous.color), 255u - 5u * 255 / 8);
}

TEST_F(CharaGraphicsTest, LinearMovePassesEqualStepsAndLandsOnTheTarget) {
    Show(1, "a.png", 0, 0);
    layer.MoveCharacter(1, 300, 30, "linear", 3);
    const float expectedX[] = {100, 200, 300, 300};
    for (float x : expectedX) {
        layer.Update();
        EXPECT_FLOAT_EQ(Slot(1).position.x, x);
    }
    EXPECT_FLOAT_EQ(Slot(1).position.y, 30);
    EXPECT_EQ(Slot(1).moveMode, CCharaGraphics::kMoveNone);
}

TEST_F(CharaGraphicsTest, DefaultMoveWithKeptCoordinatesCancelsALinearMove) {
    Show(1, "a.png", 10, 20);
    layer.MoveCharacter(1, 410, 20, "linear", 4);
    layer.Update();
    EXPECT_FLOAT_EQ(Slot(1).position.x, 110);
    layer.SetCharacter(1, "b.png", "", 30, -1, -1, "default", 30);
    EXPECT_EQ(Slot(1).targetX, 410);
    layer.Update();
    EXPECT_FLOAT_EQ(Slot(1).position.x, 410);
    EXPECT_EQ(Slot(1).moveMode, CCharaGraphics::kMoveNone);
}

TEST_F(CharaGraphicsTest, MovesOfZeroFramesPlaceTheImageAtOnce) {
    Show(3, "a.png", 0, 0);
    layer.MoveCharacter(3, 200, 100, "linear", 0);
    EXPECT_FLOAT_EQ(Slot(3).position.x, 200);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(200, 100), 0xFFFFFFu);
    layer.SetCharacter(4, "a.png", "fade", 30, 50, 60, "weird", 0);
    EXPECT_FLOAT_EQ(Slot(4).position.x, 50);
    EXPECT_FLOAT_EQ(Slot(4).position.y, 60);
}

TEST_F(CharaGraphicsTest, FocusDimsEverySlotButTheFocusedOneAndSurvivesImageChanges) {
    for (int i = 0; i < 6; ++i) Show(i, "a.png", i * 100, 0);
    layer.SetFocus(2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Slot(i).current.color & 0xFFFFFF, i == 2 ? 0xFFFFFFu : 0x888888u) << i;
        EXPECT_EQ(Alpha(Slot(i).current.color), 255u);
    }
    DrawFrame(layer);
    EXPECT_EQ(Pixel(5, 5), 0x888888u);
    EXPECT_EQ(Pixel(205, 5), 0xFFFFFFu);
    layer.SetCharacter(0, "b.png", "fade", 4, -1, -1, "default", 30);
    for (int t = 0; t <= 4; ++t) layer.Update();
    EXPECT_EQ(Slot(0).current.color, 0xFF888888u);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(5, 5), 0x008800u);
    layer.SetFocus(100);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Slot(i).current.color, kWhite) << i;
    layer.SetFocus(9);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Slot(i).current.color & 0xFFFFFF, 0x888888u) << "no slot 9: all dimmed";
}

TEST_F(CharaGraphicsTest, HiddenSlotsAreNeverDrawn) {
    Show(0, "a.png", 0, 0);
    layer.SetCharacterVisible(0, false);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(5, 5), 0u);
    layer.SetCharacterReverse(0, true);
    layer.MoveCharacter(0, 40, 0, "default", 0);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(5, 5), 0u);
    layer.SetCharacter(0, "b.png", "crossfade", 10, -1, -1, "default", 30);
    layer.Update();
    layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(5, 5), 0u);
    layer.SetCharacterVisible(0, true);
    DrawFrame(layer);
    // The outgoing white image mirrored into 0..40 under the incoming green one at alpha 25.
    EXPECT_EQ(Pixel(5, 5), 0xE6FFE6u);
}

TEST_F(CharaGraphicsTest, AMirroredImageEndsAtItsPositionWithColumnsReversed) {
    Show(0, "stripes.png", 100, 10);
    layer.SetCharacterReverse(0, true);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(96, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(97, 10), 0x0000FFu);
    EXPECT_EQ(Pixel(98, 10), 0x00FF00u);
    EXPECT_EQ(Pixel(99, 10), 0xFF0000u);
    EXPECT_EQ(Pixel(100, 10), 0u);
    EXPECT_EQ(Pixel(95, 10), 0u);
    EXPECT_EQ(batch.GetTransform().m[0][0], 1.0f) << "the layer's transform is restored";
}

TEST_F(CharaGraphicsTest, ASharedTextureStaysWhileAnySlotUsesIt) {
    Show(0, "a.png", 0, 0);
    Show(1, "a.png", 100, 0);
    EXPECT_EQ(Slot(0).current.texture, Slot(1).current.texture);
    layer.SetCharacter(0, "b.png", "", 30, -1, -1, "default", 30);
    layer.Update();
    EXPECT_NE(store.GetTexture("Graphics/Char/a.png"), nullptr);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(105, 5), 0xFFFFFFu);
    // Slot 2 fades a.png out while slot 1 changes too: released only when neither uses it.
    Show(2, "a.png", 200, 0);
    layer.SetCharacter(2, "c.png", "fade", 4, -1, -1, "default", 30);
    layer.SetCharacter(1, "c.png", "", 30, -1, -1, "default", 30);
    layer.Update();
    EXPECT_NE(store.GetTexture("Graphics/Char/a.png"), nullptr) << "slot 2 is still fading it out";
    for (int t = 0; t < 4; ++t) layer.Update();
    EXPECT_EQ(store.GetTexture("Graphics/Char/a.png"), nullptr);
    EXPECT_NE(store.GetTexture("Graphics/Char/c.png"), nullptr);
}

TEST_F(CharaGraphicsTest, EraseAllFadesOutOverHalfTheLengthAndEndsOnTheUpdateThatFindsTheLength) {
    for (int i = 0; i < 6; ++i) Show(i, "a.png", i * 100, 0);
    layer.EraseAll("fade", 20);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(Slot(i).current.name.empty());
    for (int update = 1; update <= 21; ++update) {
        layer.Update();
        DrawFrame(layer);
        const uint32_t expected = update <= 10 ? static_cast<uint32_t>(255 - (update - 1) * 255 / 10) : 0u;
        EXPECT_EQ(Pixel(305, 5), expected * 0x010101u) << update;
        EXPECT_EQ(Slot(3).kind, update < 21 ? CCharaGraphics::kFade : CCharaGraphics::kIdle) << update;
    }
    EXPECT_EQ(store.GetTexture("Graphics/Char/a.png"), nullptr);
}

TEST_F(CharaGraphicsTest, ResetCharactersReturnsEverySlotToItsInitialState) {
    Show(0, "a.png", 30, 40);
    layer.SetCharacterVisible(0, false);
    layer.SetCharacterReverse(1, true);
    layer.SetFocus(1);
    layer.ResetCharacters();
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(Slot(i).current.name.empty());
        EXPECT_EQ(Slot(i).current.texture, nullptr);
        EXPECT_TRUE(Slot(i).visible);
        EXPECT_FALSE(Slot(i).mirrored);
        EXPECT_EQ(Slot(i).kind, CCharaGraphics::kIdle);
        EXPECT_EQ(Slot(i).current.color, kWhite);
        EXPECT_EQ(Slot(i).position.x, 0.0f);
    }
    EXPECT_EQ(layer.focus(), 100);
    EXPECT_NE(store.GetTexture("Graphics/Char/a.png"), nullptr) << "textures stay in the store";
}

TEST_F(CharaGraphicsTest, SlotsOutsideTheRangeAreIgnored) {
    EXPECT_TRUE(layer.SetCharacter(6, "a.png", "", 30, 5, 5, "default", 0));
    layer.SetCharacter(-1, "a.png", "", 30, 5, 5, "default", 0);
    layer.MoveCharacter(7, 1, 1, "default", 0);
    layer.SetCharacterVisible(6, false);
    layer.SetCharacterReverse(-3, true);
    layer.Update();
    EXPECT_EQ(store.size(), 0u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(Slot(i).visible);
        EXPECT_FALSE(Slot(i).mirrored);
        EXPECT_EQ(Slot(i).position.x, 0.0f);
    }
}

}  // namespace
}  // namespace zepa
