#include "gfx/DrawGeometry.h"

#include <algorithm>
#include <cmath>

namespace zepa {
namespace {

// floor for -1 <= value < 2^31 (truncation is floor from zero up).
[[gnu::always_inline]] inline int FloorSmall(double value) {
    const int truncated = static_cast<int>(value);
    return truncated > value ? truncated - 1 : truncated;
}

// u is known to lie in [0, extent) here.
[[gnu::always_inline]] inline AxisSample NearestSample(double u) {
    const int index = static_cast<int>(u);
    return AxisSample{index, index, 0};
}

[[gnu::always_inline]] inline AxisSample FilteredSample(double u, int extent) {
    const double s = u - 0.5;
    const int i0 = FloorSmall(s);
    const int weight = std::min(255, static_cast<int>((s - i0) * 256.0));
    return AxisSample{std::clamp(i0, 0, extent - 1), std::clamp(i0 + 1, 0, extent - 1),
                      static_cast<uint8_t>(weight)};
}

// c / scale, computed by multiplication where that gives the identical double: scales that are
// powers of two (1, 2, 0.5, -1, ...) have exact reciprocals.
bool HasExactReciprocal(double scale) {
    int exponent = 0;
    const double mantissa = std::frexp(scale, &exponent);
    return mantissa == 0.5 || mantissa == -0.5;
}

// The texel coordinate u of pixel p: (p + 0.5) / scale - origin.
template <bool kExactReciprocal>
struct TexelCoordinate {
    double scale;
    double reciprocal;
    double origin;
    double operator()(int p) const {
        const double centre = p + 0.5;
        return (kExactReciprocal ? centre * reciprocal : centre / scale) - origin;
    }
};

// Fills the samples of the covered pixels in [begin, end]. The texel coordinate is monotonic in
// p, so coverage is one run: its ends are found from both sides, and the run filled without
// further tests.
template <typename Coordinate>
void FillSamples(const Coordinate& coordinate, int begin, int end, int extent, AxisMap& out) {
    auto covered = [&](int p) {
        const double u = coordinate(p);
        return u >= 0.0 && u < extent;
    };
    int first = begin;
    while (first <= end && !covered(first)) ++first;
    int last = end;
    while (last > first && !covered(last)) --last;
    if (first > end) {
        out.samples.clear();
        return;
    }
    out.first = first;
    out.samples.resize(static_cast<size_t>(last - first) + 1);
    AxisSample* sample = out.samples.data();
    if (out.nearest) {
        for (int p = first; p <= last; ++p) *sample++ = NearestSample(coordinate(p));
    } else {
        for (int p = first; p <= last; ++p) *sample++ = FilteredSample(coordinate(p), extent);
    }
}

}  // namespace

void BuildAxisMap(double scale, double origin, int extent, int limit, AxisMap& out) {
    out.first = 0;
    out.nearest = scale == 1.0 || scale == -1.0;
    if (extent <= 0 || limit <= 0 || scale == 0.0 || !std::isfinite(scale) || !std::isfinite(origin)) {
        out.samples.clear();
        return;
    }
    // Candidate pixels from the transformed edges, one pixel of margin each side; the exact
    // test decides.
    const double edgeA = scale * origin;
    const double edgeB = scale * (origin + extent);
    const double low = std::clamp(std::floor(std::min(edgeA, edgeB)) - 1.0, 0.0, double(limit - 1));
    const double high = std::clamp(std::ceil(std::max(edgeA, edgeB)) + 1.0, 0.0, double(limit - 1));
    if (std::isnan(low) || std::isnan(high)) {
        out.samples.clear();
        return;
    }
    const int begin = static_cast<int>(low);
    const int end = static_cast<int>(high);
    if (HasExactReciprocal(scale)) {
        FillSamples(TexelCoordinate<true>{scale, 1.0 / scale, origin}, begin, end, extent, out);
    } else {
        FillSamples(TexelCoordinate<false>{scale, 1.0 / scale, origin}, begin, end, extent, out);
    }
}

}  // namespace zepa
