// Frame cost of the engine on a stress game, against the bare compositor time of the same draw list.
//
// The stress game (written into a temporary folder, pictures copied from the generated demo game):
// a background, six characters, up to 256 visible sprites moving and fading, up to ten open message
// windows typing Japanese text and two open selection windows. It runs in this process on the
// headless backend. For every measured frame:
//   full  = UpdateFrame() + DrawFrame(), as the main loop runs them;
//   bare  = the same frame's draw list replayed straight into a second sprite batch (clear, then
//           every Draw call with the transform that was current), with no scene code around it.
// Times are CPU time of this thread (medians), so other load on the machine does not inflate them.
// The draw list is captured by drawing the frame once more with CSpriteBatch::Draw wrapped at link
// time (see CMakeLists.txt); the replayed picture is compared with the engine's back buffer, so a
// draw that bypassed the batch would show up as a mismatch.
//
//   frame [--quick] [DEMO_GAME_DIR]   prints the stress figures, then the scale table; lines starting with
//                           "RESULT|" are collected by scripts/run-bench. Fails when a replay
//                           differs from the engine's frame or the stress scene is incomplete;
//                           --quick runs few frames (a CTest smoke run).
//   frame --memory FRAMES [DEMO_GAME_DIR]   plays the stress game for FRAMES frames and reports the
//                           peak RSS after the warm-up against the peak at the end (nothing may
//                           grow); fails when it grows by 2 MB or more.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "BaselineRenderers.h"
#include "app/GameSystem.h"
#include "app/WindowProcedure.h"
#include "core/SceneRequests.h"
#include "gfx/SpriteBatch.h"
#include "gfx/Texture.h"
#include "platform/ImageIo.h"
#include "platform/headless/HeadlessBackend.h"
#include "scenes/SaveResume.h"
#include "support/ScriptFiles.h"

#ifndef ZEPA_DEMO_GAME_DIR
#define ZEPA_DEMO_GAME_DIR "build/demo/game"
#endif

namespace fs = std::filesystem;

// One Draw call as the scene issued it.
struct RecordedDraw {
    const zepa::CTexture* texture = nullptr;
    bool hasSource = false;
    zepa::Rect source{};
    bool hasPosition = false;
    zepa::Vector3 position{};
    uint32_t color = 0;
    zepa::Matrix4x4 transform{};
};

namespace {
std::vector<RecordedDraw>* g_recording = nullptr;
}  // namespace

// The link-time wrap of CSpriteBatch::Draw: records the call when a recording is on, then draws.
extern "C" void __real__ZN4zepa12CSpriteBatch4DrawEPKNS_8CTextureEPKNS_4RectEPKNS_7Vector3Ej(
    zepa::CSpriteBatch* self, const zepa::CTexture* texture, const zepa::Rect* source,
    const zepa::Vector3* position, uint32_t color);
extern "C" void __wrap__ZN4zepa12CSpriteBatch4DrawEPKNS_8CTextureEPKNS_4RectEPKNS_7Vector3Ej(
    zepa::CSpriteBatch* self, const zepa::CTexture* texture, const zepa::Rect* source,
    const zepa::Vector3* position, uint32_t color) {
    if (g_recording) {
        RecordedDraw draw;
        draw.texture = texture;
        draw.hasSource = source != nullptr;
        if (source) draw.source = *source;
        draw.hasPosition = position != nullptr;
        if (position) draw.position = *position;
        draw.color = color;
        draw.transform = self->GetTransform();
        g_recording->push_back(draw);
    }
    __real__ZN4zepa12CSpriteBatch4DrawEPKNS_8CTextureEPKNS_4RectEPKNS_7Vector3Ej(self, texture, source,
                                                                                 position, color);
}

namespace {

// Time spent on this thread's CPU: other load on the machine (builds, CI) does not count as our frame
// time, which keeps the medians comparable between runs.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec));
    }
};

struct StressConfig {
    int sprites = 256;
    int typingWindows = 10;
};

struct FrameFigures {
    double fullMs = 0;    // median update + draw
    double updateMs = 0;  // median update
    double drawMs = 0;    // median draw
    double bareMs = 0;    // median replay of the same draw list
    size_t draws = 0;     // draw calls in the last measured frame
    int mismatchedFrames = 0;
    long long peakRssKb = 0;  // after the measured frames, before the baselines' own images exist
    // The last frame's draw list drawn by the bare compositor, SDL2's software renderer and pixman
    // (processor time, in turns; zero when not measured).
    double listOursMs = 0;
    double listSdlMs = 0;
    double listPixmanMs = 0;
};

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

const char* const kJapaneseText =
    "　雨の音が、朝からずっと続いている。窓の外では、街の灯りがにじんで見えた。"
    "今夜は流れ星が見えるはずだったのに、空は厚い雲におおわれたままだ。"
    "それでも、丘の上まで行けば、きっと何かが見える気がした。";

std::string SpriteSetup(int index) {
    const std::string i = std::to_string(index);
    const int x = (index % 16) * 36, y = (index / 16) * 26;
    return "Sprite.SourcePicture(" + i + ", false, 1)\nSprite.SourceRect(" + i + ", 0, 0, 64, 64, 0)\n" +
           "Sprite.MovePos(" + i + ", " + std::to_string(x) + ", " + std::to_string(y) + ", 0)\n" +
           "Sprite.SetVisible(" + i + ", true)\n";
}

// Moves every sprite to the other end of its path and changes its opacity over `frames` frames.
std::string SpriteAnimation(int count, bool out, int frames) {
    std::string text;
    for (int index = 0; index < count; ++index) {
        const std::string i = std::to_string(index);
        const int x = (index % 16) * 36 + (out ? 40 : 0), y = (index / 16) * 26 + (out ? 30 : 0);
        text += "Sprite.MovePos(" + i + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
                std::to_string(frames) + ")\n";
        text += "Sprite.SetColor(" + i + ", " + (out ? "128" : "255") + ", 255, 255, 255, " +
                std::to_string(frames) + ")\n";
    }
    return text;
}

std::string StressScript(const StressConfig& config) {
    std::string text = "Background.Set(\"room.png\", \"flash\")\n";
    for (int slot = 0; slot < 6; ++slot) {
        static const char* const kNames[] = {"aoi.png", "ren.png", "aoi_smile.png"};
        text += "Character.SetGraph(" + std::to_string(slot) + ", \"" + kNames[slot % 3] +
                "\", \"flash\", 1, " + std::to_string(slot * 100 - 40) + ", 96)\n";
    }
    text += "Picture.Load(1, \"star.png\")\n";
    for (int i = 0; i < config.sprites; ++i) text += SpriteSetup(i);
    for (int w = 0; w < config.typingWindows; ++w) {
        const std::string n = std::to_string(w);
        text += "MessageWindow[" + n + "].FontSize(16)\nMessageWindow[" + n + "].SkinType(" +
                std::to_string(w % 2) + ")\n";
        text += "MessageWindow.Open(" + n + ", " + std::to_string((w % 2) * 320) + ", " +
                std::to_string((w / 2) * 96) + ", 320, 92, \"flash\", true, true)\n";
    }
    for (int s = 0; s < 2; ++s) {
        const std::string n = std::to_string(s);
        text += "SelectWindow.Open(" + n + ", " + std::to_string(40 + s * 300) +
                ", 300, 260, 120, 16, \"flash\", true, true)\n";
        text += "SelectWindow.ContentsNum(" + n + ", 3)\nSelectWindow.SetColumn(" + n + ", 1)\n";
        text += "SelectWindow.ContentsHeight(" + n + ", 28)\n";
        for (int c = 0; c < 3; ++c)
            text += "SelectWindow.SetContents(" + n + ", " + std::to_string(c) + ", \"選択肢 " +
                    std::to_string(c) + " / Choice\")\n";
    }
    text += "*loop\n";
    for (int w = 0; w < config.typingWindows; ++w)
        text += "MessageWindow[" + std::to_string(w) + "].PrintText(\"" + kJapaneseText + "\")\n";
    text += SpriteAnimation(config.sprites, true, 60) + "Wait(60)\n";
    for (int w = 0; w < config.typingWindows; ++w)
        text += "MessageWindow[" + std::to_string(w) + "].PrintText(\"" + kJapaneseText + "\")\n";
    text += SpriteAnimation(config.sprites, false, 60) + "Wait(60)\n";
    text += "Jump(loop)\n";
    return text;
}

// A fresh game folder: the demo's pictures, the stress scripts, nothing else.
bool WriteStressGame(const fs::path& folder, const fs::path& demo, const StressConfig& config) {
    return zepa::bench::WriteBenchGame(folder, demo, "# stress game\n", StressScript(config));
}

// A figure of this process's /proc status in kB (VmRSS, VmHWM), -1 when missing.
long long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::atoll(line.c_str() + prefix.size());
    }
    return -1;
}

long long PeakRssKb() {
    return StatusKb("VmHWM");
}

// The draws of a list without clearing first: what the baselines are timed on as well.
void DrawList(zepa::CSpriteBatch& batch, const std::vector<RecordedDraw>& draws) {
    batch.Begin();
    for (const RecordedDraw& d : draws) {
        batch.SetTransform(d.transform);
        batch.Draw(d.texture, d.hasSource ? &d.source : nullptr, d.hasPosition ? &d.position : nullptr,
                   d.color);
    }
    batch.End();
}

// Replays a captured draw list into `batch` as DrawFrame would have drawn it.
void Replay(zepa::CSpriteBatch& batch, const std::vector<RecordedDraw>& draws) {
    batch.BackBuffer().Clear(0xFF000000u);
    DrawList(batch, draws);
}

struct BaselineList {
    std::vector<zepa::bench::BaselineImage> images;
    std::vector<zepa::bench::BaselineDraw> draws;
};

// A texture as the baselines see it: the whole power-of-two texture, padding included.
zepa::bench::BaselineImage TextureImage(const zepa::CTexture& texture) {
    zepa::bench::BaselineImage image{
        texture.textureWidth(), texture.textureHeight(), texture.allOpaque(), {}};
    image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) image.pixels.push_back(texture.TexelAt(x, y));
    return image;
}

// The screen span [first, end) of a rectangle edge pair under the compositor's mapping (pixel p is
// covered when (p + 0.5) / scale - origin lies within the extent); false when it covers nothing.
bool ScreenSpan(double scale, double origin, int extent, int& first, int& size) {
    const double a = scale * origin, b = scale * (origin + extent);
    if (!std::isfinite(a) || !std::isfinite(b)) return false;
    const double low = std::clamp(std::min(a, b), -1e6, 1e6), high = std::clamp(std::max(a, b), -1e6, 1e6);
    first = static_cast<int>(std::lround(low));
    size = static_cast<int>(std::lround(high)) - first;
    return size > 0;
}

// The captured list in the baselines' terms, with the same source clipping and position rule.
BaselineList ToBaselines(const std::vector<RecordedDraw>& list) {
    BaselineList result;
    std::map<const zepa::CTexture*, int> imageOf;
    for (const RecordedDraw& d : list) {
        if (!d.texture || (d.color >> 24) == 0) continue;
        const zepa::Rect whole{0, 0, d.texture->textureWidth(), d.texture->textureHeight()};
        const zepa::Rect wanted = d.hasSource ? d.source : whole;
        const zepa::Rect rect{std::max(wanted.left, 0), std::max(wanted.top, 0),
                              std::min(wanted.right, whole.right), std::min(wanted.bottom, whole.bottom)};
        if (rect.left >= rect.right || rect.top >= rect.bottom) continue;
        const double originX = (d.hasPosition ? d.position.x : 0.0) + (rect.left - wanted.left);
        const double originY = (d.hasPosition ? d.position.y : 0.0) + (rect.top - wanted.top);
        const double scaleX = d.transform.m[0][0], scaleY = d.transform.m[1][1];
        zepa::bench::BaselineDraw draw;
        if (!ScreenSpan(scaleX, originX, rect.Width(), draw.x, draw.width) ||
            !ScreenSpan(scaleY, originY, rect.Height(), draw.y, draw.height))
            continue;
        auto found = imageOf.find(d.texture);
        if (found == imageOf.end()) {
            found = imageOf.emplace(d.texture, static_cast<int>(result.images.size())).first;
            result.images.push_back(TextureImage(*d.texture));
        }
        draw.image = found->second;
        draw.sourceLeft = rect.left;
        draw.sourceTop = rect.top;
        draw.sourceWidth = rect.Width();
        draw.sourceHeight = rect.Height();
        draw.mirrorX = scaleX < 0;
        draw.mirrorY = scaleY < 0;
        draw.color = d.color;
        result.draws.push_back(draw);
    }
    return result;
}

// Times the bare compositor, SDL2's software renderer and pixman on one captured list.
void TimeAgainstBaselines(const std::vector<RecordedDraw>& list, int rounds, FrameFigures& figures) {
    const BaselineList baseline = ToBaselines(list);
    zepa::bench::PixmanListRenderer pixman(baseline.images, baseline.draws);
    zepa::bench::SdlListRenderer sdl(baseline.images);
    if (!sdl.ok()) {
        std::fprintf(stderr, "frame bench: SDL software renderer unavailable: %s\n", SDL_GetError());
        return;
    }
    auto ours = std::make_unique<zepa::CSpriteBatch>();
    const std::vector<double> ms =
        zepa::bench::TimeInTurns({[&] { DrawList(*ours, list); }, [&] { pixman.Frame(baseline.draws); },
                                  [&] { sdl.Frame(baseline.draws); }},
                                 {20, 20, 4}, rounds);
    figures.listOursMs = ms[0];
    figures.listPixmanMs = ms[1];
    figures.listSdlMs = ms[2];
}

// The stress game (in the current folder) started as a new game in the main scene; null, with a
// line on stderr, when it does not start.
std::unique_ptr<zepa::CGameSystem> StartStressGame(zepa::PlatformBackend& backend, const char* title) {
    backend.window->Create(title, zepa::kScreenWidth, zepa::kScreenHeight, false);
    auto game = std::make_unique<zepa::CGameSystem>();
    game->randomSeed = 1u;
    game->sceneRequests().Request("Main");
    zepa::StartNewGame(game->variables(), 0, game->sceneRequests());
    if (game->Initialize(backend)) return game;
    std::fprintf(stderr, "frame bench: the stress game does not start\n");
    return nullptr;
}

FrameFigures RunStress(const fs::path& folder, int warmupFrames, int measuredFrames, int baselineRounds = 0) {
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    FrameFigures figures;
    {
        zepa::PlatformBackend backend = zepa::CreateHeadlessBackend();
        auto game = StartStressGame(backend, "frame bench");
        if (!game) std::exit(1);
        for (int i = 0; i < warmupFrames; ++i) {
            game->UpdateFrame();
            game->DrawFrame();
        }
        auto bare = std::make_unique<zepa::CSpriteBatch>();
        std::vector<double> full, update, draw, replay;
        std::vector<RecordedDraw> list;
        for (int i = 0; i < measuredFrames; ++i) {
            const auto t0 = Clock::now();
            game->UpdateFrame();
            const auto t1 = Clock::now();
            game->DrawFrame();
            const auto t2 = Clock::now();
            update.push_back(Milliseconds(t1 - t0));
            draw.push_back(Milliseconds(t2 - t1));
            full.push_back(Milliseconds(t2 - t0));
            // The same frame again, recording its draw list (not timed), then the bare replay.
            list.clear();
            g_recording = &list;
            game->DrawFrame();
            g_recording = nullptr;
            const auto t3 = Clock::now();
            Replay(*bare, list);
            replay.push_back(Milliseconds(Clock::now() - t3));
            const uint32_t* a = game->spriteBatch().BackBuffer().Pixels();
            const uint32_t* b = bare->BackBuffer().Pixels();
            if (!std::equal(a, a + zepa::kScreenWidth * zepa::kScreenHeight, b)) ++figures.mismatchedFrames;
        }
        if (const char* shot = std::getenv("ZEPA_FRAME_BENCH_SHOT"))
            zepa::WritePng(shot, game->spriteBatch().BackBuffer().Pixels(), zepa::kScreenWidth,
                           zepa::kScreenHeight, zepa::kScreenWidth);
        figures.fullMs = Median(full);
        figures.updateMs = Median(update);
        figures.drawMs = Median(draw);
        figures.bareMs = Median(replay);
        figures.draws = list.size();
        figures.peakRssKb = PeakRssKb();
        if (baselineRounds > 0) TimeAgainstBaselines(list, baselineRounds, figures);
    }
    fs::current_path(before);
    return figures;
}

void Result(const std::string& figure, double value, const std::string& unit, const std::string& baseline,
            double baselineValue, const std::string& goal, const std::string& met) {
    const double ratio = baselineValue > 0 ? value / baselineValue : 0;
    std::printf("RESULT|%s|%.3f %s|%s|%.3f %s|%.2f|%s|%s\n", figure.c_str(), value, unit.c_str(),
                baseline.c_str(), baselineValue, unit.c_str(), ratio, goal.c_str(), met.c_str());
}

int g_scaleRounds = 4;  // one in the quick run

// One row per count; each step's cost per added unit is compared with the average over the whole
// series: growth is linear when no step costs more than 1.5 times its share (room for noise).
bool ScaleSeries(const fs::path& work, const fs::path& demo, const std::string& unit,
                 const std::vector<int>& counts, int warmup, int measured) {
    // The counts take turns over several rounds and each keeps its fastest median, so a slow phase of
    // the machine cannot land on one count only.
    std::vector<FrameFigures> figures(counts.size());
    for (int round = 0; round < g_scaleRounds; ++round) {
        for (size_t i = 0; i < counts.size(); ++i) {
            const int count = counts[i];
            const StressConfig config =
                unit == "sprites" ? StressConfig{count, 10} : StressConfig{256, count};
            if (!WriteStressGame(work, demo, config)) return false;
            const FrameFigures f = RunStress(work, warmup, measured);
            if (round == 0 || f.fullMs < figures[i].fullMs) figures[i] = f;
        }
    }
    const double average =
        (figures.back().fullMs - figures.front().fullMs) / (counts.back() - counts.front());
    for (size_t i = 0; i < counts.size(); ++i) {
        const std::string name = unit == "sprites" ? std::to_string(counts[i]) + " sprites, 10 windows"
                                                   : "256 sprites, " + std::to_string(counts[i]) + " windows";
        std::printf("  %-26s %7.3f ms (%.3f)", name.c_str(), figures[i].fullMs, figures[i].bareMs);
        if (i == 0) {
            std::printf("\n");
            Result("scale: " + name, figures[i].fullMs, "ms", "bare compositor", figures[i].bareMs,
                   "reported", "-");
            continue;
        }
        const double step = (figures[i].fullMs - figures[i - 1].fullMs) / (counts[i] - counts[i - 1]);
        const double share = average > 0 ? step / average : 0;
        std::printf("  +%.2f us per added %s, %.2f of the average\n", step * 1000.0,
                    unit.substr(0, unit.size() - 1).c_str(), share);
        Result("scale: " + name, figures[i].fullMs, "ms", "bare compositor", figures[i].bareMs,
               "step <= 1.5x average (" + std::to_string(share).substr(0, 4) + ")",
               share <= 1.5 ? "yes" : "NO");
    }
    return true;
}

// A long run of the stress game (sprites moving and fading, ten windows typing, every frame
// drawn): the peak RSS once everything has been loaded and used, against the peak at the end.
int RunMemory(const fs::path& work, const fs::path& demo, long long frames) {
    constexpr long long kGrowthLimitKb = 2048;
    if (!WriteStressGame(work, demo, {})) return 1;
    const long long warmup = std::max(2000LL, frames / 10);
    long long warmupPeakKb = -1, endPeakKb = -1;
    const fs::path before = fs::current_path();
    fs::current_path(work);
    {
        zepa::PlatformBackend backend = zepa::CreateHeadlessBackend();
        auto game = StartStressGame(backend, "memory bench");
        if (!game) return 1;
        for (long long frame = 1; frame <= frames; ++frame) {
            game->UpdateFrame();
            game->DrawFrame();
            if (frame == warmup) warmupPeakKb = StatusKb("VmHWM");
            if (frame % std::max(1LL, frames / 10) == 0) {
                std::printf("  frame %lld: rss %lld kB, peak %lld kB\n", frame, StatusKb("VmRSS"),
                            StatusKb("VmHWM"));
                std::fflush(stdout);
            }
        }
        endPeakKb = StatusKb("VmHWM");
    }
    fs::current_path(before);
    std::error_code error;
    fs::remove_all(work, error);
    if (warmupPeakKb < 0) warmupPeakKb = endPeakKb;  // fewer frames than the warm-up
    const long long growthKb = endPeakKb - warmupPeakKb;
    const bool met = growthKb < kGrowthLimitKb;
    std::printf("stress game, %lld frames: peak RSS after %lld warm-up frames %lld kB, at the end %lld kB\n",
                frames, warmup, warmupPeakKb, endPeakKb);
    std::printf(
        "RESULT|memory: stress game peak RSS growth, %lld frames|%lld kB|peak after warm-up|%lld kB|%.3f|"
        "< %lld kB growth|%s\n",
        frames, growthKb, warmupPeakKb,
        warmupPeakKb > 0 ? static_cast<double>(endPeakKb) / warmupPeakKb : 0.0, kGrowthLimitKb,
        met ? "yes" : "NO");
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--memory") {
        const long long frames = std::atoll(argv[2]);
        const fs::path demo = fs::absolute(argc > 3 ? argv[3] : ZEPA_DEMO_GAME_DIR);
        if (frames <= 0 || !fs::exists(demo / "Graphics" / "System" / "WindowBase.png")) {
            std::fprintf(stderr, "frame bench: --memory needs a frame count and the generated demo game\n");
            return 2;
        }
        return RunMemory(fs::temp_directory_path() / ("zepa-memory-bench-" + std::to_string(::getpid())),
                         demo, frames);
    }
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const int first = quick ? 2 : 1;
    const fs::path demo = fs::absolute(argc > first ? argv[first] : ZEPA_DEMO_GAME_DIR);
    if (!fs::exists(demo / "Graphics" / "System" / "WindowBase.png")) {
        std::fprintf(stderr, "frame bench: no generated demo game in %s (build the demo_game target)\n",
                     demo.c_str());
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("zepa-frame-bench-" + std::to_string(::getpid()));
    const int kWarmup = quick ? 10 : 60, kMeasured = quick ? 20 : 240;
    if (quick) g_scaleRounds = 1;

    if (!WriteStressGame(work, demo, {})) return 1;
    const FrameFigures stress = RunStress(work, kWarmup, kMeasured, quick ? 2 : 15);
    const long long stressPeakKb = stress.peakRssKb;
    std::printf(
        "stress frame (256 sprites, 10 typing windows, 2 selection windows, 6 characters): %zu draws\n",
        stress.draws);
    std::printf("  update %.3f ms + draw %.3f ms = %.3f ms/frame (median of %d frames after %d warm-up)\n",
                stress.updateMs, stress.drawMs, stress.fullMs, kMeasured, kWarmup);
    std::printf("  bare compositor, same draw list: %.3f ms/frame; ratio %.2f (goal <= 1.3)\n", stress.bareMs,
                stress.fullMs / stress.bareMs);
    std::printf("  replayed picture differs from the engine's in %d of %d frames\n", stress.mismatchedFrames,
                kMeasured);
    std::printf("  peak RSS of this process after the stress run: %lld kB\n", stressPeakKb);
    const double ratio = stress.fullMs / stress.bareMs;
    Result("frame: stress update+draw", stress.fullMs, "ms", "bare compositor, same draws", stress.bareMs,
           "<= 1.30", stress.mismatchedFrames == 0 ? (ratio <= 1.3 ? "yes" : "NO") : "NO (replay differs)");
    std::printf("RESULT|memory: stress game peak RSS|%lld kB|-|-|-|reported|-\n", stressPeakKb);
    if (stress.listOursMs > 0) {
        std::printf(
            "  the last frame's list: bare compositor %.3f ms, pixman OVER %.3f ms (%.2fx ours), "
            "SDL2 software %.3f ms (%.2fx ours)\n",
            stress.listOursMs, stress.listPixmanMs, stress.listPixmanMs / stress.listOursMs, stress.listSdlMs,
            stress.listSdlMs / stress.listOursMs);
        Result("compositor: stress game frame", stress.listOursMs, "ms", "pixman OVER", stress.listPixmanMs,
               "<= 1.00", stress.listOursMs <= stress.listPixmanMs ? "yes" : "NO");
        Result("compositor: stress game frame", stress.listOursMs, "ms", "SDL2 software renderer",
               stress.listSdlMs, "<= 0.17 (6x faster)",
               stress.listOursMs * 6 <= stress.listSdlMs ? "yes" : "NO");
    }

    // How cost grows: sprites with ten typing windows, typing windows with 256 sprites.
    std::printf("scale (median update+draw ms/frame, fastest of %d rounds; bare compositor ms in brackets)\n",
                g_scaleRounds);
    if (!ScaleSeries(work, demo, "sprites", {0, 64, 128, 256}, kWarmup, kMeasured / 2)) return 1;
    if (!ScaleSeries(work, demo, "windows", {1, 5, 10}, kWarmup, kMeasured / 2)) return 1;
    std::error_code error;
    fs::remove_all(work, error);
    // The figures mean nothing when the replay is not the engine's frame or the stress scene did
    // not come up whole (every sprite, the background, six characters, twelve windows at least).
    if (stress.mismatchedFrames > 0 || stress.draws < 256 + 1 + 6 + 12) {
        std::fprintf(stderr, "frame bench: %d frames differ in the replay, %zu draws in the stress frame\n",
                     stress.mismatchedFrames, stress.draws);
        return 1;
    }
    return 0;
}
