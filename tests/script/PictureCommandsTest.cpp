// The Picture, TextPicture and Sprite statements run through the script runner onto a picture set.
#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/MessageBoxes.h"
#include "gfx/ImageTestFiles.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "resources/TextureStore.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"
#include "stage/PictureSet.h"
#include "support/TestFiles.h"
#include "text/FakeGlyphSource.h"

namespace zepa {
namespace {

class PictureCommandsTest : public ::testing::Test {
  protected:
    PictureCommandsTest()
        : cwd(folder.path()), runner(zepa::testing::MakeScriptServices(vars, random, buttons, boxes)) {
        const std::vector<uint8_t> png = testing::EncodePng(std::vector<uint32_t>(4, 0xFFFF0000u), 2, 2);
        testing::WriteFileBytes(folder / "Graphics/Picture/map.png", std::string(png.begin(), png.end()));
        glyphs.font->grey['D'] = testing::GreyGlyph({{64}}, 20);
        runner.pictures = &pictures;
        boxes.Clear();
    }
    // Runs the statements (Shift-JIS) to the end of the text.
    void Run(const std::string& utf8) {
        runner.reader().SetText("Script/Script.txt", Cp932(utf8) + "\nWaitOK\n");
        runner.waitForOk = false;
        runner.StepScript();
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const std::string& text : boxes.shown()) texts.push_back(Cp932ToUtf8(text));
        return texts;
    }

    testing::TempFolder folder;
    testing::ScopedWorkingDirectory cwd;
    CVariableStore vars;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CScriptRunner runner;
    CTextureStore store{nullptr, zepa::testing::TestLog()};
    testing::FakeGlyphSource glyphs;
    CPictureSet pictures{&store, glyphs};
};

TEST_F(PictureCommandsTest, PictureLoadsAndReleasesSlots) {
    Run("Picture.Load(3, \"map.png\")");
    ASSERT_NE(pictures.picture(3).texture, nullptr);
    EXPECT_EQ(pictures.picture(3).fileName, "map.png");
    Run("Picture[3].Release()");
    EXPECT_EQ(pictures.picture(3).texture, nullptr);
    Run("Picture.Load(64, \"map.png\")\nPicture.Clear(64)\nPicture.Load(-1, \"map.png\")");
    EXPECT_EQ(store.size(), 0u);
    EXPECT_TRUE(Messages().empty());
    Run("Picture.Clear(1)\nPicture.(1)");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Pictureについて文法ミス？", "Pictureについて文法ミス？"}));
}

TEST_F(PictureCommandsTest, TextPictureCreatesWithExpandedTextAndFontSettings) {
    vars.SetInt(20, 5);
    Run("TextPicture.FontSize(40)\nTextPicture.FontColor(63, 1, 2, 3)\n"
        "TextPicture.FontShade(false)\nTextPicture.FontType(\"Mincho\")\n"
        "TextPicture.Create(0, 400, 40, \"D $num[20]\")");
    EXPECT_EQ(pictures.fontSize(), 40);
    EXPECT_EQ(pictures.textColor(), 0x3F010203u);
    EXPECT_FALSE(pictures.shading());
    EXPECT_EQ(pictures.fontName(), "Mincho");
    ASSERT_NE(pictures.textPicture(0), nullptr);
    EXPECT_EQ(pictures.textPicture(0)->width(), 400);
    EXPECT_EQ(glyphs.font->requested, (std::vector<uint32_t>{'D', '5'}));
    Run("TextPicture.Write(0, \"DD\")\nTextPicture.Release(0)");
    EXPECT_EQ(glyphs.font->requested.size(), 4u);
    EXPECT_EQ(pictures.textPicture(0), nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PictureCommandsTest, TextPictureChecksItsFirstArgumentAsAPictureNumber) {
    Run("TextPicture.FontSize(64)");
    EXPECT_EQ(pictures.fontSize(), 24);
    Run("TextPicture.FontSize(0)");
    EXPECT_EQ(pictures.fontSize(), 0);
    Run("TextPicture.FontColor(255, 0, 0, 0)");  // alpha above 63: ignored
    EXPECT_EQ(pictures.textColor(), 0xFFFFFFFFu);
    Run("TextPicture.FontType(\"70Gothic\")");
    EXPECT_EQ(pictures.fontName(), Cp932("ＭＳ　Ｐゴシック"));
    Run("TextPicture.FontType(\"12Gothic\")");
    EXPECT_EQ(pictures.fontName(), "12Gothic");
    Run("TextPicture.FontShade(true, 255, 9, 8, 7)");
    EXPECT_TRUE(pictures.shading());
    EXPECT_EQ(pictures.shadeColor(), 0xFF090807u);
    Run("TextPicture.Create(64, 10, 10, \"D\")\nTextPicture.Bogus(99)\nTextPicture.()");
    EXPECT_TRUE(Messages().empty());
    Run("TextPicture.Bogus(1)");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"TextPictureについて文法ミス？"}));
}

TEST_F(PictureCommandsTest, SpriteStatementsDriveTheSprites) {
    Run("Picture.Load(3, \"map.png\")\nSprite.SourcePicture(10, false, 3)\n"
        "Sprite.SourceRect(10, 0, 0, 2, 2, 0)\nSprite.MovePos(10, 200, 150, 0)\n"
        "Sprite.SetVisible(10, true)\nSprite.SetMagni(10, 200, 50, 0)\n"
        "Sprite.SetColor(10, 256, 1, 2, 3, 0)");
    const SpriteState& s = pictures.sprite(10);
    EXPECT_EQ(s.source, &pictures.picture(3).texture);
    EXPECT_EQ(s.rect.right, 2);
    EXPECT_FLOAT_EQ(s.x, 200);
    EXPECT_TRUE(s.visible);
    EXPECT_FLOAT_EQ(s.scaleX, 2.0f);
    EXPECT_EQ(s.Argb(), 0x00010203u);

    Run("Sprite.MovePos(11, 100, 0, 4)\nSprite.Copy(12, 11)\nSprite.Swap(13, 12)\nSprite.Init(10)");
    EXPECT_EQ(pictures.sprite(13).positionFrames, 4);
    EXPECT_EQ(pictures.sprite(12).positionFrames, 0);
    EXPECT_FALSE(pictures.sprite(10).visible);
    Run("Sprite.MovePos(-1, 0, 0, 0)\nSprite.SourcePicture(1, true, 64)\nSprite.Copy(1, 256)");
    EXPECT_EQ(pictures.sprite(1).source, nullptr);
    EXPECT_TRUE(Messages().empty());
    Run("Sprite.Move(1)\nSprite.(1)\nSprite.Init(300)");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Spriteについて文法ミス？", "Spriteについて文法ミス？"}));
}

TEST_F(PictureCommandsTest, WithoutAPictureSetStatementsAreOnlyChecked) {
    runner.pictures = nullptr;
    Run("Picture.Load(1, \"map.png\")\nSprite.SetVisible(1, true)\nTextPicture.Create(1, 8, 8, \"D\")\n"
        "Sprite.Bogus(1)");
    EXPECT_EQ(store.size(), 0u);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Spriteについて文法ミス？"}));
}

}  // namespace
}  // namespace zepa
