// A slow, straightforward compositor that states the drawing rules pixel by pixel; the fast one
// must produce the same pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/Matrix.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"

namespace zepa::testing {

class ReferenceCompositor {
  public:
    ReferenceCompositor() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u) {}

    void SetScale(float sx, float sy) {
        scaleX_ = sx;
        scaleY_ = sy;
    }
    void Draw(const CTexture* texture, const Rect* source, const Vector3* position, uint32_t color);

    std::vector<uint32_t>& pixels() { return pixels_; }

  private:
    std::vector<uint32_t> pixels_;
    float scaleX_ = 1;
    float scaleY_ = 1;
};

}  // namespace zepa::testing
