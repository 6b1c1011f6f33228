// The window's icon: the game's own "icon.png" in its folder when there is one that decodes, else
// the engine's, drawn in code (a star on a night-blue tile).
#pragma once

#include "platform/ImageIo.h"

namespace zepa {

class ILog;
class IWindow;

// Icons larger than this on a side are not used (the engine's own is used instead).
inline constexpr int kMaxIconSide = 512;
inline constexpr const char* kGameIconFile = "icon.png";

// The engine's own icon, `size` x `size` pixels.
DecodedImage EngineIcon(int size);
// The game's icon, or the engine's; a game icon that does not decode is reported to `log`.
DecodedImage ChooseWindowIcon(ILog& log);
void SetWindowIcon(IWindow& window, ILog& log);

}  // namespace zepa
