#include "app/WindowProcedure.h"

#include <gtest/gtest.h>

#include "core/SceneRequests.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessBackend.h"

namespace zepa {
namespace {

PlatformEvent Key(PlatformEvent::Kind kind, int code, bool alt = false) {
    PlatformEvent event;
    event.kind = kind;
    event.key = code;
    event.alt = alt;
    return event;
}

PlatformEvent KeyDown(int code, bool alt = false) {
    return Key(PlatformEvent::Kind::KeyDown, code, alt);
}
PlatformEvent KeyUp(int code) {
    return Key(PlatformEvent::Kind::KeyUp, code);
}

TEST(WindowSize, LargestClientSizeWhoseWindowFitsTheWorkArea) {
    const Rect borders{3, 26, 3, 3};
    EXPECT_EQ(ChooseClientSize(Rect{0, 0, 1920, 1080}, borders).width, 1280);
    const ClientSize small = ChooseClientSize(Rect{0, 0, 1024, 738}, borders);
    EXPECT_EQ(small.width, 800);
    EXPECT_EQ(small.height, 600);
    // Exactly fitting counts as fitting; one pixel less does not.
    EXPECT_EQ(ChooseClientSize(Rect{0, 0, 966, 749}, borders).width, 960);
    EXPECT_EQ(ChooseClientSize(Rect{0, 0, 965, 749}, borders).width, 800);
    // Nothing fits: 640 x 480 anyway.
    EXPECT_EQ(ChooseClientSize(Rect{0, 0, 300, 200}, borders).width, 640);
}

class WindowProcedureTest : public ::testing::Test {
  protected:
    WindowProcedureTest()
        : procedure_(input_, sceneRequests_, &window_, Rect{0, 0, 1024, 738}, Rect{3, 26, 3, 3}) {
        window_.Create("ZEPA Engine", 800, 600, false);
        input_.SetClientSize(800, 600);
    }
    CInputDevices input_;
    CSceneRequests sceneRequests_;
    CHeadlessWindow window_;
    CWindowProcedure procedure_;
};

TEST_F(WindowProcedureTest, KeysSetAndClearTheKeyStateArray) {
    procedure_.HandleEvent(KeyDown('Z'));
    EXPECT_EQ(input_.keyState()['Z'], 1);
    procedure_.HandleEvent(KeyDown('Z'));  // auto-repeat keeps it set
    EXPECT_EQ(input_.keyState()['Z'], 1);
    procedure_.HandleEvent(KeyUp('Z'));
    EXPECT_EQ(input_.keyState()['Z'], 0);
}

TEST_F(WindowProcedureTest, HotKeysNeverReachTheKeyStateArray) {
    sceneRequests_.Request("Main");
    sceneRequests_.Cancel();
    procedure_.HandleEvent(KeyDown(vk::kF12));
    EXPECT_EQ(input_.keyState()[vk::kF12], 0);
    EXPECT_TRUE(sceneRequests_.pending());
    EXPECT_EQ(sceneRequests_.name(), "Title");
    for (int key : {vk::kF4, vk::kF5, vk::kF6, vk::kF7, vk::kF11, vk::kF9, vk::kTab}) {
        procedure_.HandleEvent(KeyDown(key));
        EXPECT_EQ(input_.keyState()[key], 0) << key;
    }
    EXPECT_FALSE(procedure_.quitRequested());
    procedure_.HandleEvent(KeyDown(vk::kEscape));
    EXPECT_TRUE(procedure_.quitRequested());
    EXPECT_EQ(input_.keyState()[vk::kEscape], 0);
}

TEST_F(WindowProcedureTest, ResizeHotKeysIgnoreSizesThatDoNotFit) {
    procedure_.HandleEvent(KeyDown(vk::kF7));  // 1280 x 960 does not fit 1024 x 738
    EXPECT_EQ(input_.clientWidth(), 800);
    EXPECT_EQ(window_.clientWidth(), 800);
    procedure_.HandleEvent(KeyDown(vk::kF4));
    EXPECT_EQ(input_.clientWidth(), 640);
    EXPECT_EQ(input_.clientHeight(), 480);
    EXPECT_EQ(window_.clientWidth(), 640);
    procedure_.HandleEvent(KeyDown(vk::kF5));
    EXPECT_EQ(window_.clientHeight(), 600);
}

TEST_F(WindowProcedureTest, FullscreenTogglesWithF11AndAltEnterButNotPlainEnter) {
    procedure_.HandleEvent(KeyDown(vk::kReturn));
    EXPECT_FALSE(window_.IsFullscreen());
    EXPECT_EQ(input_.keyState()[vk::kReturn], 1);
    procedure_.HandleEvent(KeyUp(vk::kReturn));
    procedure_.HandleEvent(KeyDown(vk::kReturn, /*alt=*/true));
    EXPECT_TRUE(window_.IsFullscreen());
    EXPECT_EQ(input_.keyState()[vk::kReturn], 0);
    procedure_.HandleEvent(KeyDown(vk::kF11));
    EXPECT_FALSE(window_.IsFullscreen());
}

TEST_F(WindowProcedureTest, FocusAndQuitEvents) {
    PlatformEvent event;
    event.kind = PlatformEvent::Kind::FocusGained;
    procedure_.HandleEvent(event);
    EXPECT_TRUE(procedure_.hasFocus());
    // A key held while the focus goes stays down until it is released in the window.
    procedure_.HandleEvent(KeyDown('A'));
    event.kind = PlatformEvent::Kind::FocusLost;
    procedure_.HandleEvent(event);
    EXPECT_FALSE(procedure_.hasFocus());
    EXPECT_EQ(input_.keyState()['A'], 1);
    event.kind = PlatformEvent::Kind::Quit;
    procedure_.HandleEvent(event);
    EXPECT_TRUE(procedure_.quitRequested());
}

TEST_F(WindowProcedureTest, MouseAndJoystickEventsReachTheInputDevices) {
    PlatformEvent move;
    move.kind = PlatformEvent::Kind::MouseMove;
    move.x = 400;
    move.y = 300;
    procedure_.HandleEvent(move);
    PlatformEvent button;
    button.kind = PlatformEvent::Kind::JoyButton;
    button.button = 3;
    button.down = true;
    procedure_.HandleEvent(button);
    EXPECT_EQ(input_.mouseClientX(), 400);
    EXPECT_EQ(input_.mouseClientY(), 300);
    input_.Poll();
    EXPECT_TRUE(input_.JoystickReads(3));
    EXPECT_TRUE(input_.joystickPresent());
}

}  // namespace
}  // namespace zepa
