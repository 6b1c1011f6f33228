// Typing: how many characters each frame takes at several speeds, double-byte characters, the
// invalid byte 0xFF and a trailing lone lead byte; and the window's typing across frames with
// real glyphs in its canvas.
#include <gtest/gtest.h>

#include "gfx/PixelBudget.h"
#include "platform/Cp932.h"
#include "platform/Log.h"
#include "resources/TextureStore.h"
#include "support/TestServices.h"
#include "windows/MessageTyping.h"
#include "windows/WindowEnvironment.h"
#include "windows/WindowMessage.h"

namespace zepa {
namespace {

// Splits a text into the steps typing takes at `speed`.
std::vector<std::string> Steps(const std::string& text, int speed, bool* endedOnLastStep = nullptr) {
    CPendingText pending;
    pending.Replace(text);
    std::vector<std::string> steps;
    for (int first = pending.Read(); first >= 0; first = pending.Read()) {
        const TypingStep step = GatherTypingStep(first, pending, speed);
        steps.push_back(step.text);
        if (endedOnLastStep) *endedOnLastStep = step.streamEnded;
        if (step.streamEnded) break;
    }
    return steps;
}

using Strings = std::vector<std::string>;

TEST(MessageTyping, StepsTakeTheSpeedInCharactersCountingDoubleByteOnce) {
    const std::string mixed = Cp932("あいu") + "ab" + Cp932("え");  // 6 characters, 9 bytes
    EXPECT_EQ(Steps(mixed, 1), (Strings{Cp932("あ"), Cp932("い"), "u", "a", "b", Cp932("え")}));
    EXPECT_EQ(Steps(mixed, 2), (Strings{Cp932("あい"), "ua", "b" + Cp932("え")}));
    EXPECT_EQ(Steps(mixed, 5), (Strings{Cp932("あいu") + "ab", Cp932("え")}));
    // Half-width katakana is single-byte.
    EXPECT_EQ(Steps("\xB1\xB2\xB3", 2), (Strings{"\xB1\xB2", "\xB3"}));
}

TEST(MessageTyping, ExactFitEndsTheStreamOnlyAtTheNextRead) {
    bool ended = true;
    EXPECT_EQ(Steps("abcdef", 2, &ended), (Strings{"ab", "cd", "ef"}));
    EXPECT_FALSE(ended);  // the window notices the end one frame later
    EXPECT_EQ(Steps("abcde", 2, &ended), (Strings{"ab", "cd", "e"}));
    EXPECT_TRUE(ended);
}

TEST(MessageTyping, LoneTrailingLeadByteIsDroppedAndEndsTyping) {
    bool ended = false;
    EXPECT_EQ(Steps("ab\x82", 5, &ended), (Strings{"ab"}));
    EXPECT_TRUE(ended);
    EXPECT_EQ(Steps("ab\x82", 2, &ended), (Strings{"ab", ""}));
    EXPECT_TRUE(ended);
}

TEST(MessageTyping, InvalidByteDiscardsItsStepAndTypingGoesOn) {
    // 0xFF inside a step throws away that step's characters; at a step's start it is skipped.
    EXPECT_EQ(Steps("ab\xFF"
                    "cd",
                    5),
              (Strings{"", "cd"}));
    EXPECT_EQ(Steps("ab\xFF"
                    "cd",
                    2),
              (Strings{"ab", "", "cd"}));
    EXPECT_EQ(Steps("\xFF\xFF"
                    "a",
                    1),
              (Strings{"", "", "a"}));
}

TEST(MessageTyping, SpeedBelowOneActsAsOne) {
    const std::string text = Cp932("あ") + "bc";
    const Strings one{Cp932("あ"), "b", "c"};
    EXPECT_EQ(Steps(text, 0), one);
    EXPECT_EQ(Steps(text, -7), one);
    EXPECT_EQ(Steps(text, 3), (Strings{Cp932("あ") + "bc"}));
}

class MessageWindowTyping : public ::testing::Test {
  protected:
    void SetMessageSpeed(int charactersPerFrame) { environment.messageSpeed = charactersPerFrame; }
    int PenX() { return window.textStore().Find(0)->penX; }
    int PenY() { return window.textStore().Find(0)->penY; }
    WindowEnvironment environment{nullptr, testing::SharedGlyphs(), nullptr};
    CWindowMessage window{environment};
};

TEST_F(MessageWindowTyping, TheEnvironmentsSpeedBelowOneTypesOneCharacterPerFrame) {
    for (int speed : {0, -7}) {
        SCOPED_TRACE(speed);
        SetMessageSpeed(speed);
        ASSERT_TRUE(window.Open("flash", 0, 0, 640, 160, true, true));
        window.PrintText("abc");
        for (size_t frame = 1; frame <= 3; ++frame) {
            window.Update();
            EXPECT_EQ(window.pendingText().position(), frame);
        }
        window.Close();
    }
}

TEST_F(MessageWindowTyping, SixCharactersAtSpeedTwoTakeThreeFramesAndTypingEndsOnTheFourth) {
    SetMessageSpeed(2);
    ASSERT_TRUE(window.Open("flash", 0, 0, 640, 160, true, true));
    window.PrintText("abcdef");
    int previous = PenX();
    EXPECT_EQ(previous, 0);
    for (int frame = 1; frame <= 3; ++frame) {
        window.Update();
        EXPECT_TRUE(window.typing()) << frame;
        EXPECT_GT(PenX(), previous) << frame;  // new glyphs went in
        previous = PenX();
    }
    window.Update();
    EXPECT_FALSE(window.typing());
    EXPECT_EQ(PenX(), previous);
}

TEST_F(MessageWindowTyping, OpeningAnimationHoldsTypingBack) {
    SetMessageSpeed(1);
    ASSERT_TRUE(window.Open("fade", 0, 0, 640, 160, true, true));
    window.PrintText(Cp932("あい"));
    for (int frame = 1; frame <= 12; ++frame) {
        window.Update();
        EXPECT_EQ(PenX(), 0) << frame;
    }
    window.Update();  // finished: the first double-byte character
    const int afterFirst = PenX();
    EXPECT_GT(afterFirst, 0);
    EXPECT_EQ(window.pendingText().position(), 2u);
    window.Update();
    EXPECT_GT(PenX(), afterFirst);
    EXPECT_TRUE(window.typing());
    window.Update();
    EXPECT_FALSE(window.typing());
}

TEST_F(MessageWindowTyping, AddTextContinuesAtThePenAndPrintTextStartsOver) {
    SetMessageSpeed(5);
    ASSERT_TRUE(window.Open("flash", 0, 0, 640, 160, true, true));
    window.PrintText("ab");
    window.Update();
    window.Update();
    ASSERT_FALSE(window.typing());
    const int pen = PenX();
    window.AddText("cd");
    EXPECT_TRUE(window.typing());
    window.Update();
    EXPECT_GT(PenX(), pen);
    EXPECT_EQ(PenY(), 0);
    window.AddText("\ne");
    window.Update();
    EXPECT_EQ(PenY(), 24);  // a new line at the default font size
    window.PrintText("x");
    EXPECT_EQ(PenX(), 0);
    EXPECT_EQ(PenY(), 0);
}

TEST_F(MessageWindowTyping, ClosedWindowConsumesABytePerFrameAndReopensAtTheOrigin) {
    window.PrintText("abc");
    EXPECT_TRUE(window.typing());
    window.Update();
    window.Update();
    EXPECT_EQ(window.pendingText().position(), 2u);
    ASSERT_TRUE(window.Open("flash", 0, 0, 200, 100, true, true));
    EXPECT_FALSE(window.Open("flash", 0, 0, 200, 100, true, true));  // already open
    window.Update();
    EXPECT_GT(PenX(), 0);
    window.Close();
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(window.textTexture(), nullptr);
    EXPECT_EQ(window.textStore().Find(0), nullptr);
}

TEST_F(MessageWindowTyping, TypedGlyphsInkTheCanvas) {
    SetMessageSpeed(5);
    ASSERT_TRUE(window.Open("flash", 0, 0, 200, 60, true, true));
    window.PrintText(Cp932("字"));
    window.Update();
    const CTexture* texture = window.textTexture();
    ASSERT_NE(texture, nullptr);
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) inked += (texture->TexelAt(x, y) >> 24) != 0;
    EXPECT_GT(inked, 20);
}

}  // namespace
}  // namespace zepa

namespace zepa {
namespace {

// A script that opens window after window of the largest size cannot claim memory without bound:
// the canvases share the pictures' pixel budget, and one past it leaves its window closed.
TEST(MessageWindowBudget, CanvasesPastThePixelBudgetLeaveTheirWindowClosed) {
    CQuietLog log;
    // The text area of a 1024 x 1024 window is a canvas of 1024 x 512 pixels.
    CPixelBudget budget(log, uint64_t{1} << 19);
    CTextureStore store(nullptr, log, nullptr, &budget);
    WindowEnvironment environment{&store, testing::SharedGlyphs(), nullptr};
    CWindowMessage first{environment};
    CWindowMessage second{environment};
    ASSERT_TRUE(first.Open("flash", 0, 0, 1024, 1024, true, true));
    EXPECT_FALSE(second.Open("flash", 0, 0, 1024, 1024, true, true));
    EXPECT_EQ(budget.used(), uint64_t{1} << 19);
    first.Close();
    EXPECT_TRUE(second.Open("flash", 0, 0, 1024, 1024, true, true));
}

}  // namespace
}  // namespace zepa
