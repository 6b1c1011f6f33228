// The compositor: draws textures into the 640 x 480 back buffer. One instance per game object;
// every drawable receives it in Draw.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace zepa {

// The 640 x 480 XRGB back buffer.
class CBackBuffer {
  public:
    CBackBuffer() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u) {}
    void Clear(uint32_t color) { std::fill(pixels_.begin(), pixels_.end(), color); }
    uint32_t* Pixels() { return pixels_.data(); }
    const uint32_t* Pixels() const { return pixels_.data(); }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kScreenWidth + x]; }

  private:
    std::vector<uint32_t> pixels_;
};

class CSpriteBatch {
  public:
    CBackBuffer& BackBuffer() { return backBuffer_; }
    const CBackBuffer& BackBuffer() const { return backBuffer_; }
    void Begin() { inFrame_ = true; }
    void End() { inFrame_ = false; }
    bool InFrame() const { return inFrame_; }

  private:
    CBackBuffer backBuffer_;
    bool inFrame_ = false;
};

}  // namespace zepa
