// Axis maps against their definition evaluated pixel by pixel: pixel p is covered when
// u = (p + 0.5) / scale - origin lies in [0, extent); scale +-1 takes texel floor(u), other
// scales the taps floor(u - 0.5) and the next (clamped) with weight floor(fraction * 256).
#include "gfx/DrawGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace zepa {
namespace {

AxisMap Definition(double scale, double origin, int extent, int limit) {
    AxisMap map;
    map.nearest = scale == 1.0 || scale == -1.0;
    if (extent <= 0 || scale == 0.0 || !std::isfinite(scale) || !std::isfinite(origin)) return map;
    for (int p = 0; p < limit; ++p) {
        const double u = (p + 0.5) / scale - origin;
        if (!(u >= 0.0 && u < extent)) continue;
        if (map.samples.empty()) map.first = p;
        EXPECT_EQ(map.first + map.count(), p) << "coverage is not one run";
        AxisSample sample;
        if (map.nearest) {
            sample.i0 = sample.i1 = static_cast<int>(std::floor(u));
        } else {
            const double s = u - 0.5;
            const double base = std::floor(s);
            sample.weight = static_cast<uint8_t>(std::min(255, static_cast<int>((s - base) * 256.0)));
            sample.i0 = std::clamp(static_cast<int>(base), 0, extent - 1);
            sample.i1 = std::clamp(static_cast<int>(base) + 1, 0, extent - 1);
        }
        map.samples.push_back(sample);
    }
    return map;
}

void ExpectSameMap(double scale, double origin, int extent, int limit, AxisMap& reused) {
    const AxisMap expected = Definition(scale, origin, extent, limit);
    BuildAxisMap(scale, origin, extent, limit, reused);
    ASSERT_EQ(reused.count(), expected.count())
        << "scale " << scale << " origin " << origin << " extent " << extent;
    if (expected.empty()) return;
    ASSERT_EQ(reused.first, expected.first) << "scale " << scale << " origin " << origin;
    ASSERT_EQ(reused.nearest, expected.nearest);
    for (int i = 0; i < expected.count(); ++i) {
        const AxisSample& a = reused.samples[i];
        const AxisSample& b = expected.samples[i];
        ASSERT_TRUE(a.i0 == b.i0 && a.i1 == b.i1 && a.weight == b.weight)
            << "scale " << scale << " origin " << origin << " extent " << extent << " sample " << i;
    }
}

TEST(AxisMap, MatchesTheDefinitionForEveryKindOfPlacement) {
    std::mt19937 random(7);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    AxisMap reused;  // one map refilled each time, like the compositor's
    const double scales[] = {1, -1, 2, -2, 0.5, -0.5, 3, 1.5, -0.75, 0.3, 4.0 / 3.0, 1e-9, 1e9};
    for (double scale : scales) {
        for (int trial = 0; trial < 300; ++trial) {
            const int extent = std::uniform_int_distribution<int>(1, 700)(random);
            // Aim the transformed edges at the screen's edges, inside and outside.
            const double edge = uniform(-800, 1400) + (trial % 3 == 0 ? 0.0 : uniform(0, 1));
            const double origin = trial % 5 == 0 ? std::round(edge / scale) : edge / scale;
            ExpectSameMap(scale, origin, extent, 640, reused);
        }
    }
    for (int trial = 0; trial < 2000; ++trial) {
        const double scale = uniform(-5, 5);
        ExpectSameMap(scale, uniform(-700, 700) / scale, std::uniform_int_distribution<int>(1, 300)(random),
                      480, reused);
    }
}

TEST(AxisMap, DegenerateInputsCoverNothing) {
    AxisMap map;
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    for (double scale : {0.0, inf, -inf, nan}) {
        BuildAxisMap(1.0, 0.0, 10, 640, map);  // a filled map first: the next call must empty it
        ASSERT_FALSE(map.empty());
        BuildAxisMap(scale, 0.0, 10, 640, map);
        EXPECT_TRUE(map.empty()) << scale;
    }
    for (double origin : {inf, -inf, nan, 1e300, -1e300}) {
        BuildAxisMap(2.0, origin, 10, 640, map);
        EXPECT_TRUE(map.empty()) << origin;
    }
    BuildAxisMap(1.0, 0.0, 0, 640, map);
    EXPECT_TRUE(map.empty());
    BuildAxisMap(1.0, 0.0, 10, 0, map);
    EXPECT_TRUE(map.empty());
    BuildAxisMap(1.0, 640.0, 10, 640, map);  // just beyond the right edge
    EXPECT_TRUE(map.empty());
    BuildAxisMap(-1.0, 0.0, 10, 640, map);  // mirrored at 0: entirely off screen
    EXPECT_TRUE(map.empty());
}

}  // namespace
}  // namespace zepa
