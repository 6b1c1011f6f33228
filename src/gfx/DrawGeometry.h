// Where a draw lands, one axis at a time. A destination pixel p (centre c = p + 0.5) maps to the
// texel coordinate u = c / scale - origin, measured from the source rectangle's edge (computed in
// double precision, exactly this way, by every drawing path). The pixel is covered when
// 0 <= u < extent. Scale +-1 copies texel floor(u); any other scale interpolates between texels
// floor(u - 0.5) and the next one (both clamped into the rectangle) with the weight
// floor(fraction * 256). Filtering runs along each texture row first, then between the two
// filtered rows.
#pragma once

#include <cstdint>
#include <vector>

namespace zepa {

struct AxisSample {
    int i0 = 0;          // first texel, 0-based inside the source rectangle
    int i1 = 0;          // second texel (equal to i0 for exact copies)
    uint8_t weight = 0;  // of i1, in 1/256
};

struct AxisMap {
    int first = 0;                    // first covered destination pixel
    bool nearest = true;              // scale +-1: exact copies
    std::vector<AxisSample> samples;  // one per covered pixel, in destination order
    bool empty() const { return samples.empty(); }
    int count() const { return static_cast<int>(samples.size()); }
};

// Fills `out` with the covered pixels of 0..limit-1. A zero, infinite or NaN scale or origin
// covers nothing.
void BuildAxisMap(double scale, double origin, int extent, int limit, AxisMap& out);

}  // namespace zepa
