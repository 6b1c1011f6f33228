#include "gfx/DrawList.h"

#include <cstring>

#include "gfx/Texture.h"

namespace zepa {
namespace {

bool SameBits(const float* a, const float* b, size_t count) {
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

bool DrawCommand::operator==(const DrawCommand& other) const {
    if (texture != other.texture || textureStamp != other.textureStamp || color != other.color ||
        hasSource != other.hasSource || hasPosition != other.hasPosition)
        return false;
    if (hasSource && !SameRect(source, other.source)) return false;
    const float mine[3] = {position.x, position.y, position.z};
    const float theirs[3] = {other.position.x, other.position.y, other.position.z};
    if (hasPosition && !SameBits(mine, theirs, 3)) return false;
    return SameBits(&transform.m[0][0], &other.transform.m[0][0], 16);
}

DrawCommand MakeDrawCommand(const CTexture* texture, const Rect* source, const Vector3* position,
                            uint32_t color, const Matrix4x4& transform) {
    DrawCommand command;
    command.texture = texture;
    command.textureStamp = texture ? texture->contentStamp() : 0;
    command.hasSource = source != nullptr;
    if (source) command.source = *source;
    command.hasPosition = position != nullptr;
    if (position) command.position = *position;
    command.color = color;
    command.transform = transform;
    return command;
}

}  // namespace zepa
