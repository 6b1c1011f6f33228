// A small ARGB raster for drawing the demo game's pictures in code, written out as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zepa::assetgen {

class CPainter {
  public:
    CPainter(int width, int height, uint32_t fill = 0x00000000u);

    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, uint32_t argb);

    void FillRect(int x, int y, int w, int h, uint32_t argb);
    // A top-to-bottom gradient between two colours over the rectangle.
    void VerticalGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom);
    // Filled ellipse with a one-pixel soft edge, blended over what is there.
    void FillEllipse(double cx, double cy, double rx, double ry, uint32_t argb);
    // Rectangle outline `thickness` pixels wide.
    void Frame(int x, int y, int w, int h, int thickness, uint32_t argb);
    // Scatters `count` small dots of the colour with a fixed seed (stars, rain).
    void Scatter(int count, uint32_t argb, uint32_t seed);

    // PNG with alpha. False on failure.
    bool WritePng(const std::string& path) const;

  private:
    void Blend(int x, int y, uint32_t argb, double coverage);

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

// Packs a colour.
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace zepa::assetgen
