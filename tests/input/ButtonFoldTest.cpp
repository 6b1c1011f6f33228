// The logical buttons as a game sees them: events go through the window procedure (the path of
// real devices and of replay files) and each UpdateFrame folds them into the button state.
#include <gtest/gtest.h>

#include "app/GameSystem.h"
#include "app/WindowProcedure.h"
#include "platform/VirtualKeys.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using Kind = PlatformEvent::Kind;

class ButtonFoldTest : public ::testing::Test {
  protected:
    ButtonFoldTest()
        : procedure_(game_.inputDevices(), game_.sceneRequests(), nullptr, Rect{0, 0, 1920, 1080}, Rect{}) {
        game_.settings() = SettingsRecord{};
    }

    void Send(PlatformEvent event) { procedure_.HandleEvent(event); }
    void Key(int code, bool down) {
        PlatformEvent event;
        event.kind = down ? Kind::KeyDown : Kind::KeyUp;
        event.key = code;
        Send(event);
    }
    void JoyButton(int index, bool down) {
        PlatformEvent event;
        event.kind = Kind::JoyButton;
        event.button = index;
        event.down = down;
        Send(event);
    }
    void JoyAxis(int axis, int value) {
        PlatformEvent event;
        event.kind = Kind::JoyAxis;
        event.axis = axis;
        event.value = value;
        Send(event);
    }
    void MouseMove(int x, int y) {
        PlatformEvent event;
        event.kind = Kind::MouseMove;
        event.x = x;
        event.y = y;
        Send(event);
    }
    void MouseButton(int button, bool down) {
        PlatformEvent event;
        event.kind = Kind::MouseButton;
        event.button = button;
        event.down = down;
        Send(event);
    }
    void AttachJoystick() {
        PlatformEvent event;
        event.kind = Kind::JoyAdded;
        Send(event);
    }
    const ButtonState& Frame() {
        game_.UpdateFrame();
        return game_.buttons();
    }
    // pressed / continuing / released of one button as a three-letter string ("p..", ".c." ...).
    std::string Edges(int button) {
        const ButtonState& state = game_.buttons();
        std::string edges;
        edges += state.pressed[button] ? 'p' : '.';
        edges += state.continuing[button] ? 'c' : '.';
        edges += state.released[button] ? 'r' : '.';
        return edges;
    }

    testing::InTempFolder inFolder_;
    CGameSystem game_;
    CWindowProcedure procedure_;
};

TEST_F(ButtonFoldTest, HoldingZThreeFramesGivesPressedThenContinuingThenReleased) {
    Key('Z', true);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "p..");
    EXPECT_TRUE(game_.buttons().down[kButtonOk]);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), ".c.");
    Frame();
    EXPECT_EQ(Edges(kButtonOk), ".c.");
    Key('Z', false);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "..r");
    EXPECT_FALSE(game_.buttons().down[kButtonOk]);
    EXPECT_FALSE(game_.buttons().previous[kButtonOk]);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "...");
}

TEST_F(ButtonFoldTest, EveryKeyOfTheTableFeedsItsButton) {
    const std::pair<int, int> keys[] = {
        {vk::kUp, kButtonUp},
        {vk::kLeft, kButtonLeft},
        {vk::kRight, kButtonRight},
        {vk::kDown, kButtonDown},
        {vk::kSpace, kButtonStart},
        {0x77, kButtonSelect},
        {'Z', kButtonOk},
        {vk::kReturn, kButtonOk},
        {'X', kButtonCancel},
        {vk::kBack, kButtonCancel},
        {vk::kShift, kButtonL},
        {vk::kControl, kButtonR},
        {'A', kButtonX},
        {'S', kButtonY},
    };
    for (auto [key, button] : keys) {
        Key(key, true);
        const ButtonState& state = Frame();
        for (int i = 0; i < kButtonCount; ++i)
            EXPECT_EQ(state.down[i] != 0, i == button) << "key " << key << " button " << i;
        Key(key, false);
        Frame();
    }
}

TEST_F(ButtonFoldTest, JoystickButtonHeldThreeFramesIsPressedOnlyInItsFirstFrame) {
    AttachJoystick();
    JoyButton(1, true);  // BUTTON_OK defaults to 1
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "p..");
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "..r");
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "...");
    JoyButton(1, false);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "...");
}

TEST_F(ButtonFoldTest, JoystickButtonNumbersComeFromTheSettingsRecord) {
    AttachJoystick();
    JoyButton(2, true);
    EXPECT_TRUE(Frame().down[kButtonCancel]);
    game_.settings().buttonOk = 0;
    game_.settings().buttonCancel = 40;  // out of range: never pressed
    JoyButton(0, true);
    JoyButton(2, true);
    const ButtonState& state = Frame();
    EXPECT_TRUE(state.down[kButtonOk]);
    EXPECT_FALSE(state.down[kButtonCancel]);
}

TEST_F(ButtonFoldTest, AxesGiveDirectionsAtTheThresholdAndStayWhileHeld) {
    AttachJoystick();
    JoyAxis(0, 999);
    EXPECT_FALSE(Frame().down[kButtonRight]);
    JoyAxis(0, 1000);
    JoyAxis(1, -1000);
    Frame();
    EXPECT_EQ(Edges(kButtonRight), "p..");
    EXPECT_EQ(Edges(kButtonUp), "p..");
    Frame();
    EXPECT_EQ(Edges(kButtonRight), ".c.");
    // Other axes change nothing.
    JoyAxis(2, -1000);
    EXPECT_FALSE(Frame().down[kButtonLeft]);
    // A direction can be assigned to a logical button: 33 reads "down".
    game_.settings().buttonOk = CInputDevices::kJoystickDown;
    JoyAxis(1, 1000);
    EXPECT_TRUE(Frame().down[kButtonOk]);
}

TEST_F(ButtonFoldTest, ClickIn800x600ClientMapsTo640x480AndIsOkForOneFrame) {
    game_.inputDevices().SetClientSize(800, 600);
    MouseMove(320, 240);
    MouseButton(0, true);
    const ButtonState& state = Frame();
    EXPECT_EQ(state.mouseX, 256);
    EXPECT_EQ(state.mouseY, 192);
    EXPECT_TRUE(state.leftClick);
    EXPECT_TRUE(state.down[kButtonOk]);
    EXPECT_TRUE(state.pressed[kButtonOk]);
    // Still held: no new click, OK released.
    Frame();
    EXPECT_FALSE(game_.buttons().leftClick);
    EXPECT_EQ(Edges(kButtonOk), "..r");
    MouseButton(0, false);
    MouseButton(1, true);
    Frame();
    EXPECT_EQ(Edges(kButtonCancel), "p..");
}

TEST_F(ButtonFoldTest, ClickOutsideTheScreenIsNoClick) {
    MouseMove(640, 100);
    MouseButton(0, true);
    EXPECT_FALSE(Frame().leftClick);
    EXPECT_FALSE(game_.buttons().down[kButtonOk]);
}

TEST_F(ButtonFoldTest, PointerModeFollowsTheDeviceUsedLast) {
    MouseMove(10, 10);
    EXPECT_EQ(Frame().pointerMode, 1);
    // Mouse still, no key: unchanged.
    EXPECT_EQ(Frame().pointerMode, 1);
    // A key that is not a button: unchanged.
    Key('Q', true);
    EXPECT_EQ(Frame().pointerMode, 1);
    // A key of the table with the mouse still: buttons mode.
    Key(vk::kDown, true);
    EXPECT_EQ(Frame().pointerMode, 0);
    Key(vk::kDown, false);
    EXPECT_EQ(Frame().pointerMode, 0);
    // A mouse button held counts as mouse use even without moving.
    MouseButton(1, true);
    EXPECT_EQ(Frame().pointerMode, 1);
}

TEST_F(ButtonFoldTest, WithoutJoystickOkIsTheKeyboardAndTheClick) {
    // A joystick unplugged with its OK button's press still unread leaves nothing behind.
    AttachJoystick();
    JoyButton(1, true);
    PlatformEvent removed;
    removed.kind = Kind::JoyRemoved;
    Send(removed);
    EXPECT_FALSE(Frame().down[kButtonOk]);
    EXPECT_EQ(game_.inputDevices().firstJoystick(), nullptr);
    Key(vk::kReturn, true);
    EXPECT_EQ(Frame().pressed[kButtonOk], 1);
    Key(vk::kReturn, false);
    Frame();
    MouseMove(5, 5);
    MouseButton(0, true);
    EXPECT_EQ(Frame().pressed[kButtonOk], 1);
}

// Down and up both arrive between two frames: the frame after them still sees the press.
TEST_F(ButtonFoldTest, KeyTapShorterThanAFrameIsPressedForOneFrame) {
    Key('Z', true);
    Key('Z', false);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "p..");
    EXPECT_TRUE(game_.buttons().down[kButtonOk]);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "..r");
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "...");
}

TEST_F(ButtonFoldTest, MouseTapsShorterThanAFrameAreClicks) {
    MouseMove(100, 100);
    MouseButton(0, true);
    MouseButton(0, false);
    EXPECT_TRUE(Frame().leftClick);
    EXPECT_EQ(Edges(kButtonOk), "p..");
    EXPECT_FALSE(Frame().leftClick);
    EXPECT_EQ(Edges(kButtonOk), "..r");
    MouseButton(1, true);
    MouseButton(1, false);
    EXPECT_TRUE(Frame().rightClick);
    EXPECT_EQ(Edges(kButtonCancel), "p..");
    EXPECT_FALSE(Frame().rightClick);
}

// Auto-repeat presses while a key is held change nothing, and the frame after the release reads
// it released: a press remembered for one frame does not outlast that frame.
TEST_F(ButtonFoldTest, HeldKeyWithAutoRepeatIsReleasedInTheFrameAfterItsRelease) {
    Key('Z', true);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "p..");
    Key('Z', true);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), ".c.");
    Key('Z', true);  // a repeat, then the release, before the same frame
    Key('Z', false);
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "..r");
    Frame();
    EXPECT_EQ(Edges(kButtonOk), "...");
}

}  // namespace
}  // namespace zepa
