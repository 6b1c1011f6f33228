#include "Painter.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cmath>

namespace zepa::assetgen {
namespace {

uint32_t Channel(uint32_t argb, int shift) {
    return (argb >> shift) & 0xFF;
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double value = Channel(a, shift) * (1 - t) + Channel(b, shift) * t;
        out |= static_cast<uint32_t>(std::lround(value)) << shift;
    }
    return out;
}

}  // namespace

CPainter::CPainter(int width, int height, uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void CPainter::Set(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = argb;
}

void CPainter::FillRect(int x, int y, int w, int h, uint32_t argb) {
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) Set(col, row, argb);
    }
}

void CPainter::VerticalGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
    for (int row = 0; row < h; ++row) {
        const uint32_t colour = Mix(top, bottom, h > 1 ? static_cast<double>(row) / (h - 1) : 0.0);
        FillRect(x, y + row, w, 1, colour);
    }
}

void CPainter::Blend(int x, int y, uint32_t argb, double coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
    uint32_t& target = pixels_[static_cast<size_t>(y) * width_ + x];
    const double alpha = Channel(argb, 24) / 255.0 * std::min(coverage, 1.0);
    const double targetAlpha = Channel(target, 24) / 255.0;
    const double outAlpha = alpha + targetAlpha * (1 - alpha);
    uint32_t out = static_cast<uint32_t>(std::lround(outAlpha * 255)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const double value =
            outAlpha > 0
                ? (Channel(argb, shift) * alpha + Channel(target, shift) * targetAlpha * (1 - alpha)) /
                      outAlpha
                : 0;
        out |= static_cast<uint32_t>(std::lround(value)) << shift;
    }
    target = out;
}

void CPainter::FillEllipse(double cx, double cy, double rx, double ry, uint32_t argb) {
    for (int y = static_cast<int>(cy - ry - 1); y <= static_cast<int>(cy + ry + 1); ++y) {
        for (int x = static_cast<int>(cx - rx - 1); x <= static_cast<int>(cx + rx + 1); ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            const double distance = std::sqrt(dx * dx + dy * dy);
            // Distance to the edge in pixels, roughly: one pixel of soft edge.
            const double edge = (1 - distance) * std::min(rx, ry);
            Blend(x, y, argb, edge + 0.5);
        }
    }
}

void CPainter::Frame(int x, int y, int w, int h, int thickness, uint32_t argb) {
    FillRect(x, y, w, thickness, argb);
    FillRect(x, y + h - thickness, w, thickness, argb);
    FillRect(x, y, thickness, h, argb);
    FillRect(x + w - thickness, y, thickness, h, argb);
}

void CPainter::Scatter(int count, uint32_t argb, uint32_t seed) {
    uint32_t state = seed;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFF;
    };
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(next() % static_cast<uint32_t>(width_));
        const int y = static_cast<int>(next() % static_cast<uint32_t>(height_));
        Blend(x, y, argb, 1.0);
    }
}

bool CPainter::WritePng(const std::string& path) const {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels_.data()), width_, height_, 32, width_ * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return false;
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

}  // namespace zepa::assetgen
