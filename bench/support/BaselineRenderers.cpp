#include "BaselineRenderers.h"

#include <algorithm>
#include <ctime>

namespace zepa::bench {
namespace {

uint32_t Premultiplied(uint32_t p) {
    const uint32_t a = p >> 24;
    return a << 24 | ((p >> 16 & 255) * a / 255) << 16 | ((p >> 8 & 255) * a / 255) << 8 |
           (p & 255) * a / 255;
}

// Per axis: source coordinate = origin + destination offset * step.
void SetAxis(pixman_transform_t& transform, int axis, int sourceStart, int sourceExtent, int screenExtent,
             bool mirrored) {
    const double step = static_cast<double>(sourceExtent) / screenExtent;
    transform.matrix[axis][axis] = pixman_double_to_fixed(mirrored ? -step : step);
    transform.matrix[axis][2] = pixman_int_to_fixed(mirrored ? sourceStart + sourceExtent : sourceStart);
}

double TimeBatch(const std::function<void()>& frame, int frames) {
    const std::clock_t start = std::clock();
    for (int i = 0; i < frames; ++i) frame();
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / frames;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

SdlListRenderer::SdlListRenderer(const std::vector<BaselineImage>& images) {
    // XRGB like our back buffer and pixman's target: no destination alpha to keep.
    target_ = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_RGB888);
    renderer_ = target_ ? SDL_CreateSoftwareRenderer(target_) : nullptr;
    if (!renderer_) return;
    for (const BaselineImage& image : images) {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(image.pixels.data()), image.width,
                                               image.height, 32, image.width * 4, SDL_PIXELFORMAT_ARGB8888);
        SDL_Texture* texture = surface ? SDL_CreateTextureFromSurface(renderer_, surface) : nullptr;
        SDL_FreeSurface(surface);
        if (texture)
            SDL_SetTextureBlendMode(texture, image.opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        textures_.push_back(texture);
    }
}

SdlListRenderer::~SdlListRenderer() {
    for (SDL_Texture* texture : textures_)
        if (texture) SDL_DestroyTexture(texture);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (target_) SDL_FreeSurface(target_);
}

void SdlListRenderer::Frame(const std::vector<BaselineDraw>& draws) {
    for (const BaselineDraw& draw : draws) {
        SDL_Texture* texture = textures_[static_cast<size_t>(draw.image)];
        if (!texture) continue;
        SDL_SetTextureColorMod(texture, draw.color >> 16 & 255, draw.color >> 8 & 255, draw.color & 255);
        SDL_SetTextureAlphaMod(texture, draw.color >> 24);
        const SDL_Rect source{draw.sourceLeft, draw.sourceTop, draw.sourceWidth, draw.sourceHeight};
        const SDL_Rect target{draw.x, draw.y, draw.width, draw.height};
        const int flip = (draw.mirrorX ? SDL_FLIP_HORIZONTAL : 0) | (draw.mirrorY ? SDL_FLIP_VERTICAL : 0);
        SDL_RenderCopyEx(renderer_, texture, &source, &target, 0.0, nullptr,
                         static_cast<SDL_RendererFlip>(flip));
    }
    SDL_RenderFlush(renderer_);
}

PixmanListRenderer::PixmanListRenderer(const std::vector<BaselineImage>& images,
                                       const std::vector<BaselineDraw>& draws)
    : target_(640 * 480) {
    destination_ = pixman_image_create_bits(PIXMAN_x8r8g8b8, 640, 480, target_.data(), 640 * 4);
    for (const BaselineImage& image : images) {
        std::vector<uint32_t> premultiplied(image.pixels.size());
        std::transform(image.pixels.begin(), image.pixels.end(), premultiplied.begin(), Premultiplied);
        bits_.push_back(std::move(premultiplied));
        opaque_.push_back(image.opaque);
        images_.push_back(pixman_image_create_bits(image.opaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8,
                                                   image.width, image.height, bits_.back().data(),
                                                   image.width * 4));
    }
    // One mask per draw: alpha modulation as a solid alpha, colour modulation per component.
    for (const BaselineDraw& draw : draws) {
        pixman_image_t* mask = nullptr;
        if (draw.color != 0xFFFFFFFFu) {
            auto wide = [](uint32_t v) { return static_cast<uint16_t>((v & 255) * 257); };
            const pixman_color_t color{wide(draw.color >> 16), wide(draw.color >> 8), wide(draw.color),
                                       wide(draw.color >> 24)};
            mask = pixman_image_create_solid_fill(&color);
            if ((draw.color & 0xFFFFFFu) != 0xFFFFFFu) pixman_image_set_component_alpha(mask, 1);
        }
        masks_.push_back(mask);
    }
}

PixmanListRenderer::~PixmanListRenderer() {
    for (pixman_image_t* mask : masks_)
        if (mask) pixman_image_unref(mask);
    for (pixman_image_t* image : images_) pixman_image_unref(image);
    pixman_image_unref(destination_);
}

void PixmanListRenderer::Frame(const std::vector<BaselineDraw>& draws) {
    for (size_t i = 0; i < draws.size() && i < masks_.size(); ++i) {
        const BaselineDraw& draw = draws[i];
        const size_t image = static_cast<size_t>(draw.image);
        pixman_image_t* source = images_[image];
        const pixman_op_t op = opaque_[image] && !masks_[i] ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
        const bool exact = draw.width == draw.sourceWidth && draw.height == draw.sourceHeight;
        if (exact && !draw.mirrorX && !draw.mirrorY) {
            pixman_image_composite32(op, source, masks_[i], destination_, draw.sourceLeft, draw.sourceTop, 0,
                                     0, draw.x, draw.y, draw.width, draw.height);
            continue;
        }
        pixman_transform_t transform;
        pixman_transform_init_identity(&transform);
        SetAxis(transform, 0, draw.sourceLeft, draw.sourceWidth, draw.width, draw.mirrorX);
        SetAxis(transform, 1, draw.sourceTop, draw.sourceHeight, draw.height, draw.mirrorY);
        pixman_image_set_filter(source, exact ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
        pixman_image_set_transform(source, &transform);
        pixman_image_composite32(op, source, masks_[i], destination_, 0, 0, 0, 0, draw.x, draw.y, draw.width,
                                 draw.height);
        pixman_image_set_transform(source, nullptr);
        pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
}

std::vector<double> TimeInTurns(const std::vector<std::function<void()>>& renderers,
                                const std::vector<int>& frames, int rounds) {
    std::vector<std::vector<double>> batches(renderers.size());
    for (size_t i = 0; i < renderers.size(); ++i) TimeBatch(renderers[i], frames[i]);  // warm up
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < renderers.size(); ++i)
            batches[i].push_back(TimeBatch(renderers[i], frames[i]));
    }
    std::vector<double> medians;
    for (const std::vector<double>& times : batches) medians.push_back(Median(times));
    return medians;
}

}  // namespace zepa::bench
