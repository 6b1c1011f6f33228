// The 640 x 480 back buffer: 32-bit XRGB pixels, the X byte always 0xFF.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/PixelMemory.h"
#include "platform/Platform.h"

namespace zepa {

class CBackBuffer {
  public:
    CBackBuffer() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u) {}
    // Fills the buffer with `color`'s RGB.
    void Clear(uint32_t color) {
        ++writeAccesses_;
        std::fill(pixels_.begin(), pixels_.end(), color | 0xFF000000u);
    }
    uint32_t* Pixels() {
        ++writeAccesses_;
        return pixels_.data();
    }
    const uint32_t* Pixels() const { return pixels_.data(); }
    uint32_t* Row(int y) {
        ++writeAccesses_;
        return pixels_.data() + static_cast<size_t>(y) * kScreenWidth;
    }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kScreenWidth + x]; }
    // Counts every access that may write (Clear and the non-const Pixels and Row): unchanged since
    // a reading means nothing can have written the buffer since.
    uint64_t writeAccesses() const { return writeAccesses_; }

  private:
    PixelVector<uint32_t> pixels_;
    uint64_t writeAccesses_ = 0;
};

}  // namespace zepa
