// The SDL backend's pad handling on SDL's virtual devices: a game controller's buttons and D-pad,
// a plain joystick's hat, and hot-plugging (a pad plugged in later, and another one taking over
// when the pad in use is unplugged).
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/SdlBackend.h"

namespace zepa {
namespace {

using Kind = PlatformEvent::Kind;

class SdlPadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        backend_ = CreateSdlBackend(error);
        if (!backend_) GTEST_SKIP() << error;
    }
    void TearDown() override { backend_.reset(); }

    std::vector<PlatformEvent> Poll() {
        std::vector<PlatformEvent> events;
        PlatformEvent event;
        while (backend_->events->PollEvent(event)) events.push_back(event);
        return events;
    }
    static int Attach(SDL_JoystickType type, int hats) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = static_cast<Uint16>(type);
        desc.naxes = type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? SDL_CONTROLLER_AXIS_MAX : 2;
        desc.nbuttons = type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? SDL_CONTROLLER_BUTTON_MAX : 12;
        desc.nhats = static_cast<Uint16>(hats);
        return SDL_JoystickAttachVirtualEx(&desc);
    }
    static bool Has(const std::vector<PlatformEvent>& events, Kind kind, int value = -1) {
        for (const PlatformEvent& e : events) {
            const int actual = kind == Kind::JoyButton ? e.button : e.value;
            if (e.kind == kind && (value < 0 || actual == value) && (kind != Kind::JoyButton || e.down))
                return true;
        }
        return false;
    }

    std::optional<PlatformBackend> backend_;
};

TEST_F(SdlPadTest, AGameControllerPluggedInLaterGivesNumberedButtonsAndItsDpadAsAHat) {
    Poll();
    const int index = Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(Has(Poll(), Kind::JoyAdded));
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    const std::vector<PlatformEvent> pressed = Poll();
    EXPECT_TRUE(Has(pressed, Kind::JoyButton, 2));  // B: BUTTON_CANCEL's default number
    EXPECT_FALSE(Has(pressed, Kind::JoyButton, SDL_CONTROLLER_BUTTON_B));  // not the raw button too
    EXPECT_TRUE(Has(pressed, Kind::JoyHat, kHatLeft));
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    EXPECT_TRUE(Has(Poll(), Kind::JoyRemoved));
}

TEST_F(SdlPadTest, APlainJoysticksHatAndAnotherPadTakingOverWhenThePadInUseGoes) {
    Poll();
    const int first = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 1);
    ASSERT_GE(first, 0) << SDL_GetError();
    ASSERT_TRUE(Has(Poll(), Kind::JoyAdded));
    SDL_Joystick* stick = SDL_JoystickOpen(first);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_DOWN);
    EXPECT_TRUE(Has(Poll(), Kind::JoyHat, kHatDown));
    const int second = Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0);
    ASSERT_GE(second, 0) << SDL_GetError();
    EXPECT_FALSE(Has(Poll(), Kind::JoyAdded));  // one pad at a time
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(first);
    const std::vector<PlatformEvent> swapped = Poll();
    EXPECT_TRUE(Has(swapped, Kind::JoyRemoved));
    EXPECT_TRUE(Has(swapped, Kind::JoyAdded));
    SDL_Joystick* pad = SDL_JoystickOpen(0);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_TRUE(Has(Poll(), Kind::JoyButton, 1));
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(0);
}

}  // namespace
}  // namespace zepa
