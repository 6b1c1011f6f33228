// Translates SDL input events into the engine's: key codes onto Windows virtual-key codes (0 for
// keys the engine does not know), mouse buttons and the joystick's buttons and axes onto
// PlatformEvent.
#pragma once

#include <SDL2/SDL.h>

#include "platform/Platform.h"

namespace zepa {

int VirtualKeyFromSdl(SDL_Keycode key);

// Left is button 0, right button 1, middle button 2; false (nothing to report) for the others.
bool MouseButtonEventFromSdl(const SDL_MouseButtonEvent& event, PlatformEvent& out);
// The vertical wheel in notches, up (away from the player) positive whatever the system's scroll
// direction; false for a purely horizontal scroll.
bool MouseWheelEventFromSdl(const SDL_MouseWheelEvent& event, PlatformEvent& out);
// The button index passes through unchanged.
void JoyButtonEventFromSdl(const SDL_JoyButtonEvent& event, PlatformEvent& out);
// Axes 0 (x) and 1 (y), scaled to -1000..1000; false for the other axes.
bool JoyAxisEventFromSdl(const SDL_JoyAxisEvent& event, PlatformEvent& out);
// The first hat (a pad's D-pad) as the directions held; false for the other hats.
bool JoyHatEventFromSdl(const SDL_JoyHatEvent& event, PlatformEvent& out);

// Pads SDL knows as game controllers. A, B, Start, Back, X, Y and the left and right shoulder
// buttons become joystick buttons 1 to 8, the numbers option.ini's BUTTON_OK, BUTTON_CANCEL,
// BUTTON_START, BUTTON_SELECT, BUTTON_X, BUTTON_Y, BUTTON_L and BUTTON_R name by default; the
// D-pad's buttons change `dpad` (the hat directions held) and become a hat event. False for the
// other buttons.
inline constexpr int kControllerButtonNumbers[] = {1, 2, 3, 4, 5, 6, 7, 8};
bool ControllerButtonEventFromSdl(const SDL_ControllerButtonEvent& event, int& dpad, PlatformEvent& out);
// The left stick as axes 0 (x) and 1 (y), scaled as the joystick's; false for the other axes.
bool ControllerAxisEventFromSdl(const SDL_ControllerAxisEvent& event, PlatformEvent& out);

}  // namespace zepa
