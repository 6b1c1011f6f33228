// The main scene's reading aids in-process, input given as the platform gives it: the message
// history view (opening, scrolling by entries and pages, closing) and the pause rule (while the
// view is open nothing of the game advances and no input reaches it).
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "scenes/SceneMain.h"
#include "script/VariableStore.h"
#include "support/GameHarness.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;

// 30 one-line entries, then a text being typed in a window still fading in, a background
// transition, a wait and a wait for OK.
constexpr const char* kScript =
    "MessageWindow.Open(0, 0, 320, 640, 160, \"fade\")\n"
    "Background.Set(\"bg.png\", \"fade\", 60)\n"
    "*loop\n"
    "Calc($num[1] ++)\n"
    "MessageWindow[0].PrintText(\"entry $num[1]\")\n"
    "if($num[1] < 30)\n"
    "Jump(loop)\n"
    "end\n"
    "MessageWindow[0].PrintText(\"abcdefghijklmnopqrstuvwxyz\")\n"
    "Wait(100)\n"
    "WaitOK\n"
    "Calc($num[2] = 1)\n"
    "WaitOK\n";

class ReadingAidsTest : public ::testing::Test {
  protected:
    ReadingAidsTest() {
        test::WriteSolidPng(folder_ / "Graphics/BG/bg.png", 640, 480, 0xFF336699u);
        test::WriteScriptFile(folder_.path(), "Initialize.txt", "");
        test::WriteScriptFile(folder_.path(), "Script.txt", kScript);
        harness_ = std::make_unique<GameHarness>(folder_.path());
        harness_->game().sceneRequests().Request("Main");
        harness_->Frames(1);
    }
    CSceneMain& Main() { return *dynamic_cast<CSceneMain*>(harness_->game().currentScene()); }
    const CHistoryView& View() { return Main().historyView(); }
    void Wheel(int notches) {
        PlatformEvent event;
        event.kind = PlatformEvent::Kind::MouseWheel;
        event.value = notches;
        harness_->Send(event);
        harness_->Frames(1);
    }
    // Bottom and top entry of the view.
    std::pair<int, int> Shown() { return {View().bottomEntry(), View().topEntry()}; }

    TempFolder folder_;
    std::unique_ptr<GameHarness> harness_;
};

TEST_F(ReadingAidsTest, TheHistoryOpensScrollsByEntriesAndPagesAndCloses) {
    ASSERT_EQ(Main().windows().history().size(), 31u);
    EXPECT_FALSE(View().isOpen());
    Wheel(1);
    ASSERT_TRUE(View().isOpen());
    // Eleven one-line entries fill a page; the newest is at the bottom.
    EXPECT_EQ(Shown(), std::make_pair(30, 20));
    Wheel(1);
    EXPECT_EQ(Shown(), std::make_pair(29, 19));
    harness_->Press(vk::kUp);
    EXPECT_EQ(Shown(), std::make_pair(28, 18));
    harness_->Press(vk::kPageUp);  // the entry above the top comes to the bottom
    EXPECT_EQ(Shown(), std::make_pair(17, 7));
    harness_->Press(vk::kPageUp);  // no further than the oldest page
    EXPECT_EQ(Shown(), std::make_pair(10, 0));
    Wheel(3);
    EXPECT_EQ(Shown(), std::make_pair(10, 0));
    harness_->Press(vk::kPageDown);  // the entry below the bottom comes to the top
    EXPECT_EQ(Shown(), std::make_pair(21, 11));
    harness_->Press(vk::kDown);
    EXPECT_EQ(Shown(), std::make_pair(22, 12));
    // Held, Down scrolls on after a delay.
    harness_->KeyDown(vk::kDown);
    harness_->Frames(CSceneMain::kScrollRepeatDelay + CSceneMain::kScrollRepeatPeriod + 1);
    harness_->KeyUp(vk::kDown);
    harness_->Frames(1);
    EXPECT_EQ(Shown(), std::make_pair(25, 15));
    Wheel(-9);  // stops at the newest
    EXPECT_EQ(Shown(), std::make_pair(30, 20));
    Wheel(-1);  // past it: closed
    EXPECT_FALSE(View().isOpen());
    EXPECT_EQ(View().bottomEntry(), -1);

    harness_->Press(vk::kPageUp);
    ASSERT_TRUE(View().isOpen());
    harness_->Press(vk::kPageDown);  // at the end: closed
    EXPECT_FALSE(View().isOpen());
    Wheel(1);
    harness_->Click(1);  // a right click
    EXPECT_FALSE(View().isOpen());
    Wheel(1);
    harness_->Press('X');  // Cancel
    EXPECT_FALSE(View().isOpen());
}

TEST_F(ReadingAidsTest, WhileTheHistoryIsOpenNothingAdvancesAndNoInputReachesTheGame) {
    harness_->Frames(3);
    const CScriptRunner& runner = Main().runner();
    const CWindowMessage& window = Main().windows().message(0);
    const CBackGround& background = harness_->game().stage().background;
    ASSERT_TRUE(window.animating());
    ASSERT_TRUE(window.typing());
    struct Snapshot {
        int wait;
        size_t typed;
        int opening;
        int transition;
        bool operator==(const Snapshot&) const = default;
    };
    auto snapshot = [&] {
        return Snapshot{runner.waitCounter, window.pendingText().position(), window.frameCounter(),
                        background.frameCounter()};
    };
    const Snapshot before = snapshot();
    Wheel(1);
    ASSERT_TRUE(View().isOpen());
    EXPECT_EQ(snapshot(), before);
    for (int key : {int{'Z'}, vk::kDown, vk::kReturn}) harness_->Press(key);
    harness_->Frames(30);
    harness_->MoveMouse(600, 8);
    harness_->Click(0);
    EXPECT_TRUE(View().isOpen());
    EXPECT_EQ(snapshot(), before);
    harness_->KeyDown('X');  // closing takes its frame too
    harness_->Frames(1);
    EXPECT_FALSE(View().isOpen());
    EXPECT_EQ(snapshot(), before);
    harness_->KeyUp('X');
    harness_->Frames(1);
    EXPECT_NE(snapshot(), before);

    // A press of OK while the view is open does not end a wait for OK, nor does S quick-save.
    harness_->Frames(200);
    ASSERT_TRUE(runner.waitForOk);
    Wheel(1);
    harness_->Press('Z');
    harness_->Press('S');
    harness_->Click(1);
    EXPECT_FALSE(IsDirectory(folder_ / "Save"));
    ASSERT_FALSE(View().isOpen());
    harness_->Frames(2);
    EXPECT_TRUE(runner.waitForOk);
    EXPECT_EQ(harness_->game().variables().GetInt(2), 0);
    harness_->Press('Z');
    harness_->Frames(1);
    EXPECT_EQ(harness_->game().variables().GetInt(2), 1);
}

}  // namespace
}  // namespace zepa
