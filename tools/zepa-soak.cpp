// Soak run: plays a game headless in-process for many frames with seeded random input (keys,
// clicks, joystick) generated as a replay file, while saving and loading every few hundred frames,
// returning to the title with F12 and starting the game again from there. Prints the resident
// set size now and then, fails when the peak grows by more than the allowed amount after the
// warm-up, when the final state dump is not valid JSON, or when the game stops running. The player
// never shuts the program down from the title menu; a game that ends it by itself is started again.
//
//   zepa-soak --game DIR [--frames N] [--seed S] [--warmup N] [--max-growth-kb K] [--replay-out PATH]
//             [--dump-out PATH]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "app/GameSystem.h"
#include "app/Replay.h"
#include "app/StateDump.h"
#include "app/WindowProcedure.h"
#include "core/SceneRequests.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessBackend.h"
#include "scenes/SaveResume.h"
#include "scenes/SceneTitle.h"
#include "script/SaveFile.h"

namespace {

struct SoakOptions {
    std::string gameDir;
    long long frames = 20000;
    unsigned seed = 1;
    long long warmup = 0;  // 0: a tenth of the run, at least 2000 frames
    long long maxGrowthKb = 2048;
    std::string replayOut;
    std::string dumpOut;
};

constexpr int kSaveSlot = 3;
constexpr long long kSaveEvery = 300;
constexpr long long kLoadEvery = 700;
constexpr long long kTitleEvery = 2500;
constexpr long long kTitleStay = 20;
constexpr long long kSettingsStay = 200;

// A value from /proc/self/status in kB (VmRSS, VmHWM); -1 when it cannot be read.
long long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::atoll(line.c_str() + field.size() + 1);
    }
    return -1;
}

// Random input for `frames` frames as replay text: key presses (the buttons and arrows the game
// reads; not Escape, which quits), mouse moves and clicks, joystick buttons and axes, and F12 now and then.
std::string GenerateReplay(long long frames, unsigned seed) {
    static const char* const kKeys[] = {"Return", "Space", "Up",    "Down",    "Left", "Right",
                                        "Z",      "X",     "Shift", "Control", "A",    "S"};
    std::mt19937 random(seed);
    std::ostringstream replay;
    replay << "# zepa-soak input, seed " << seed << "\n";
    for (long long frame = 1; frame <= frames; ++frame) {
        const unsigned roll = random() % 100;
        if (roll < 18) {
            replay << frame << " press " << kKeys[random() % std::size(kKeys)] << "\n";
        } else if (roll < 24) {
            replay << frame << " mouse " << random() % 640 << " " << random() % 480 << "\n";
        } else if (roll < 28) {
            replay << frame << " click " << (random() % 4 == 0 ? "right" : "left") << "\n";
        } else if (roll < 31) {
            const unsigned button = random() % 12;
            replay << frame << " joy button " << button << " down\n"
                   << frame + 1 << " joy button " << button << " up\n";
        } else if (roll < 33) {
            replay << frame << " joy axis " << (random() % 2 ? "x" : "y") << " "
                   << static_cast<int>(random() % 2001) - 1000 << "\n";
        }
        if (frame % kTitleEvery == kTitleEvery / 2) replay << frame << " press F12\n";
    }
    return replay.str();
}

bool ParseOptions(int argc, char** argv, SoakOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--game")
            options.gameDir = value;
        else if (arg == "--frames")
            options.frames = std::atoll(value);
        else if (arg == "--seed")
            options.seed = static_cast<unsigned>(std::atoll(value));
        else if (arg == "--warmup")
            options.warmup = std::atoll(value);
        else if (arg == "--max-growth-kb")
            options.maxGrowthKb = std::atoll(value);
        else if (arg == "--replay-out")
            options.replayOut = value;
        else if (arg == "--dump-out")
            options.dumpOut = value;
        else
            return false;
    }
    if (options.warmup <= 0) options.warmup = std::max(2000LL, options.frames / 10);
    return !options.gameDir.empty() && options.frames > options.warmup;
}

// Where the soak is outside the story: since when, and how many such stays there were.
struct AwayFromStory {
    long long since = -1;
    long long visits = 0;
};

// The scripted parts of the soak that random input would reach too rarely: saves and loads, and
// after each return to the title (F12) either the story again after a short stay or, every second
// and third time, a stay in the options or the key configuration scene under random input first.
void DriveFrame(zepa::CGameSystem& game, long long frame, AwayFromStory& away, int& saves) {
    const bool inMain = game.currentSceneName() == "Main";
    if (inMain && frame % kSaveEvery == 0)
        saves += zepa::WriteSaveFile(game.variables(), kSaveSlot, game.log()) ? 1 : 0;
    if (inMain && frame % kLoadEvery == 0 &&
        !zepa::StartLoadedGame(game.variables(), kSaveSlot, game.sceneRequests(), game.log()))
        zepa::StartNewGame(game.variables(), kSaveSlot, game.sceneRequests());
    if (inMain) {
        away.since = -1;
        return;
    }
    if (away.since < 0) {
        away.since = frame;
        ++away.visits;
    }
    if (game.sceneRequests().pending()) return;
    const long long stay = frame - away.since;
    const int tour = static_cast<int>(away.visits % 3);  // 0: story, 1: options, 2: key configuration
    if (tour != 0 && stay == kTitleStay && game.currentSceneName() == "Title") {
        game.sceneRequests().Request(tour == 1 ? "Option" : "KeyConfig");
    } else if (stay >= (tour == 0 ? kTitleStay : kSettingsStay)) {
        // Continue from the save as the load picker would.
        if (!zepa::StartLoadedGame(game.variables(), kSaveSlot, game.sceneRequests(), game.log()))
            zepa::StartNewGame(game.variables(), kSaveSlot, game.sceneRequests());
    }
}

// The soak is one long run of the program, so at the title menu the player never chooses its last
// item, "SHUT DOWN": while the cursor is on it only moves reach the game, and the mouse is left
// alone there (a click on that item would choose it). Everywhere else every event passes.
bool KeepsTheProgramRunning(const zepa::CGameSystem& game, const zepa::PlatformEvent& event) {
    using Kind = zepa::PlatformEvent::Kind;
    const auto* title = dynamic_cast<const zepa::CSceneTitle*>(game.currentScene());
    if (!title || !title->menu().isOpen() || !title->menu().active()) return true;
    if (event.kind == Kind::MouseMove || event.kind == Kind::MouseButton) return false;
    if (title->menu().cursor() != zepa::CSceneTitle::kMenuItems - 1) return true;
    const bool arrow = event.key == zepa::vk::kUp || event.key == zepa::vk::kDown ||
                       event.key == zepa::vk::kLeft || event.key == zepa::vk::kRight;
    return event.kind == Kind::JoyAxis || (event.kind == Kind::KeyDown && arrow) || event.kind == Kind::KeyUp;
}

// One run of the program: its headless backend, the game object and the window procedure feeding
// it, started the way the program starts a new game.
struct SoakSession {
    zepa::PlatformBackend backend;
    std::unique_ptr<zepa::CGameSystem> game;
    std::unique_ptr<zepa::CWindowProcedure> procedure;

    bool Start(unsigned seed) {
        Stop();
        backend = zepa::CreateHeadlessBackend();
        backend.window->Create("soak", zepa::kScreenWidth, zepa::kScreenHeight, false);
        game = std::make_unique<zepa::CGameSystem>();
        game->randomSeed = seed;
        game->sceneRequests().Request("Main");
        zepa::StartNewGame(game->variables(), kSaveSlot, game->sceneRequests());
        procedure = std::make_unique<zepa::CWindowProcedure>(
            game->inputDevices(), game->sceneRequests(), backend.window.get(), backend.window->UsableBounds(),
            backend.window->BorderSizes());
        procedure->SetFocus(true);
        if (game->Initialize(backend)) return true;
        std::fprintf(stderr, "zepa-soak: the game does not start\n");
        return false;
    }

    void Stop() {
        procedure.reset();
        game.reset();
        backend = {};
    }
};

}  // namespace

int main(int argc, char** argv) {
    SoakOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: zepa-soak --game DIR [--frames N > warmup] [--seed S] [--warmup N] "
                     "[--max-growth-kb K] [--replay-out PATH] [--dump-out PATH]\n");
        return 2;
    }
    std::filesystem::current_path(options.gameDir);
    const std::string replayText = GenerateReplay(options.frames, options.seed);
    if (!options.replayOut.empty()) std::ofstream(options.replayOut, std::ios::binary) << replayText;
    zepa::ReplayParseResult replay = zepa::ParseReplay(replayText);
    if (!replay.ok) {
        std::fprintf(stderr, "zepa-soak: generated replay does not parse: %s\n", replay.error.c_str());
        return 1;
    }
    zepa::CReplayFeed feed(std::move(replay.events));

    SoakSession session;
    if (!session.Start(options.seed)) return 1;
    long long warmupPeakKb = -1;
    AwayFromStory away;
    int saves = 0;
    int restarts = 0;
    std::map<std::string, long long> sceneFrames;  // how much of the run each scene had
    const long long reportEvery = std::max(1LL, options.frames / 20);
    for (long long frame = 1; frame <= options.frames; ++frame) {
        feed.ApplyFrame(frame, [&](const zepa::PlatformEvent& event) {
            if (KeepsTheProgramRunning(*session.game, event)) session.procedure->HandleEvent(event);
        });
        session.procedure->SetFocus(true);
        zepa::CGameSystem& game = *session.game;
        DriveFrame(game, frame, away, saves);
        game.UpdateFrame();
        game.DrawFrame();
        if (session.procedure->quitRequested()) {
            std::fprintf(stderr, "zepa-soak: the window was closed at frame %lld\n", frame);
            return 1;
        }
        // A game that ends the program by itself (a script asking for a scene that does not exist)
        // is started again, as a player would.
        if (game.closeRequested()) {
            ++restarts;
            std::printf("frame %lld: the game ended the program; started again\n", frame);
            away.since = -1;
            if (!session.Start(options.seed + restarts)) return 1;
        }
        ++sceneFrames[session.game->currentSceneName()];
        if (frame == options.warmup) warmupPeakKb = StatusKb("VmHWM");
        if (frame % reportEvery == 0 || frame == options.warmup) {
            std::printf("frame %lld scene %s rss %lld kB peak %lld kB\n", frame,
                        session.game->currentSceneName().c_str(), StatusKb("VmRSS"), StatusKb("VmHWM"));
            std::fflush(stdout);  // the curve shows while a long run goes on
        }
    }
    const long long endPeakKb = StatusKb("VmHWM");
    const std::string dumpText = zepa::DumpState(*session.game, options.frames).dump();
    const bool dumpValid = nlohmann::json::accept(dumpText);
    if (!options.dumpOut.empty()) std::ofstream(options.dumpOut, std::ios::binary) << dumpText;
    const long long growthKb = endPeakKb - warmupPeakKb;
    std::printf(
        "soak: %lld frames, %d saves, %d restarts, peak after warm-up (frame %lld) %lld kB, at end %lld "
        "kB, growth %lld kB (limit %lld), dump %s\n",
        options.frames, saves, restarts, options.warmup, warmupPeakKb, endPeakKb, growthKb,
        options.maxGrowthKb, dumpValid ? "valid JSON" : "INVALID");
    std::printf("frames per scene:");
    for (const auto& [scene, frames] : sceneFrames) std::printf(" %s %lld", scene.c_str(), frames);
    std::printf("\n");
    session.Stop();
    if (!dumpValid || growthKb > options.maxGrowthKb) return 1;
    return 0;
}
