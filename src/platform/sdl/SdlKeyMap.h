// Translates SDL input events into the engine's: key codes onto Windows virtual-key codes (0 for
// keys the engine does not know), mouse buttons and the joystick's buttons and axes onto
// PlatformEvent.
#pragma once

#include <SDL2/SDL.h>

#include "platform/Platform.h"

namespace zepa {

int VirtualKeyFromSdl(SDL_Keycode key);

// Left is button 0, right button 1; false (nothing to report) for every other button.
bool MouseButtonEventFromSdl(const SDL_MouseButtonEvent& event, PlatformEvent& out);
// The vertical wheel in notches, up (away from the player) positive whatever the system's scroll
// direction; false for a purely horizontal scroll.
bool MouseWheelEventFromSdl(const SDL_MouseWheelEvent& event, PlatformEvent& out);
// The button index passes through unchanged.
void JoyButtonEventFromSdl(const SDL_JoyButtonEvent& event, PlatformEvent& out);
// Axes 0 (x) and 1 (y), scaled to -1000..1000; false for the other axes.
bool JoyAxisEventFromSdl(const SDL_JoyAxisEvent& event, PlatformEvent& out);

}  // namespace zepa
