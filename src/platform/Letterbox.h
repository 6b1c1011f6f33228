// Placement of the 4:3 picture in a window of any size (fullscreen, high-DPI) and the mapping of
// window positions back to the engine's client pixels.
#pragma once

#include "platform/Platform.h"

namespace zepa {

// The largest 4:3 rectangle centred in a width x height area.
Rect LetterboxRect(int width, int height);

// Maps (x, y) given in a width x height window onto a client of clientWidth x clientHeight pixels
// through the letterbox (positions in the bars map outside 0..client size).
void WindowToClient(int width, int height, int clientWidth, int clientHeight, int& x, int& y);

}  // namespace zepa
