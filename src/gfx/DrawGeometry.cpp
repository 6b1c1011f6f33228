#include "gfx/DrawGeometry.h"

#include <algorithm>
#include <cmath>

namespace zepa {
namespace {

// floor for -1 <= value < 2^31 (truncation is floor from zero up).
int FloorSmall(double value) {
    const int truncated = static_cast<int>(value);
    return truncated > value ? truncated - 1 : truncated;
}

// u is known to lie in [0, extent) here.
AxisSample NearestSample(double u) {
    const int index = static_cast<int>(u);
    return AxisSample{index, index, 0};
}

AxisSample FilteredSample(double u, int extent) {
    const double s = u - 0.5;
    const int i0 = FloorSmall(s);
    const int weight = std::min(255, static_cast<int>((s - i0) * 256.0));
    return AxisSample{std::clamp(i0, 0, extent - 1), std::clamp(i0 + 1, 0, extent - 1),
                      static_cast<uint8_t>(weight)};
}

// c / scale, computed by multiplication where that gives the identical double: scales that are
// powers of two (1, 2, 0.5, -1, ...) have exact reciprocals.
class Divider {
  public:
    explicit Divider(double scale) : scale_(scale) {
        int exponent = 0;
        const double mantissa = std::frexp(scale, &exponent);
        exact_ = mantissa == 0.5 || mantissa == -0.5;
        reciprocal_ = 1.0 / scale;
    }
    double operator()(double c) const { return exact_ ? c * reciprocal_ : c / scale_; }

  private:
    double scale_;
    double reciprocal_;
    bool exact_;
};

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
    const Divider divide(scale);
    const int begin = static_cast<int>(low);
    const int end = static_cast<int>(high);
    out.samples.resize(static_cast<size_t>(end - begin) + 1);
    int covered = 0;
    double centre = begin + 0.5;  // p + 0.5, exact when stepped by 1
    for (int p = begin; p <= end; ++p, centre += 1.0) {
        const double u = divide(centre) - origin;
        if (!(u >= 0.0 && u < extent)) {
            if (covered) break;  // coverage is one run of pixels
            continue;
        }
        if (!covered) out.first = p;
        out.samples[covered++] = out.nearest ? NearestSample(u) : FilteredSample(u, extent);
    }
    out.samples.resize(static_cast<size_t>(covered));
}

}  // namespace zepa
