#include "app/WindowIcon.h"

#include <array>
#include <cmath>
#include <vector>

#include "platform/Log.h"
#include "platform/Platform.h"
#include "resources/ResourceFiles.h"

namespace zepa {
namespace {

constexpr uint32_t kTileColor = 0xFF1B2A4Au;
constexpr uint32_t kStarColor = 0xFFF5D76Eu;
constexpr int kEngineIconSize = 64;
constexpr int kSamples = 4;  // per axis, for smooth edges

struct Point {
    double x;
    double y;
};

// A five-pointed star centred in the unit square, points alternating outer and inner.
std::array<Point, 10> StarOutline() {
    std::array<Point, 10> points{};
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 0.42 : 0.17;
        const double angle = -pi / 2 + i * pi / 5;
        points[i] = {0.5 + radius * std::cos(angle), 0.53 + radius * std::sin(angle)};
    }
    return points;
}

bool Inside(const std::array<Point, 10>& polygon, Point p) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

uint32_t Mix(uint32_t from, uint32_t to, int weight, int total) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (from >> shift) & 0xFF;
        const int b = (to >> shift) & 0xFF;
        out |= static_cast<uint32_t>((a * (total - weight) + b * weight + total / 2) / total) << shift;
    }
    return out;
}

}  // namespace

DecodedImage EngineIcon(int size) {
    DecodedImage icon;
    icon.width = size;
    icon.height = size;
    icon.pixels.resize(static_cast<size_t>(size) * size);
    const std::array<Point, 10> star = StarOutline();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    covered += Inside(
                        star, {(x + (sx + 0.5) / kSamples) / size, (y + (sy + 0.5) / kSamples) / size});
            icon.pixels[static_cast<size_t>(y) * size + x] =
                Mix(kTileColor, kStarColor, covered, kSamples * kSamples);
        }
    }
    return icon;
}

DecodedImage ChooseWindowIcon(ILog& log) {
    std::vector<uint8_t> bytes;
    if (ReadLooseFile(kGameIconFile, bytes, log)) {
        DecodedImage icon;
        if (DecodeImage(bytes.data(), bytes.size(), kMaxIconSide, icon)) return icon;
        log.Warning(std::string("zepa: ") + kGameIconFile + " is not an image of at most " +
                    std::to_string(kMaxIconSide) + " pixels a side; the engine's icon is used");
    }
    return EngineIcon(kEngineIconSize);
}

void SetWindowIcon(IWindow& window, ILog& log) {
    const DecodedImage icon = ChooseWindowIcon(log);
    window.SetIcon(icon.pixels.data(), icon.width, icon.height);
}

}  // namespace zepa
