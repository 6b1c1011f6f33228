// The compositor on a stress frame, next to SDL2's software renderer and pixman drawing the same
// list. Prints milliseconds per frame and the ratios.
//
// The frame: one opaque 640 x 480 background, six 300 x 480 characters with alpha (one mirrored,
// one modulated 0xFF888888, two partly off screen), ten 600 x 150 window frames with per-pixel
// alpha 0xC0, and 256 sprites of 64 x 64 from an atlas with their own alpha modulation, a quarter
// of them scaled 2x.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BaselineRenderers.h"
#include "gfx/RowKernels.h"
#include "gfx/SpriteBatch.h"

namespace zepa {
namespace {

struct Image {
    int width = 0;
    int height = 0;
    uint32_t format = D3DFMT_A8R8G8B8;
    std::vector<uint32_t> pixels;  // straight ARGB
};

struct BenchDraw {
    int image = 0;
    Rect source;
    int x = 0;  // screen top-left of the drawn rectangle
    int y = 0;
    int scale = 1;
    bool mirrored = false;
    uint32_t color = 0xFFFFFFFFu;
};

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | (r & 255) << 16 | (g & 255) << 8 | (b & 255);
}

Image Background() {
    Image image{640, 480, D3DFMT_R8G8B8, {}};
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) image.pixels.push_back(Argb(255, x / 3, y / 2, (x + y) / 5));
    }
    return image;
}

// An opaque ellipse with a soft rim on a transparent field.
Image Character(int seed) {
    Image image{300, 480, D3DFMT_A8R8G8B8, {}};
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 300; ++x) {
            const double dx = (x - 150) / 130.0, dy = (y - 260) / 220.0;
            const double rim = (1.0 - std::sqrt(dx * dx + dy * dy)) * 40.0;
            const uint32_t alpha = static_cast<uint32_t>(std::clamp(rim * 255.0, 0.0, 255.0));
            image.pixels.push_back(alpha ? Argb(alpha, 60 * seed + x / 2, y / 2, 200 - x / 3) : 0);
        }
    }
    return image;
}

Image WindowFrame() {
    Image image{600, 150, D3DFMT_A8R8G8B8, {}};
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 600; ++x) image.pixels.push_back(Argb(0xC0, 20 + y / 4, 30 + x / 20, 120));
    }
    return image;
}

// 16 x 16 discs of 64 x 64 with a radial alpha falloff.
Image Atlas() {
    Image image{1024, 1024, D3DFMT_A8R8G8B8, {}};
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const double dx = (x % 64) - 31.5, dy = (y % 64) - 31.5;
            const double falloff = 1.0 - std::sqrt(dx * dx + dy * dy) / 32.0;
            const uint32_t alpha = static_cast<uint32_t>(std::clamp(falloff * 400.0, 0.0, 255.0));
            image.pixels.push_back(alpha ? Argb(alpha, x / 4, y / 4, 255 - x / 8) : 0);
        }
    }
    return image;
}

std::vector<BenchDraw> StressFrame() {
    std::vector<BenchDraw> draws;
    draws.push_back({0, {0, 0, 640, 480}, 0, 0, 1, false, 0xFFFFFFFFu});
    const int characterX[6] = {-120, 40, 170, 300, 420, 520};
    for (int i = 0; i < 6; ++i) {
        BenchDraw draw{1 + i, {0, 0, 300, 480}, characterX[i], 0, 1, i == 2, 0xFFFFFFFFu};
        if (i == 3) draw.color = 0xFF888888u;
        draws.push_back(draw);
    }
    for (int i = 0; i < 10; ++i) draws.push_back({7, {0, 0, 600, 150}, 20, i * 33, 1, false, 0xFFFFFFFFu});
    for (int i = 0; i < 256; ++i) {
        const int left = (i % 16) * 64, top = (i / 16) * 64;
        const uint32_t alpha = 0x40 + (i * 53) % 192;
        draws.push_back({8,
                         {left, top, left + 64, top + 64},
                         (i * 97) % 640 - 32,
                         (i * 61) % 480 - 32,
                         i % 4 == 0 ? 2 : 1,
                         false,
                         alpha << 24 | 0xFFFFFFu});
    }
    return draws;
}

class OursRenderer {
  public:
    explicit OursRenderer(const std::vector<Image>& images) {
        for (const Image& image : images)
            textures_.push_back(
                CTexture::CreateFromPixels(image.pixels.data(), image.width, image.height, image.format));
    }
    void Frame(const std::vector<BenchDraw>& draws) {
        batch_.Begin();
        for (const BenchDraw& draw : draws) {
            Vector3 at{float(draw.x), float(draw.y), 0};
            if (draw.mirrored) {
                batch_.SetTransform(MatrixScaling(-1, 1, 1));
                at.x = -float(draw.x + draw.source.Width());
            } else if (draw.scale != 1) {
                batch_.SetTransform(MatrixScaling(float(draw.scale), float(draw.scale), 1));
                at = Vector3{at.x / draw.scale, at.y / draw.scale, 0};
            }
            batch_.Draw(textures_[draw.image].get(), &draw.source, &at, draw.color);
            if (draw.mirrored || draw.scale != 1) batch_.SetTransform(MatrixIdentity());
        }
        batch_.End();
    }
    void SetRowKernels(const RowKernelSet& kernels) { batch_.SetRowKernels(kernels); }
    const char* KernelName() const { return batch_.rowKernels().name; }

  private:
    std::vector<std::unique_ptr<CTexture>> textures_;
    CSpriteBatch batch_;
};

// The same images and draws for the baselines.
std::vector<bench::BaselineImage> BaselineImages(const std::vector<Image>& images) {
    std::vector<bench::BaselineImage> result;
    for (const Image& image : images)
        result.push_back({image.width, image.height, image.format == D3DFMT_R8G8B8, image.pixels});
    return result;
}

std::vector<bench::BaselineDraw> BaselineDraws(const std::vector<BenchDraw>& draws) {
    std::vector<bench::BaselineDraw> result;
    for (const BenchDraw& d : draws) {
        result.push_back({d.image, d.source.left, d.source.top, d.source.Width(), d.source.Height(), d.x, d.y,
                          d.source.Width() * d.scale, d.source.Height() * d.scale, d.mirrored, false,
                          d.color});
    }
    return result;
}

}  // namespace
}  // namespace zepa

int main(int argc, char** argv) {
    using namespace zepa;
    std::vector<Image> images{Background()};
    for (int i = 0; i < 6; ++i) images.push_back(Character(i));
    images.push_back(WindowFrame());
    images.push_back(Atlas());
    const std::vector<BenchDraw> draws = StressFrame();

    OursRenderer ours(images);
    if (argc > 1 && std::string(argv[1]) == "--zepa-only") {  // for profiling
        const int frames = argc > 2 ? std::atoi(argv[2]) : 2000;
        for (int i = 0; i < frames; ++i) ours.Frame(draws);
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--groups") {  // where our frame's time goes, per kernel set
        std::vector<std::pair<std::string, std::vector<BenchDraw>>> groups{
            {"background", {draws.begin(), draws.begin() + 1}},
            {"characters", {draws.begin() + 1, draws.begin() + 7}},
            {"window frames", {draws.begin() + 7, draws.begin() + 17}},
            {"sprites 1x", {}},
            {"sprites 2x", {}},
            {"whole frame", draws}};
        for (size_t i = 17; i < draws.size(); ++i)
            groups[draws[i].scale == 1 ? 3 : 4].second.push_back(draws[i]);
        std::vector<const RowKernelSet*> sets;
        for (const char* name : {"avx512", "avx2", "sse2"})
            if (const RowKernelSet* set = FindRowKernels(name)) sets.push_back(set);
        std::printf("  %-16s", "ms/frame");
        for (const RowKernelSet* set : sets) std::printf(" %9s", set->name);
        std::printf("\n");
        for (const auto& [name, part] : groups) {
            std::vector<std::function<void()>> runs;
            for (const RowKernelSet* set : sets)
                runs.push_back([&, set] {
                    ours.SetRowKernels(*set);
                    ours.Frame(part);
                });
            const std::vector<double> ms = bench::TimeInTurns(runs, std::vector<int>(sets.size(), 10), 15);
            std::printf("  %-16s", name.c_str());
            for (double value : ms) std::printf(" %9.3f", value);
            std::printf("\n");
        }
        return 0;
    }
    const std::vector<bench::BaselineImage> baselineImages = BaselineImages(images);
    const std::vector<bench::BaselineDraw> baselineDraws = BaselineDraws(draws);
    bench::PixmanListRenderer pixman(baselineImages, baselineDraws);
    bench::SdlListRenderer sdl(baselineImages);
    if (!sdl.ok()) {
        std::fprintf(stderr, "compositor bench: SDL software renderer unavailable: %s\n", SDL_GetError());
        return 1;
    }
    const int rounds = argc > 2 && std::string(argv[1]) == "--rounds" ? std::max(1, std::atoi(argv[2])) : 25;
    const std::vector<double> ms = bench::TimeInTurns(
        {[&] { ours.Frame(draws); }, [&] { pixman.Frame(baselineDraws); }, [&] { sdl.Frame(baselineDraws); }},
        {20, 20, 4}, rounds);
    const double oursMs = ms[0], pixmanMs = ms[1], sdlMs = ms[2];
    std::printf("stress frame: %zu draws, blend kernel %s, median of %d batches\n", draws.size(),
                ours.KernelName(), rounds);
    std::printf("  zepa compositor   %7.3f ms/frame\n", oursMs);
    std::printf("  pixman OVER       %7.3f ms/frame   (%.2fx ours)\n", pixmanMs, pixmanMs / oursMs);
    std::printf("  SDL2 software     %7.3f ms/frame   (%.2fx ours)\n", sdlMs, sdlMs / oursMs);
    return 0;
}
