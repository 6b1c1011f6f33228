#include "stage/PictureSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gfx/ImageTestFiles.h"
#include "gfx/SpriteBatch.h"
#include "resources/TextureStore.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"
#include "text/FakeGlyphSource.h"

namespace zepa {
namespace {

using testing::FakeGlyphSource;
using testing::GreyGlyph;

// A picture set over a folder holding Graphics/Picture/red.png (20 x 10 opaque red) and
// blue.png (10 x 10 opaque blue).
class PictureSetTest : public ::testing::Test {
  protected:
    PictureSetTest() : cwd(folder.path()) {
        WritePicture("red.png", 0xFFFF0000u, 20, 10);
        WritePicture("blue.png", 0xFF0000FFu, 10, 10);
    }
    void WritePicture(const std::string& name, uint32_t color, int w, int h) {
        const std::vector<uint8_t> png = testing::EncodePng(std::vector<uint32_t>(w * h, color), w, h);
        testing::WriteFileBytes(folder / ("Graphics/Picture/" + name), std::string(png.begin(), png.end()));
    }
    // Draws both bands onto a black screen and returns the pixel at (x, y).
    uint32_t Screen(int x, int y) {
        batch.BackBuffer().Clear(0);
        batch.Begin();
        pictures.DrawSpritesLow(batch);
        pictures.DrawSpritesHigh(batch);
        batch.End();
        return batch.BackBuffer().At(x, y) & 0xFFFFFFu;
    }
    void ShowPicture(int sprite, int slot, int x, int y, int w, int h) {
        pictures.SetSpriteSource(sprite, false, slot);
        pictures.SetSpriteRect(sprite, 0, 0, w, h, 0);
        pictures.MoveSprite(sprite, x, y, 0);
        pictures.SetSpriteVisible(sprite, true);
        pictures.UpdateSprites();
    }

    testing::TempFolder folder;
    testing::ScopedWorkingDirectory cwd;
    CTextureStore store{nullptr, testing::TestLog()};
    FakeGlyphSource glyphs;
    CPictureSet pictures{&store, glyphs};
    CSpriteBatch batch;
};

TEST_F(PictureSetTest, MoveAndFadeReachTheirTargetsInEqualSteps) {
    pictures.MoveSprite(4, 100, 0, 4);
    std::vector<float> xs;
    for (int i = 0; i < 5; ++i) {
        pictures.UpdateSprites();
        xs.push_back(pictures.sprite(4).x);
    }
    EXPECT_EQ(xs, (std::vector<float>{25, 50, 75, 100, 100}));

    pictures.SetSpriteColor(4, 0, 255, 255, 255, 10);
    std::vector<int> alphas;
    for (int i = 0; i < 10; ++i) {
        pictures.UpdateSprites();
        alphas.push_back(pictures.sprite(4).color[SpriteState::kAlpha]);
    }
    EXPECT_EQ(alphas, (std::vector<int>{230, 205, 180, 155, 130, 104, 78, 52, 26, 0}));
    EXPECT_EQ(pictures.sprite(4).color[SpriteState::kRed], 255);
    EXPECT_EQ(pictures.sprite(4).colorFrames, 0);
}

TEST_F(PictureSetTest, RectangleAndMagnificationAnimate) {
    pictures.SetSpriteRect(1, 10, 0, -10, 7, 3);
    pictures.SetSpriteMagnification(1, 400, 50, 2);
    pictures.UpdateSprites();
    EXPECT_EQ(pictures.sprite(1).rect.left, 3);
    EXPECT_EQ(pictures.sprite(1).rect.right, -3);
    EXPECT_EQ(pictures.sprite(1).rect.bottom, 2);
    EXPECT_FLOAT_EQ(pictures.sprite(1).scaleX, 2.5f);
    pictures.UpdateSprites();
    pictures.UpdateSprites();
    EXPECT_EQ(pictures.sprite(1).rect.left, 10);
    EXPECT_EQ(pictures.sprite(1).rect.bottom, 7);
    EXPECT_FLOAT_EQ(pictures.sprite(1).scaleX, 4.0f);
    EXPECT_FLOAT_EQ(pictures.sprite(1).scaleY, 0.5f);

    // Frames 0 take effect at once; extreme values do not overflow the steps.
    pictures.SetSpriteRect(1, 0, 0, 5, 5, 0);
    EXPECT_EQ(pictures.sprite(1).rect.right, 5);
    pictures.SetSpriteRect(2, std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 0, 2);
    pictures.UpdateSprites();
    pictures.UpdateSprites();
    EXPECT_EQ(pictures.sprite(2).rect.left, std::numeric_limits<int>::min());
    EXPECT_EQ(pictures.sprite(2).rect.right, std::numeric_limits<int>::max());
}

TEST_F(PictureSetTest, CopyDuringAnAnimationMovesInLockstepAndSwapExchanges) {
    pictures.MoveSprite(0, 90, 30, 3);
    pictures.UpdateSprites();
    pictures.CopySprite(1, 0);
    pictures.UpdateSprites();
    EXPECT_EQ(pictures.sprite(1).x, pictures.sprite(0).x);
    pictures.UpdateSprites();
    EXPECT_FLOAT_EQ(pictures.sprite(1).x, 90);
    EXPECT_FLOAT_EQ(pictures.sprite(1).y, 30);

    pictures.MoveSprite(2, 5, 6, 0);
    pictures.SwapSprites(0, 2);
    EXPECT_FLOAT_EQ(pictures.sprite(0).x, 5);
    EXPECT_FLOAT_EQ(pictures.sprite(2).x, 90);
    pictures.InitSprite(2);
    EXPECT_FLOAT_EQ(pictures.sprite(2).x, 0);
    EXPECT_FALSE(pictures.sprite(2).visible);

    // Numbers outside the ranges are ignored.
    pictures.MoveSprite(-1, 1, 1, 0);
    pictures.MoveSprite(256, 1, 1, 0);
    pictures.CopySprite(0, 256);
    pictures.SwapSprites(-1, 0);
    pictures.SetSpriteSource(0, false, 64);
    EXPECT_FLOAT_EQ(pictures.sprite(0).x, 5);
    EXPECT_EQ(pictures.sprite(0).source, nullptr);
}

TEST_F(PictureSetTest, SpritesShowTheirSlotAndFollowIt) {
    pictures.LoadPicture(3, "red.png");
    ASSERT_NE(pictures.picture(3).texture, nullptr);
    ShowPicture(10, 3, 100, 50, 20, 10);
    ShowPicture(200, 3, 300, 50, 20, 10);
    EXPECT_EQ(Screen(100, 50), 0xFF0000u);
    EXPECT_EQ(Screen(119, 59), 0xFF0000u);
    EXPECT_EQ(Screen(120, 50), 0u);
    EXPECT_EQ(Screen(300, 50), 0xFF0000u);

    // Releasing the slot blanks every sprite on it; reloading shows the new image, no update.
    pictures.ReleasePicture(3);
    EXPECT_EQ(store.GetTexture("Graphics/Picture/red.png"), nullptr);
    EXPECT_EQ(Screen(100, 50), 0u);
    EXPECT_EQ(Screen(300, 50), 0u);
    pictures.LoadPicture(3, "blue.png");
    EXPECT_EQ(Screen(100, 50), 0x0000FFu);
    EXPECT_EQ(Screen(300, 50), 0x0000FFu);

    // The colour modulates; hidden sprites draw nothing.
    pictures.SetSpriteColor(10, 255, 255, 255, 0, 0);
    pictures.UpdateSprites();
    EXPECT_EQ(Screen(100, 50), 0u);
    pictures.SetSpriteVisible(200, false);
    EXPECT_EQ(Screen(300, 50), 0u);
}

TEST_F(PictureSetTest, PictureLoadFailures) {
    pictures.LoadPicture(1, "red.png");
    pictures.LoadPicture(2, "red.png");  // already held by slot 1: slot 2 stays empty
    EXPECT_EQ(pictures.picture(2).texture, nullptr);
    EXPECT_TRUE(pictures.picture(2).fileName.empty());
    pictures.ReleasePicture(2);
    EXPECT_NE(store.GetTexture("Graphics/Picture/red.png"), nullptr);  // slot 1's texture survives

    pictures.LoadPicture(4, "missing.png");
    EXPECT_EQ(pictures.picture(4).texture, nullptr);
    EXPECT_EQ(pictures.picture(4).fileName, "missing.png");
    pictures.LoadPicture(64, "blue.png");
    EXPECT_EQ(store.GetTexture("Graphics/Picture/blue.png"), nullptr);

    pictures.ReleaseAllPictures();
    EXPECT_EQ(store.size(), 0u);
}

TEST_F(PictureSetTest, MagnificationScalesAroundTheScreenPosition) {
    pictures.LoadPicture(0, "blue.png");
    ShowPicture(0, 0, 100, 100, 10, 10);
    pictures.SetSpriteMagnification(0, 200, 200, 0);
    pictures.UpdateSprites();
    EXPECT_EQ(Screen(100, 100), 0x0000FFu);
    EXPECT_EQ(Screen(119, 119), 0x0000FFu);
    EXPECT_EQ(Screen(120, 119), 0u);
    EXPECT_EQ(Screen(99, 100), 0u);

    // The next sprite draws unscaled.
    pictures.LoadPicture(1, "red.png");
    ShowPicture(1, 1, 300, 300, 20, 10);
    EXPECT_EQ(Screen(319, 309), 0xFF0000u);
    EXPECT_EQ(Screen(320, 309), 0u);

    // A magnification of 0 draws nothing and breaks nothing.
    pictures.SetSpriteMagnification(0, 0, 100, 0);
    pictures.UpdateSprites();
    EXPECT_EQ(Screen(100, 100), 0u);
    EXPECT_EQ(batch.GetTransform().m[0][0], 1.0f);
}

TEST_F(PictureSetTest, HighSpritesLieAboveLowOnes) {
    pictures.LoadPicture(0, "red.png");
    pictures.LoadPicture(1, "blue.png");
    ShowPicture(250, 1, 10, 10, 10, 10);
    ShowPicture(5, 0, 10, 10, 20, 10);
    EXPECT_EQ(Screen(15, 15), 0x0000FFu);
    EXPECT_EQ(Screen(25, 15), 0xFF0000u);
}

TEST_F(PictureSetTest, TextPicturesUseTheTextSettings) {
    glyphs.font->grey['A'] = GreyGlyph({{64, 64}, {64, 64}}, 20);
    pictures.SetTextFont("Face");
    pictures.SetTextSize(30);
    pictures.SetTextColor(255, 0x12, 0x34, 0x56);
    pictures.SetTextShade(true, 255, 1, 2, 3);
    pictures.CreateTextPicture(7, 40, 30, "A");
    EXPECT_EQ(glyphs.lastFace, "Face");
    EXPECT_EQ(glyphs.lastHeight, 30);
    const CTexture* texture = pictures.textPicture(7);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->TexelAt(0, 0), 0xFF123456u);
    EXPECT_EQ(texture->TexelAt(2, 2), 0xFF010203u);

    // Writing clears and redraws with the current settings; the size stays.
    pictures.SetTextShade(false, 0, 9, 9, 9);
    EXPECT_EQ(pictures.shadeColor(), 0xFF010203u);
    pictures.SetTextColor(256 + 128, -1, 0, 0);
    EXPECT_EQ(pictures.textColor(), 0x80FF0000u);
    pictures.WriteTextPicture(7, "A");
    EXPECT_EQ(pictures.textPicture(7), texture);
    EXPECT_EQ(texture->TexelAt(0, 0), 0x80FF0000u);
    EXPECT_EQ(texture->TexelAt(2, 2), 0u);

    // A sprite on a released text picture draws nothing; a slot without canvas is not written.
    pictures.SetSpriteSource(0, true, 7);
    pictures.ReleaseTextPicture(7);
    EXPECT_EQ(pictures.textPicture(7), nullptr);
    EXPECT_EQ(*pictures.sprite(0).source, nullptr);
    pictures.WriteTextPicture(7, "A");
    EXPECT_EQ(pictures.textPicture(7), nullptr);
    pictures.CreateTextPicture(8, 0, 10, "A");  // the canvas cannot be created
    EXPECT_EQ(pictures.textPicture(8), nullptr);
}

}  // namespace
}  // namespace zepa
