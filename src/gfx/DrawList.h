// The draw calls of one frame, kept to tell whether the next frame would draw exactly the same
// picture. A call is described by everything that decides its pixels: the texture (its address and
// content stamp), the source rectangle, the position, the modulation colour and the transform.
// Two equal lists over the same cleared buffer draw the same picture, as long as no texture they
// name was destroyed in between (a new one at the same address may have the same stamp).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/Matrix.h"
#include "platform/Platform.h"

namespace zepa {

class CTexture;

struct DrawCommand {
    const CTexture* texture = nullptr;  // compared, never dereferenced once the frame is over
    uint64_t textureStamp = 0;
    bool hasSource = false;
    Rect source{};
    bool hasPosition = false;
    Vector3 position{};
    uint32_t color = 0;
    Matrix4x4 transform{};

    // Bitwise equality of the floats: equal bits draw equal pixels.
    bool operator==(const DrawCommand& other) const;
};

DrawCommand MakeDrawCommand(const CTexture* texture, const Rect* source, const Vector3* position,
                            uint32_t color, const Matrix4x4& transform);

class CDrawList {
  public:
    void Clear(uint32_t clearColor) {
        clearColor_ = clearColor;
        commands_.clear();
    }
    void Add(const DrawCommand& command) { commands_.push_back(command); }
    const std::vector<DrawCommand>& commands() const { return commands_; }
    uint32_t clearColor() const { return clearColor_; }
    void Swap(CDrawList& other) {
        commands_.swap(other.commands_);
        std::swap(clearColor_, other.clearColor_);
    }

    bool operator==(const CDrawList& other) const {
        return clearColor_ == other.clearColor_ && commands_ == other.commands_;
    }

  private:
    uint32_t clearColor_ = 0;
    std::vector<DrawCommand> commands_;
};

}  // namespace zepa
