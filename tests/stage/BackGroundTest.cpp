// The background layer frame by frame: transition colours, slide and shake rectangles, texture
// release, and the pixels the layer draws.
#include "stage/BackGround.h"

#include <gtest/gtest.h>

#include "StageTestSupport.h"

namespace zepa {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;

uint32_t Alpha(uint32_t color) {
    return color >> 24;
}

class BackGroundTest : public testing::StageTest {
  protected:
    void SetUp() override {
        StageTest::SetUp();
        WriteSolid("Graphics/BG/red.png", 640, 480, kRed);
        WriteSolid("Graphics/BG/green.png", 640, 480, kGreen);
        // Left half blue, right half yellow.
        WriteImage("Graphics/BG/halves.png", 640, 480, [](int x, int) { return x < 320 ? kBlue : kYellow; });
        // Column x carries x in its red and green bytes, so any shift can be read back.
        WriteImage("Graphics/BG/columns.png", 640, 480,
                   [](int x, int y) { return 0xFF000000u | (x & 0xFF) << 16 | (x >> 8) << 8 | (y & 0xFF); });
    }
    // Shows an image with a cut and lets it settle.
    void Show(const std::string& file) {
        layer.SetBackground(file, "", 30);
        layer.Update();
    }
    static int ColumnAt(uint32_t pixel) {
        return static_cast<int>((pixel >> 16 & 0xFF) | (pixel >> 8 & 0xFF) << 8);
    }

    CBackGround layer{&store};
};

TEST_F(BackGroundTest, NamesMapToTransitionAndShakeKinds) {
    EXPECT_EQ(CBackGround::TransitionFromName(""), CBackGround::kCut);
    EXPECT_EQ(CBackGround::TransitionFromName("flash"), CBackGround::kCut);
    EXPECT_EQ(CBackGround::TransitionFromName("Fade"), CBackGround::kCut);
    EXPECT_EQ(CBackGround::TransitionFromName("slidein_l"), CBackGround::kSlideFromRight);
    EXPECT_EQ(CBackGround::TransitionFromName("slidein_r"), CBackGround::kSlideFromLeft);
    EXPECT_EQ(CBackGround::TransitionFromName("crossfade2"), CBackGround::kCrossFade2);
    EXPECT_EQ(CBackGround::ShakeFromName("shake_v"), CBackGround::kShakeVertical);
    EXPECT_EQ(CBackGround::ShakeFromName("shake"), CBackGround::kShakeNone);
}

TEST_F(BackGroundTest, CutShowsTheNewImageOnTheNextFrameAndReleasesTheOld) {
    Show("red.png");
    DrawFrame(layer);
    EXPECT_EQ(Pixel(10, 10), 0xFF0000u);
    layer.SetBackground("green.png", "flash", 30);
    layer.Update();
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle);
    EXPECT_EQ(layer.frameCounter(), 0) << "a cut does not advance the counter";
    EXPECT_EQ(store.GetTexture("Graphics/BG/red.png"), nullptr);
    EXPECT_NE(store.GetTexture("Graphics/BG/green.png"), nullptr);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(639, 479), 0x00FF00u);
}

TEST_F(BackGroundTest, FadeGoesThroughBlackOverThirtyFrames) {
    Show("red.png");
    layer.SetBackground("green.png", "fade", 30);
    for (int t = 0; t < 30; ++t) {
        layer.Update();
        DrawFrame(layer);
        const uint32_t previous = Alpha(layer.previousImage().color);
        const uint32_t current = Alpha(layer.currentImage().color);
        if (t < 15) {
            EXPECT_EQ(previous, static_cast<uint32_t>(255 - 255 * t / 15)) << t;
            EXPECT_EQ(current, 0u) << t;
            EXPECT_EQ(Pixel(5, 5), previous << 16) << t;
        } else {
            EXPECT_EQ(previous, 0u) << t;
            EXPECT_EQ(current, static_cast<uint32_t>(255 * (t - 15) / 15)) << t;
            EXPECT_EQ(Pixel(5, 5), current << 8) << t;
        }
    }
    EXPECT_NE(store.GetTexture("Graphics/BG/red.png"), nullptr) << "released only when the fade ends";
    layer.Update();
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle);
    EXPECT_EQ(layer.currentImage().color, 0xFFFFFFFFu);
    EXPECT_EQ(layer.frameCounter(), 31);
    EXPECT_EQ(store.GetTexture("Graphics/BG/red.png"), nullptr);
}

TEST_F(BackGroundTest, CrossFadesKeepOrFadeTheOldImage) {
    Show("red.png");
    layer.SetBackground("green.png", "crossfade", 10);
    for (int t = 0; t < 4; ++t) layer.Update();
    EXPECT_EQ(Alpha(layer.previousImage().color), 255u);
    EXPECT_EQ(Alpha(layer.currentImage().color), 3u * 255 / 10);

    layer.SetBackground("red.png", "crossfade2", 10);
    for (int t = 0; t < 7; ++t) layer.Update();
    EXPECT_EQ(Alpha(layer.currentImage().color), 6u * 255 / 10);
    EXPECT_EQ(Alpha(layer.previousImage().color), 255u - 6u * 255 / 10);
}

TEST_F(BackGroundTest, SlideFromTheRightShowsTheLeftColumnsOfTheNewImage) {
    Show("red.png");
    layer.SetBackground("halves.png", "slidein_l", 30);
    for (int t = 0; t <= 15; ++t) layer.Update();
    EXPECT_EQ(layer.currentImage().sourceRect.right, 320);
    EXPECT_EQ(layer.currentPosition().x, 320.0f);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(319, 100), 0xFF0000u) << "the old image stays underneath";
    EXPECT_EQ(Pixel(320, 100), 0x0000FFu) << "the new image's first column";
    EXPECT_EQ(Pixel(639, 100), 0x0000FFu);
}

TEST_F(BackGroundTest, SlideFromTheLeftShowsTheRightColumnsOfTheNewImage) {
    Show("red.png");
    layer.SetBackground("halves.png", "slidein_r", 30);
    for (int t = 0; t <= 15; ++t) layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(0, 100), 0xFFFF00u);
    EXPECT_EQ(Pixel(319, 100), 0xFFFF00u);
    EXPECT_EQ(Pixel(320, 100), 0xFF0000u);
    for (int t = 16; t <= 30; ++t) layer.Update();
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(0, 100), 0x0000FFu);
}

TEST_F(BackGroundTest, ZeroLengthTransitionsFinishOnTheirFirstUpdate) {
    Show("red.png");
    bool green = true;
    for (const char* name : {"fade", "crossfade", "crossfade2", "slidein_l", "slidein_r"}) {
        layer.SetBackground(green ? "green.png" : "red.png", name, 0);
        green = !green;
        layer.Update();
        EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle) << name;
        EXPECT_EQ(layer.currentImage().color, 0xFFFFFFFFu) << name;
    }
    layer.SetBackground("red.png", "fade", -7);
    layer.Update();
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle) << "a negative length ends at once too";
}

TEST_F(BackGroundTest, SettingTheSamePathOnlyStoresTheLength) {
    Show("red.png");
    const CTexture* texture = layer.currentImage().texture;
    layer.SetBackground("red.png", "fade", 77);
    EXPECT_EQ(layer.transitionLength(), 77);
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle);
    EXPECT_EQ(layer.currentImage().texture, texture);
    layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(1, 1), 0xFF0000u);
}

TEST_F(BackGroundTest, ANewBackgroundDuringATransitionRestartsItFromTheIncomingImage) {
    Show("red.png");
    layer.SetBackground("green.png", "crossfade", 10);
    for (int t = 0; t < 5; ++t) layer.Update();
    layer.SetBackground("halves.png", "crossfade", 10);
    EXPECT_EQ(layer.frameCounter(), 0);
    EXPECT_EQ(layer.previousImage().name, "Graphics/BG/green.png");
    EXPECT_EQ(store.GetTexture("Graphics/BG/red.png"), nullptr) << "the interrupted outgoing image goes";
    EXPECT_NE(store.GetTexture("Graphics/BG/green.png"), nullptr);
    layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(600, 10), 0x00FF00u);
}

TEST_F(BackGroundTest, HorizontalShakeMovesOutToSixtyPixelsAndBackWithWrapAround) {
    Show("columns.png");
    ASSERT_TRUE(layer.StartShake("shake_h", 10));
    EXPECT_FALSE(layer.StartShake("shake_h", 10)) << "already shaking";
    const int expected[] = {0, 12, 24, 36, 48, 60, 48, 36, 24, 12};
    for (int step = 0; step < 10; ++step) {
        layer.Update();
        const int s = expected[step];
        EXPECT_EQ(layer.currentPosition().x, static_cast<float>(s)) << step;
        EXPECT_TRUE(layer.shaking());
        DrawFrame(layer);
        EXPECT_EQ(ColumnAt(batch.BackBuffer().At(s, 7)), 0) << step;
        EXPECT_EQ(ColumnAt(batch.BackBuffer().At(639, 7)), 639 - s) << step;
        if (s > 0) {
            EXPECT_EQ(ColumnAt(batch.BackBuffer().At(0, 7)), 640 - s) << "wrapped strip, step " << step;
        }
    }
    layer.Update();
    EXPECT_FALSE(layer.shaking());
    EXPECT_EQ(layer.currentPosition().x, 0.0f);
    DrawFrame(layer);
    EXPECT_EQ(ColumnAt(batch.BackBuffer().At(0, 7)), 0);
    EXPECT_EQ(ColumnAt(batch.BackBuffer().At(639, 7)), 639);
}

TEST_F(BackGroundTest, VerticalShakeWrapsRowsWithFortyPixels) {
    Show("columns.png");
    ASSERT_TRUE(layer.StartShake("shake_v", 4));
    layer.Update();
    layer.Update();
    layer.Update();
    EXPECT_EQ(layer.currentPosition().y, 40.0f);
    DrawFrame(layer);
    EXPECT_EQ(batch.BackBuffer().At(3, 40) & 0xFF, 0u);
    EXPECT_EQ(batch.BackBuffer().At(3, 0) & 0xFF, static_cast<uint32_t>(440 & 0xFF));
    layer.Update();
    EXPECT_EQ(layer.currentPosition().y, 20.0f);
    layer.Update();
    EXPECT_FALSE(layer.shaking());
}

TEST_F(BackGroundTest, ShortOrUnknownShakesEndOnTheirFirstStepWithoutMoving) {
    Show("columns.png");
    for (int length : {0, 1}) {
        ASSERT_TRUE(layer.StartShake("shake_h", length));
        layer.Update();
        EXPECT_FALSE(layer.shaking()) << length;
        EXPECT_EQ(layer.currentPosition().x, 0.0f);
    }
    ASSERT_TRUE(layer.StartShake("quake", 10));
    layer.Update();
    EXPECT_FALSE(layer.shaking());
}

TEST_F(BackGroundTest, ShakeIsRefusedDuringATransitionAndEndedByANewBackground) {
    Show("red.png");
    layer.SetBackground("green.png", "fade", 10);
    EXPECT_FALSE(layer.StartShake("shake_h", 10));
    EXPECT_FALSE(layer.shaking());
    for (int t = 0; t <= 10; ++t) layer.Update();
    ASSERT_TRUE(layer.StartShake("shake_h", 10));
    layer.Update();
    layer.SetBackground("green.png", "", 12);
    EXPECT_FALSE(layer.shaking());
    EXPECT_EQ(layer.shakeKind(), CBackGround::kShakeNone);
    EXPECT_EQ(layer.transitionLength(), 12);
}

TEST_F(BackGroundTest, ColourToneIsClampedAndModulatesTheIdleImage) {
    WriteSolid("Graphics/BG/white.png", 640, 480, 0xFFFFFFFFu);
    Show("white.png");
    layer.SetColorTone(128, 255, 255, 255);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(9, 9), 0xFFFFFFu) << "the tone takes effect from the next update";
    layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(9, 9), 0x808080u);
    layer.SetColorTone(300, -5, 1000, 64);
    EXPECT_EQ(layer.ToneColor(), 0xFF00FF40u);
    layer.Update();
    DrawFrame(layer);
    EXPECT_EQ(Pixel(9, 9), 0x00FF40u);
}

TEST_F(BackGroundTest, AMissingImageFadesToBlack) {
    Show("red.png");
    layer.SetBackground("missing.png", "fade", 4);
    EXPECT_EQ(layer.currentImage().texture, nullptr);
    for (int t = 0; t <= 4; ++t) layer.Update();
    EXPECT_EQ(layer.transitionKind(), CBackGround::kIdle);
    DrawFrame(layer);
    EXPECT_EQ(Pixel(1, 1), 0u);
    EXPECT_EQ(store.GetTexture("Graphics/BG/red.png"), nullptr);
}

TEST_F(BackGroundTest, ATextureReleasedElsewhereIsNotDrawn) {
    Show("red.png");
    store.ReleaseTexture("Graphics/BG/red.png");
    DrawFrame(layer);
    EXPECT_EQ(Pixel(1, 1), 0u);
}

}  // namespace
}  // namespace zepa
