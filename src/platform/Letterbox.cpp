#include "platform/Letterbox.h"

#include <cstdint>

namespace zepa {

Rect LetterboxRect(int width, int height) {
    Rect box{0, 0, width, height};
    if (static_cast<int64_t>(width) * kScreenHeight > static_cast<int64_t>(height) * kScreenWidth) {
        const int boxWidth = height * kScreenWidth / kScreenHeight;
        box.left = (width - boxWidth) / 2;
        box.right = box.left + boxWidth;
    } else {
        const int boxHeight = width * kScreenHeight / kScreenWidth;
        box.top = (height - boxHeight) / 2;
        box.bottom = box.top + boxHeight;
    }
    return box;
}

void WindowToClient(int width, int height, int clientWidth, int clientHeight, int& x, int& y) {
    const Rect box = LetterboxRect(width, height);
    if (box.Width() <= 0 || box.Height() <= 0) return;
    x = static_cast<int>(static_cast<int64_t>(x - box.left) * clientWidth / box.Width());
    y = static_cast<int>(static_cast<int64_t>(y - box.top) * clientHeight / box.Height());
}

}  // namespace zepa
