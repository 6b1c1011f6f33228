// The selection window's control: cursor moves with wrapping, paging and its indicator, disabled
// items, the mouse over items and arrows, sounds, the blinking cursor, and what gets drawn.
#include <gtest/gtest.h>

#include "gfx/SpriteBatch.h"
#include "input/ButtonState.h"
#include "support/TestServices.h"
#include "windows/WindowSelectable.h"
#include "windows/WindowTestSupport.h"

namespace zepa {
namespace {

class SelectionTest : public ::testing::Test {
  protected:
    SelectionTest() {
        environment.LoadSkin(CWindowBase::kDefaultSkinFile);
        window.SetSoundSink([this](const std::string& path) { sounds.push_back(path); });
        window.CursorMoveSeFile("move.wav");
        window.SelectSeFile("select.wav");
        window.CancelSeFile("cancel.wav");
    }
    // Items 0..count-1 in a window at (100, 100), all enabled.
    void Build(int count, int columns, int width = 400, int height = 160, int rowHeight = 30) {
        window.ContentsNum(count);
        window.Open("flash", 100, 100, width, height, 16, true, true);
        window.SetColumn(columns);
        window.ContentsHeight(rowHeight);
        for (int i = 0; i < count; ++i) window.SetContents(i, "item" + std::to_string(i));
        window.Select(true);
    }
    // One frame with one button pressed.
    void Press(LogicalButton button) {
        buttons = ButtonState{};
        buttons.pressed[button] = 1;
        window.Update(buttons);
        buttons = ButtonState{};
    }
    void Mouse(int x, int y, bool left = false, bool right = false) {
        buttons = ButtonState{};
        buttons.pointerMode = 1;
        buttons.mouseX = x;
        buttons.mouseY = y;
        buttons.leftClick = left;
        buttons.rightClick = right;
        window.Update(buttons);
        buttons = ButtonState{};
    }

    ButtonState buttons;
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowSelectable window{environment};
    std::vector<std::string> sounds;
};

TEST_F(SelectionTest, ButtonsMoveTheCursorWithATrueModulus) {
    Build(4, 2);
    EXPECT_EQ(window.cursor(), 0);
    Press(kButtonUp);
    EXPECT_EQ(window.cursor(), 2);
    Press(kButtonDown);
    EXPECT_EQ(window.cursor(), 0);
    Press(kButtonLeft);
    EXPECT_EQ(window.cursor(), 3);
    Press(kButtonRight);
    EXPECT_EQ(window.cursor(), 0);
    EXPECT_EQ(sounds, std::vector<std::string>(4, "move.wav"));

    window.ContentsNum(3);
    window.SetColumn(4);
    Press(kButtonUp);  // -4 wrapped into 0..2
    EXPECT_EQ(window.cursor(), 2);
    window.Select(false);
    window.Select(true);
    Press(kButtonDown);  // 4 mod 3
    EXPECT_EQ(window.cursor(), 1);
}

TEST_F(SelectionTest, OnlyTheFirstDirectionOfAFrameMoves) {
    Build(5, 1);
    buttons.pressed[kButtonDown] = 1;
    buttons.pressed[kButtonUp] = 1;
    window.Update(buttons);
    EXPECT_EQ(window.cursor(), 4);  // Up wins
}

TEST_F(SelectionTest, OkDecidesEnabledItemsAndCancelAlwaysCancels) {
    Build(3, 1);
    window.SetContentsEnable(0, false);
    Press(kButtonOk);
    EXPECT_FALSE(window.decided());
    EXPECT_EQ(sounds.back(), "cancel.wav");
    Press(kButtonDown);
    Press(kButtonOk);
    int32_t result = -5;
    ASSERT_TRUE(window.TakeResult(result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sounds.back(), "select.wav");
    EXPECT_FALSE(window.TakeResult(result));

    sounds.clear();
    buttons.pressed[kButtonOk] = 1;
    buttons.pressed[kButtonCancel] = 1;
    window.Update(buttons);
    ASSERT_TRUE(window.TakeResult(result));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(sounds, (std::vector<std::string>{"select.wav", "cancel.wav"}));
}

TEST_F(SelectionTest, InactiveWindowIgnoresInput) {
    Build(3, 1);
    window.Select(false);
    EXPECT_EQ(window.cursor(), -1);
    Press(kButtonOk);
    Press(kButtonDown);
    EXPECT_FALSE(window.decided());
    EXPECT_EQ(window.cursor(), -1);
}

TEST_F(SelectionTest, ItemsPerPageFollowTheMarginsOnlyAtOpen) {
    window.Open("flash", 0, 0, 200, 160, 16, true, true);
    EXPECT_EQ(window.itemsPerPage(), 4);
    window.ContentsHeight(30);
    EXPECT_EQ(window.itemsPerPage(), 5);
    window.SetColumn(0);
    window.ContentsHeight(-3);
    EXPECT_EQ(window.columns(), 1);
    EXPECT_EQ(window.rowHeight(), 30);
}

TEST_F(SelectionTest, PagingWithArrowsAndTheIndicatorText) {
    Build(12, 1, 400, 150, 30);  // 150 / 30 = 5 items per page after ContentsHeight
    ASSERT_EQ(window.itemsPerPage(), 5);
    EXPECT_EQ(window.pages(), 3);
    for (int i = 0; i < 7; ++i) Press(kButtonDown);
    EXPECT_EQ(window.cursor(), 7);
    EXPECT_EQ(window.page(), 1);
    EXPECT_EQ(window.pageShown(), 1);
    EXPECT_EQ(window.PageIndicatorText(window.page()), "2 / 3");

    const int arrowX = 100 + 400 - 8;
    Mouse(arrowX, 100 + 150 - 5, true);  // bottom arrow: back a page
    EXPECT_TRUE(window.bottomArrowLit());
    EXPECT_EQ(window.cursor(), 2);
    Press(kButtonDown);
    Press(kButtonDown);
    Press(kButtonDown);
    Press(kButtonDown);
    Press(kButtonDown);
    EXPECT_EQ(window.cursor(), 7);
    Mouse(arrowX, 105, true);  // top arrow: (7 + 5) mod 12
    EXPECT_TRUE(window.topArrowLit());
    EXPECT_EQ(window.cursor(), 0);
    Mouse(arrowX, 105);  // hovering lights without moving
    EXPECT_TRUE(window.topArrowLit());
    EXPECT_EQ(window.cursor(), 0);
    Mouse(300, 300);
    EXPECT_FALSE(window.topArrowLit());
}

TEST_F(SelectionTest, SinglePageHasNoIndicatorText) {
    Build(3, 1);
    EXPECT_EQ(window.pages(), 1);
    EXPECT_EQ(window.PageIndicatorText(0), "");
}

TEST_F(SelectionTest, MouseHoverMovesTheCursorAndClickDecides) {
    Build(4, 2, 400, 160, 30);  // columns 184 wide from x 116, rows from y 116
    sounds.clear();
    Mouse(116 + 184 + 10, 116 + 30 + 5);  // column 1, row 1: item 3
    EXPECT_EQ(window.cursor(), 3);
    EXPECT_EQ(sounds, std::vector<std::string>{"move.wav"});
    Mouse(116 + 184 + 10, 116 + 30 + 5);  // same item: no second sound
    EXPECT_EQ(sounds.size(), 1u);
    Mouse(120, 120, true);
    int32_t result = -5;
    ASSERT_TRUE(window.TakeResult(result));
    EXPECT_EQ(result, 0);

    window.SetContentsEnable(1, false);
    Mouse(116 + 184 + 1, 117, true);  // disabled item 1
    EXPECT_EQ(window.cursor(), 1);
    EXPECT_FALSE(window.decided());
    EXPECT_EQ(sounds.back(), "cancel.wav");
    Mouse(110, 110);  // in the margin: nothing
    EXPECT_EQ(window.cursor(), 1);
    Mouse(0, 0, false, true);  // right click anywhere cancels
    ASSERT_TRUE(window.TakeResult(result));
    EXPECT_EQ(result, -1);
}

TEST_F(SelectionTest, CursorBlinksBetween64And214) {
    Build(2, 1);
    std::vector<int> alphas;
    for (int i = 0; i < 61; ++i) {
        window.Update(buttons);
        alphas.push_back(window.cursorAlpha());
    }
    EXPECT_EQ(alphas[28], 209);  // counter 29
    EXPECT_EQ(alphas[29], 214);  // counter 30
    EXPECT_EQ(alphas[58], 69);
    EXPECT_EQ(alphas[59], 64);  // counter 60
}

TEST_F(SelectionTest, OutOfRangeItemsAndHugeCountsAreHandled) {
    Build(3, 1);
    window.SetContents(3, "x");
    window.SetContents(-1, "x");
    window.SetContentsEnable(7, true);
    EXPECT_FALSE(window.hasItemTexture(3));
    EXPECT_TRUE(window.hasItemTexture(2));
    window.ContentsNum(-4);
    EXPECT_EQ(window.itemCount(), 0);
    Press(kButtonDown);  // no items: no move, no crash
    Press(kButtonOk);
    window.ContentsNum(2147483647);
    EXPECT_EQ(window.itemCount(), CWindowSelectable::kMaxItems);
}

TEST_F(SelectionTest, DescriptionWindowFollowsTheCursor) {
    window.ContentsNum(2);
    window.Open("flash", 0, 0, 300, 100, 16, true, true);
    window.SetDescription(0, "first");
    window.SetDescription(1, "second");
    window.OpenDescription("flash", 0, 300, 640, 100, true, true);
    ASSERT_NE(window.descriptionWindow(), nullptr);
    window.Select(true);
    EXPECT_EQ(window.descriptionWindow()->pendingText().text(), "first");
    Press(kButtonDown);
    EXPECT_EQ(window.descriptionWindow()->pendingText().text(), "second");
    window.Select(false);
    EXPECT_EQ(window.descriptionWindow()->pendingText().text(), "");
    window.DescriptionSkinType(9);
    EXPECT_EQ(window.descriptionWindow()->skinType(), kSkinStretched);
    window.Close();
    EXPECT_FALSE(window.descriptionWindow()->isOpen());
    window.CloseDescription();
    EXPECT_EQ(window.descriptionWindow(), nullptr);
}

TEST_F(SelectionTest, DrawsItemsDimmedWhenDisabledAndTheCursorOverItsCell) {
    test::WindowStage stage;
    stage.WriteImage(CWindowSelectable::kCursorFile, 24, 24, [](int, int) { return 0xFFFF0000u; });
    CWindowSelectable drawn(stage.environment());
    drawn.ContentsNum(2);
    drawn.Open("flash", 0, 0, 300, 100, 10, true, false);
    drawn.SetContents(0, "\x81\xA1\x81\xA1");  // two black squares (filled glyphs)
    drawn.SetContents(1, "\x81\xA1\x81\xA1", false);
    CSpriteBatch batch;
    batch.BackBuffer().Clear(0xFF000000u);
    batch.Begin();
    drawn.Draw(batch);
    const uint32_t* pixels = batch.BackBuffer().Pixels();
    auto brightest = [&](int x0, int y0) {
        uint32_t best = 0;
        for (int y = y0; y < y0 + 30; ++y)
            for (int x = x0; x < x0 + 60; ++x) best = std::max(best, pixels[y * 640 + x] & 0xFF);
        return best;
    };
    EXPECT_EQ(brightest(10, 10), 255u);                      // enabled item: white glyphs
    EXPECT_NEAR(brightest(10, 40), 0x88 * 0x88 / 255.0, 2);  // disabled: dimmed and half transparent
    EXPECT_EQ(pixels[20 * 640 + 200] & 0xFF0000, 0u);        // no cursor while inactive

    drawn.Select(true);
    drawn.Update(buttons);
    batch.BackBuffer().Clear(0xFF000000u);
    drawn.Draw(batch);
    // The cursor is stretched over item 0's cell (0, 0)-(280, 30) at (10, 10).
    EXPECT_GT((pixels[20 * 640 + 200] >> 16) & 0xFF, 30u);
    EXPECT_EQ((pixels[45 * 640 + 200] >> 16) & 0xFF, 0u);
}

}  // namespace
}  // namespace zepa
