// Drawing a list of textured rectangles with the two baselines the compositor is measured
// against: SDL2's software renderer and pixman OVER. Both benches that compare against them
// (the synthetic stress frame and the stress game's captured frame) use these.
#pragma once

#include <SDL2/SDL.h>
#include <pixman.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace zepa::bench {

// Straight (not premultiplied) ARGB pixels, row after row.
struct BaselineImage {
    int width = 0;
    int height = 0;
    bool opaque = false;  // no alpha channel: drawn as a copy when unmodulated
    std::vector<uint32_t> pixels;
};

// One draw: the image's source rectangle stretched over the screen rectangle, optionally
// mirrored along either axis, modulated by an ARGB colour (0xFFFFFFFF: none).
struct BaselineDraw {
    int image = 0;
    int sourceLeft = 0, sourceTop = 0, sourceWidth = 0, sourceHeight = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool mirrorX = false;
    bool mirrorY = false;
    uint32_t color = 0xFFFFFFFFu;
};

// SDL_CreateSoftwareRenderer over a 640 x 480 XRGB surface, SDL_RenderCopyEx with colour and
// alpha modulation.
class SdlListRenderer {
  public:
    explicit SdlListRenderer(const std::vector<BaselineImage>& images);
    ~SdlListRenderer();
    SdlListRenderer(const SdlListRenderer&) = delete;
    SdlListRenderer& operator=(const SdlListRenderer&) = delete;
    bool ok() const { return renderer_ != nullptr; }
    void Frame(const std::vector<BaselineDraw>& draws);

  private:
    SDL_Surface* target_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::vector<SDL_Texture*> textures_;
};

// pixman_image_composite32 into a 640 x 480 x8r8g8b8 image: SRC for unmodulated opaque images,
// OVER otherwise, a solid mask for modulation, a transform for scaling and mirroring.
class PixmanListRenderer {
  public:
    PixmanListRenderer(const std::vector<BaselineImage>& images, const std::vector<BaselineDraw>& draws);
    ~PixmanListRenderer();
    PixmanListRenderer(const PixmanListRenderer&) = delete;
    PixmanListRenderer& operator=(const PixmanListRenderer&) = delete;
    // `draws` must be the list given to the constructor (its masks are prepared there).
    void Frame(const std::vector<BaselineDraw>& draws);

  private:
    std::vector<uint32_t> target_;
    pixman_image_t* destination_ = nullptr;
    std::vector<std::vector<uint32_t>> bits_;
    std::vector<bool> opaque_;
    std::vector<pixman_image_t*> images_;
    std::vector<pixman_image_t*> masks_;
};

// Milliseconds of processor time per frame: the median batch per renderer, the renderers taking
// turns so that other programs sharing the machine disturb all of them alike, after a warm-up
// batch each.
std::vector<double> TimeInTurns(const std::vector<std::function<void()>>& renderers,
                                const std::vector<int>& frames, int rounds);

}  // namespace zepa::bench
