// Window geometry, the opening animations frame by frame, and the skin drawn into the back buffer
// compared pixel for pixel with a model of the tiled frame.
#include <gtest/gtest.h>

#include "gfx/SpriteBatch.h"
#include "support/TestServices.h"
#include "windows/WindowMessage.h"
#include "windows/WindowTestSupport.h"

namespace zepa {
namespace {

// Every skin texel is opaque and unique: (u, v) of the 192 x 96 image in red and green, blue 0x40.
uint32_t SkinTexel(int u, int v) {
    return 0xFF000040u | static_cast<uint32_t>(u) << 16 | static_cast<uint32_t>(v) << 8;
}

// Which skin coordinate the tiled frame shows at offset `d` of a frame `size` long: corners at
// both ends, the 72-texel edge repeated in between.
int TiledSkinCoordinate(int d, int size) {
    if (d < 12) return d;
    if (d >= size - 12) return 84 + d - (size - 12);
    return 12 + (d - 12) % 72;
}

class WindowSkinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        stage.WriteImage(CWindowBase::kDefaultSkinFile, 192, 96, SkinTexel);
        stage.environment().LoadSkin(CWindowBase::kDefaultSkinFile);
        batch.BackBuffer().Clear(0xFF000000u);
        batch.Begin();
    }
    uint32_t Pixel(int x, int y) { return batch.BackBuffer().Pixels()[y * 640 + x] & 0xFFFFFFu; }

    // Every pixel inside the frame matches the model; every pixel around it stays black.
    void ExpectTiledFrame(int x0, int y0, int w, int h) {
        int wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
                const uint32_t expected =
                    inside ? SkinTexel(TiledSkinCoordinate(x - x0, w), TiledSkinCoordinate(y - y0, h)) &
                                 0xFFFFFFu
                           : 0u;
                if (Pixel(x, y) != expected && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << Pixel(x, y) << " not "
                                  << expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    test::WindowStage stage;
    CSpriteBatch batch;
    CWindowMessage window{stage.environment()};
};

TEST_F(WindowSkinTest, TiledFramesOfManySizesPlaceEveryPiece) {
    struct Case {
        int x, y, w, h;
    };
    // Full width (remainder 40 columns), an exact multiple of the edge (no remainder), tiny, odd.
    for (const Case c :
         {Case{0, 0, 640, 160}, Case{30, 40, 96, 168}, Case{600, 450, 24, 24}, Case{13, 77, 203, 131}}) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
        CWindowMessage fresh(stage.environment());
        ASSERT_TRUE(fresh.Open("flash", c.x, c.y, c.w, c.h, true, true));
        batch.BackBuffer().Clear(0xFF000000u);
        fresh.Draw(batch);
        ExpectTiledFrame(c.x, c.y, c.w, c.h);
    }
}

TEST_F(WindowSkinTest, ExpandingFrameIsTiledAtItsAnimatedSize) {
    ASSERT_TRUE(window.Open("expand", 0, 0, 640, 160, true, true));
    for (int frame = 0; frame < 6; ++frame) window.Update();
    EXPECT_EQ(window.currentWidth(), 332);
    EXPECT_EQ(window.currentHeight(), 92);
    window.Draw(batch);
    ExpectTiledFrame(0, 0, 332, 92);
}

TEST_F(WindowSkinTest, StretchedSkinCoversTheWindowAndNoFrameDrawsNothing) {
    // A skin whose picture half is one colour: the stretched draw must fill the window with it.
    stage.store().ReleaseAllTextures();
    stage.WriteImage(CWindowBase::kDefaultSkinFile, 192, 96,
                     [](int u, int v) { return u >= 96 ? 0xFF3366CCu : SkinTexel(u, v); });
    stage.environment().LoadSkin(CWindowBase::kDefaultSkinFile);
    ASSERT_TRUE(window.Open("flash", 100, 50, 300, 200, true, true));
    window.SkinType(7);
    EXPECT_EQ(window.skinType(), kSkinStretched);
    window.Draw(batch);
    for (auto [x, y] : {std::pair{100, 50}, {399, 249}, {250, 150}}) EXPECT_EQ(Pixel(x, y), 0x3366CCu);
    EXPECT_EQ(Pixel(99, 50), 0u);
    EXPECT_EQ(Pixel(400, 249), 0u);

    batch.BackBuffer().Clear(0xFF000000u);
    window.SkinType(2);
    window.Draw(batch);
    EXPECT_EQ(Pixel(250, 150), 0u);
    window.SkinType(-1);
    EXPECT_EQ(window.skinType(), kSkinTiled);
}

TEST_F(WindowSkinTest, HiddenWindowOrSkinDrawsNoFrameAndFadeBlendsOverTheBackground) {
    ASSERT_TRUE(window.Open("flash", 0, 0, 100, 100, false, true));
    window.Draw(batch);
    EXPECT_EQ(Pixel(50, 50), 0u);
    window.SetVisible(true);
    window.SkinVisible(false);
    window.Draw(batch);
    EXPECT_EQ(Pixel(50, 50), 0u);

    CWindowMessage fading(stage.environment());
    ASSERT_TRUE(fading.Open("fade", 0, 0, 100, 100, true, true));
    fading.Update();  // alpha 21 of 255 over black
    fading.Draw(batch);
    const uint32_t full = SkinTexel(12 + (50 - 12) % 72, 12 + (50 - 12) % 72);
    const uint32_t red = (Pixel(50, 50) >> 16) & 0xFF;
    const uint32_t fullRed = (full >> 16) & 0xFF;
    EXPECT_NEAR(static_cast<double>(red), fullRed * 21.0 / 255.0, 1.0);
}

TEST(WindowOpening, FadeRaisesAlphaOverTwelveFramesAndFinishesOnTheThirteenth) {
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowMessage window(environment);
    ASSERT_TRUE(window.Open("fade", 0, 0, 640, 160, true, true));
    EXPECT_EQ(window.alpha(), 0);
    EXPECT_TRUE(window.animating());
    const int expected[] = {21, 42, 63, 85, 106, 127, 148, 170, 191, 212, 233, 255};
    for (int alpha : expected) {
        window.Update();
        EXPECT_EQ(window.alpha(), alpha);
        EXPECT_TRUE(window.animating());
    }
    window.Update();
    EXPECT_FALSE(window.animating());
    EXPECT_EQ(window.effect(), kEffectFinished);
}

TEST(WindowOpening, ExpandGrowsFromTheCornerAndFlashOrUnknownNamesOpenAtOnce) {
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowMessage window(environment);
    ASSERT_TRUE(window.Open("expand", 0, 0, 640, 160, true, true));
    EXPECT_EQ(window.currentWidth(), 24);
    window.Update();
    EXPECT_EQ(window.currentWidth(), 75);
    EXPECT_EQ(window.currentHeight(), 35);
    for (int frame = 2; frame <= 12; ++frame) window.Update();
    EXPECT_EQ(window.currentWidth(), 640);
    EXPECT_EQ(window.currentHeight(), 160);
    EXPECT_TRUE(window.animating());
    window.Update();
    EXPECT_FALSE(window.animating());

    for (const char* name : {"flash", "Fade", "", "expand "}) {
        SCOPED_TRACE(name);
        CWindowMessage instant(environment);
        ASSERT_TRUE(instant.Open(name, 0, 0, 200, 100, true, true));
        EXPECT_FALSE(instant.animating());
        EXPECT_EQ(instant.effect(), kEffectFinished);
        EXPECT_EQ(instant.alpha(), 255);
        EXPECT_EQ(instant.currentWidth(), 200);
    }
    EXPECT_EQ(CWindowBase::EffectFromName(std::string("fade\0x", 6)), kEffectFlash);
}

TEST(WindowOpening, GeometryIsClampedIntoTheScreen) {
    struct Case {
        int x, y, w, h;
        int ex, ey, ew, eh;
    };
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    for (const Case c :
         {Case{0, 0, 10, 10, 0, 0, 24, 24}, Case{700, 0, 100, 50, 540, 0, 100, 50},
          Case{-5, -9, 2000, 900, 0, 0, 640, 480}, Case{2147483647, 2147483647, 100, 100, 540, 380, 100, 100},
          Case{-2147483647 - 1, 400, 24, 100, 0, 380, 24, 100}}) {
        CWindowMessage window(environment);
        ASSERT_TRUE(window.Open("flash", c.x, c.y, c.w, c.h, true, true));
        EXPECT_EQ(window.x(), c.ex);
        EXPECT_EQ(window.y(), c.ey);
        EXPECT_EQ(window.width(), c.ew);
        EXPECT_EQ(window.height(), c.eh);
    }
}

TEST(WindowOpening, RemainderPiecesFollowTheSize) {
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowMessage window(environment);
    ASSERT_TRUE(window.Open("flash", 0, 0, 640, 160, true, true));
    // 640 wide: xr = 616 mod 72 + 12 = 52; 160 high: yb = 136 mod 72 + 12 = 76.
    EXPECT_EQ(window.skinPiece(9).right, 52);
    EXPECT_EQ(window.skinPiece(15).right, 52);
    EXPECT_EQ(window.skinPiece(15).bottom, 76);
    EXPECT_EQ(window.skinPiece(8).left, 84);
}

TEST(WindowSettings, ColoursTakeEachComponentModulo256) {
    EXPECT_EQ(CWindowBase::PackColor(255, 1, 2, 3), 0xFF010203u);
    EXPECT_EQ(CWindowBase::PackColor(256, -1, 513, 0), 0x00FF0100u);
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowMessage window(environment);
    window.FontColor(128, 300, 0, -256);
    EXPECT_EQ(window.textColor(), 0x802C0000u);
}

}  // namespace
}  // namespace zepa
