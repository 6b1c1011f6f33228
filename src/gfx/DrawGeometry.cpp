#include "gfx/DrawGeometry.h"

#include <algorithm>
#include <cmath>

namespace zepa {
namespace {

AxisSample NearestSample(double u) {
    const int index = static_cast<int>(std::floor(u));
    return AxisSample{index, index, 0};
}

AxisSample FilteredSample(double u, int extent) {
    const double s = u - 0.5;
    const double base = std::floor(s);
    const int weight = std::min(255, static_cast<int>((s - base) * 256.0));
    const int i0 = static_cast<int>(base);
    return AxisSample{std::clamp(i0, 0, extent - 1), std::clamp(i0 + 1, 0, extent - 1),
                      static_cast<uint8_t>(weight)};
}

}  // namespace

void BuildAxisMap(double scale, double origin, int extent, int limit, AxisMap& out) {
    out.samples.clear();
    out.first = 0;
    out.nearest = scale == 1.0 || scale == -1.0;
    if (extent <= 0 || limit <= 0 || scale == 0.0 || !std::isfinite(scale) || !std::isfinite(origin)) return;
    // Candidate pixels from the transformed edges, one pixel of margin each side; the exact
    // test below decides.
    const double edgeA = scale * origin;
    const double edgeB = scale * (origin + extent);
    const double low = std::clamp(std::floor(std::min(edgeA, edgeB)) - 1.0, 0.0, double(limit - 1));
    const double high = std::clamp(std::ceil(std::max(edgeA, edgeB)) + 1.0, 0.0, double(limit - 1));
    if (std::isnan(low) || std::isnan(high)) return;
    for (int p = static_cast<int>(low); p <= static_cast<int>(high); ++p) {
        const double u = (p + 0.5) / scale - origin;
        if (!(u >= 0.0 && u < extent)) {
            if (!out.samples.empty()) break;  // coverage is one run of pixels
            continue;
        }
        if (out.samples.empty()) out.first = p;
        out.samples.push_back(out.nearest ? NearestSample(u) : FilteredSample(u, extent));
    }
}

}  // namespace zepa
