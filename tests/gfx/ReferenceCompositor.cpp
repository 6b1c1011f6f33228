#include "ReferenceCompositor.h"

#include <algorithm>
#include <cmath>

namespace zepa::testing {
namespace {

// Round-half-up of x / 255 by plain integer division.
uint32_t RoundDiv255(uint32_t x) {
    return (2 * x + 255) / 510;
}

uint32_t Channel(uint32_t value, int index) {
    return (value >> (8 * index)) & 0xFF;
}

struct Tap {
    bool covered = false;
    int i0 = 0;
    int i1 = 0;
    int weight = 0;
};

// One axis: centre of pixel p, texel coordinate u = c / scale - origin.
Tap MapAxis(int p, double scale, double origin, int extent) {
    Tap tap;
    if (scale == 0.0 || !std::isfinite(scale) || !std::isfinite(origin)) return tap;
    const double u = (p + 0.5) / scale - origin;
    if (!(u >= 0.0 && u < extent)) return tap;
    tap.covered = true;
    if (scale == 1.0 || scale == -1.0) {
        tap.i0 = tap.i1 = static_cast<int>(std::floor(u));
        return tap;
    }
    const double s = u - 0.5;
    const double base = std::floor(s);
    tap.weight = std::min(255, static_cast<int>((s - base) * 256.0));
    tap.i0 = std::clamp(static_cast<int>(base), 0, extent - 1);
    tap.i1 = std::clamp(static_cast<int>(base) + 1, 0, extent - 1);
    return tap;
}

uint32_t Lerp(uint32_t a, uint32_t b, int weight) {
    return (a * (256 - weight) + b * weight + 128) / 256;
}

// Along each texture row first, then between the two rows, channel by channel.
uint32_t Sample(const CTexture& texture, const Rect& rect, const Tap& column, const Tap& row) {
    uint32_t result = 0;
    for (int channel = 0; channel < 4; ++channel) {
        auto texel = [&](int x, int y) {
            return Channel(texture.TexelAt(rect.left + x, rect.top + y), channel);
        };
        const uint32_t upper = Lerp(texel(column.i0, row.i0), texel(column.i1, row.i0), column.weight);
        const uint32_t lower = Lerp(texel(column.i0, row.i1), texel(column.i1, row.i1), column.weight);
        result |= Lerp(upper, lower, row.weight) << (8 * channel);
    }
    return result;
}

uint32_t Blend(uint32_t dst, uint32_t texel, uint32_t color) {
    const uint32_t alpha = RoundDiv255(Channel(texel, 3) * Channel(color, 3));
    uint32_t result = 0xFF000000u;
    for (int channel = 0; channel < 3; ++channel) {
        const uint32_t c = RoundDiv255(Channel(texel, channel) * Channel(color, channel));
        result |= RoundDiv255(c * alpha + Channel(dst, channel) * (255 - alpha)) << (8 * channel);
    }
    return result;
}

}  // namespace

void ReferenceCompositor::Draw(const CTexture* texture, const Rect* source, const Vector3* position,
                               uint32_t color) {
    if (!texture || (color >> 24) == 0) return;
    const Rect wanted = source ? *source : Rect{0, 0, texture->textureWidth(), texture->textureHeight()};
    const Rect rect{std::max(wanted.left, 0), std::max(wanted.top, 0),
                    std::min(wanted.right, texture->textureWidth()),
                    std::min(wanted.bottom, texture->textureHeight())};
    if (rect.left >= rect.right || rect.top >= rect.bottom) return;
    const Vector3 at = position ? *position : Vector3{};
    const double originX = at.x + (static_cast<double>(rect.left) - wanted.left);
    const double originY = at.y + (static_cast<double>(rect.top) - wanted.top);
    std::vector<Tap> columns(kScreenWidth);
    for (int x = 0; x < kScreenWidth; ++x) columns[x] = MapAxis(x, scaleX_, originX, rect.Width());
    for (int y = 0; y < kScreenHeight; ++y) {
        const Tap row = MapAxis(y, scaleY_, originY, rect.Height());
        if (!row.covered) continue;
        for (int x = 0; x < kScreenWidth; ++x) {
            if (!columns[x].covered) continue;
            const uint32_t texel = Sample(*texture, rect, columns[x], row);
            if (RoundDiv255((texel >> 24) * (color >> 24)) == 0) continue;  // touches nothing
            uint32_t& dst = pixels_[static_cast<size_t>(y) * kScreenWidth + x];
            dst = Blend(dst, texel, color);
        }
    }
}

}  // namespace zepa::testing
