// A headless game loads a picture, creates a text picture with Japanese text and animates three
// sprites; its screenshots must show them exactly where the statements put them, text copied
// texel for texel (crisp) from a canvas rendered the same way in this process.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/ImageTestFiles.h"
#include "gfx/SpriteBatch.h"
#include "platform/Cp932.h"
#include "platform/ImageIo.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"
#include "text/TextCanvasStore.h"

namespace zepa {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
const char* const kText = "日本語のテキスト、表示！";

class PictureSpritesRun : public ::testing::Test {
  protected:
    void SetUp() override {
        // 40 x 30: left half red, right half blue.
        std::vector<uint32_t> pixels(40 * 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) pixels[y * 40 + x] = x < 20 ? kRed : kBlue;
        const std::vector<uint8_t> png = testing::EncodePng(pixels, 40, 30);
        testing::WriteFileBytes(game / "Graphics/Picture/block.png", std::string(png.begin(), png.end()));
        testing::WriteFileBytes(game / "Script/Initialize.txt", "");
        testing::WriteFileBytes(game / "Script/Script.txt", Cp932(std::string(R"(Picture.Load(0, "block.png")
TextPicture.FontSize(24)
TextPicture.Create(1, 256, 32, ")") + kText + R"(")
Sprite.SourcePicture(0, false, 0)
Sprite.SourceRect(0, 0, 0, 40, 30, 0)
Sprite.MovePos(0, 0, 100, 0)
Sprite.MovePos(0, 100, 100, 4)
Sprite.SetVisible(0, true)
Sprite.SourcePicture(1, true, 1)
Sprite.SourceRect(1, 0, 0, 256, 32, 0)
Sprite.MovePos(1, 200, 300, 0)
Sprite.SetVisible(1, true)
Sprite.Copy(200, 0)
Sprite.MovePos(200, 400, 50, 0)
Sprite.SetMagni(200, 200, 200, 0)
Sprite.SetColor(200, 0, 255, 255, 255, 10)
WaitOK
)"));
    }

    DecodedImage Shot(int frame) {
        const std::string bytes = testing::ReadFileBytes(game / ("shot" + std::to_string(frame) + ".png"));
        DecodedImage image;
        EXPECT_TRUE(DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 4096, image));
        return image;
    }
    static uint32_t At(const DecodedImage& image, int x, int y) {
        return image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFFu;
    }

    testing::TempFolder game;
};

TEST_F(PictureSpritesRun, ScreenshotsShowPictureTextAndAnimatedSprites) {
    std::string command =
        std::string(ZEPA_BINARY) + " --headless --scene Main --game '" + game.path() + "' --frames 11";
    for (int frame : {1, 4, 11})
        command += " --shot " + std::to_string(frame) + ":'" +
                   (game / ("shot" + std::to_string(frame) + ".png")) + "'";
    command += " --dump 4:'" + (game / "frame4.json") + "'";
    command += " 2>'" + (game / "stderr.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << testing::ReadFileBytes(game / "stderr.txt");

    const DecodedImage first = Shot(1);
    const DecodedImage fourth = Shot(4);
    const DecodedImage last = Shot(11);
    ASSERT_EQ(first.width, 640);
    ASSERT_EQ(fourth.width, 640);
    ASSERT_EQ(last.width, 640);

    // Sprite 0 moves from x 0 to 100 in four steps: at 25 after the first frame, 100 after four.
    EXPECT_EQ(At(first, 25, 100), 0xFF0000u);
    EXPECT_EQ(At(first, 64, 129), 0x0000FFu);
    EXPECT_EQ(At(first, 24, 100), 0u);
    EXPECT_EQ(At(first, 65, 100), 0u);
    EXPECT_EQ(At(fourth, 100, 100), 0xFF0000u);
    EXPECT_EQ(At(fourth, 139, 129), 0x0000FFu);
    EXPECT_EQ(At(fourth, 99, 100), 0u);
    EXPECT_EQ(At(fourth, 140, 129), 0u);
    EXPECT_EQ(At(fourth, 100, 130), 0u);

    // Sprite 200 (a copy of sprite 0, above the others) doubled at (400, 50) fades out over ten
    // frames: alpha 230 after the first.
    EXPECT_EQ(At(first, 400, 50), 0xE60000u);
    EXPECT_EQ(At(first, 479, 109), 0x0000E6u);
    EXPECT_EQ(At(first, 480, 50), 0u);
    EXPECT_EQ(At(first, 400, 110), 0u);
    EXPECT_EQ(At(last, 400, 50), 0u);
    EXPECT_EQ(At(last, 479, 109), 0u);

    // The state dump lists what the set holds.
    const nlohmann::json dump = nlohmann::json::parse(testing::ReadFileBytes(game / "frame4.json"));
    EXPECT_EQ(dump["pictures"]["pictures"]["0"], "block.png");
    EXPECT_EQ(dump["pictures"]["textPictures"], nlohmann::json::array({1}));
    EXPECT_EQ(dump["pictures"]["sprites"].size(), 3u);
    EXPECT_EQ(dump["pictures"]["sprites"]["0"]["x"], 100.0);
    EXPECT_EQ(dump["pictures"]["sprites"]["200"]["color"], 0x9BFFFFFFu);  // alpha 155 after four steps
    EXPECT_EQ(dump["pictures"]["sprites"]["1"]["shown"], true);

    // The text picture at (200, 300), copied exactly from a canvas drawn the same way.
    CTextCanvasStore store{testing::SharedGlyphs()};
    ASSERT_TRUE(store.CreateCanvas(1, 256, 32));
    ASSERT_TRUE(store.BeginFont(1, Cp932("ＭＳ　Ｐゴシック"), 24));
    store.ClearCanvas();
    TextCanvas& canvas = *store.Current();
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = true;
    canvas.shadeColor = 0;
    store.DrawStringAt(0, 0, Cp932(kText));
    store.EndFont();
    CSpriteBatch batch;
    batch.BackBuffer().Clear(0);
    batch.Begin();
    const Rect rect{0, 0, 256, 32};
    const Vector3 position{200, 300, 0};
    batch.Draw(store.GetCanvasTexture(1), &rect, &position, 0xFFFFFFFFu);
    batch.End();
    int inked = 0;
    int differing = 0;
    for (int y = 290; y < 340; ++y) {
        for (int x = 190; x < 470; ++x) {
            const uint32_t expected = batch.BackBuffer().At(x, y) & 0xFFFFFFu;
            if (expected == 0xFFFFFFu) ++inked;
            if (At(fourth, x, y) != expected) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 300);  // the text is really there, with fully white cores
}

}  // namespace
}  // namespace zepa
