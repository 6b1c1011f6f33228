// Cost of the compositor's change tracking on a frame shaped like the stress game's (a background,
// six characters, 256 sprites, twelve window pieces with text): the same frame composed without
// tracking, with tracking when it changed (record, compare, compose), and with tracking when it
// did not change (record and compare only). Times are medians of this thread's processor time.
// Prints RESULT rows (collected by scripts/run-bench).
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "gfx/SpriteBatch.h"
#include "gfx/Texture.h"

namespace {

double ThreadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

std::unique_ptr<zepa::CTexture> Texture(int width, int height, bool opaque, uint32_t seed) {
    auto texture = zepa::CTexture::CreateBlank(width, height);
    uint32_t* texels = texture->Lock();
    for (int y = 0; y < texture->textureHeight(); ++y) {
        for (int x = 0; x < texture->textureWidth(); ++x) {
            const uint32_t alpha = opaque ? 0xFFu : static_cast<uint32_t>((x * 7 + y * 3 + seed) & 0xFF);
            texels[y * texture->pitch() + x] =
                alpha << 24 | ((x * 5 + seed) & 0xFF) << 16 | (y & 0xFF) << 8 | seed;
        }
    }
    texture->Unlock();
    return texture;
}

struct Scene {
    std::unique_ptr<zepa::CTexture> background = Texture(640, 480, true, 1);
    std::vector<std::unique_ptr<zepa::CTexture>> characters;
    std::unique_ptr<zepa::CTexture> sprite = Texture(64, 64, false, 3);
    std::vector<std::unique_ptr<zepa::CTexture>> windows;
    int offset = 0;  // moves the sprites: a changed frame

    Scene() {
        for (int i = 0; i < 6; ++i) characters.push_back(Texture(200, 380, false, 10 + i));
        for (int i = 0; i < 24; ++i) windows.push_back(Texture(320, 92, false, 40 + i));
    }

    void Draw(zepa::CSpriteBatch& batch) const {
        batch.Draw(background.get(), nullptr, nullptr, 0xFFFFFFFFu);
        for (int i = 0; i < 6; ++i) {
            const zepa::Vector3 at{static_cast<float>(i * 100 - 40), 96, 0};
            batch.Draw(characters[i].get(), nullptr, &at, 0xFFFFFFFFu);
        }
        const zepa::Rect source{0, 0, 64, 64};
        for (int i = 0; i < 256; ++i) {
            const zepa::Vector3 at{static_cast<float>((i % 16) * 36 + offset),
                                   static_cast<float>((i / 16) * 26), 0};
            batch.Draw(sprite.get(), &source, &at, 0xC0FFFFFFu);
        }
        for (int i = 0; i < 24; ++i) {
            const zepa::Vector3 at{static_cast<float>((i % 2) * 320), static_cast<float>((i / 4) * 80), 0};
            batch.Draw(windows[i].get(), nullptr, &at, 0xE0FFFFFFu);
        }
    }
};

// Median time of one frame; `change` alters the scene before each frame or not.
double FrameMs(zepa::CSpriteBatch& batch, Scene& scene, bool change, int frames) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        if (change) scene.offset = (scene.offset + 1) % 8;
        const double start = ThreadMs();
        batch.BeginFrame(0xFF000000u);
        scene.Draw(batch);
        batch.EndFrame();
        times.push_back(ThreadMs() - start);
    }
    return Median(times);
}

}  // namespace

int main(int argc, char**) {
    const int frames = argc > 1 ? 20 : 200;  // any argument: a quick run
    Scene scene;
    auto batch = std::make_unique<zepa::CSpriteBatch>();
    // The three kinds take turns over several rounds, each keeping its fastest median, so that a
    // slow phase of the machine cannot land on one of them only.
    double plain = 1e9, changed = 1e9, unchanged = 1e9;
    for (int round = 0; round < 3; ++round) {
        batch->SetChangeTracking(false);
        plain = std::min(plain, FrameMs(*batch, scene, true, frames));
        batch->SetChangeTracking(true);
        changed = std::min(changed, FrameMs(*batch, scene, true, frames));
        FrameMs(*batch, scene, false, 1);  // composes the scene as it now is
        unchanged = std::min(unchanged, FrameMs(*batch, scene, false, frames));
    }
    std::printf(
        "stress-shaped frame, %d draws: untracked %.3f ms, tracked and changed %.3f ms, tracked and "
        "unchanged %.4f ms\n",
        6 + 1 + 256 + 24, plain, changed, unchanged);
    std::printf(
        "RESULT|tracking: changed frame (record, compare, compose)|%.3f ms|untracked frame|%.3f ms|%.2f|"
        "<= 1.05|%s\n",
        changed, plain, changed / plain, changed <= plain * 1.05 ? "yes" : "NO");
    std::printf(
        "RESULT|tracking: unchanged frame (record, compare)|%.4f ms|untracked frame|%.3f ms|%.4f|<= "
        "0.05|%s\n",
        unchanged, plain, unchanged / plain, unchanged <= plain * 0.05 ? "yes" : "NO");
    return 0;
}
