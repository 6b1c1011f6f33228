#include "app/EngineRunner.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>

#include "app/FontRegistration.h"
#include "app/FrameTimer.h"
#include "app/GameSystem.h"
#include "app/Replay.h"
#include "app/Screenshot.h"
#include "app/StateDump.h"
#include "app/WindowIcon.h"
#include "app/WindowProcedure.h"
#include "platform/FileReader.h"
#include "platform/GlyphSource.h"
#include "platform/ImageIo.h"
#include "platform/InstanceLock.h"
#include "platform/StopSignals.h"
#include "platform/WriteTarget.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sdl/SdlBackend.h"
#include "scenes/SaveResume.h"

namespace zepa {
namespace {

constexpr int kFastForwardUpdates = 4;

// The per-frame outputs asked for on the command line.
class CFrameOutputs {
  public:
    explicit CFrameOutputs(const CommandLineOptions& options) : options_(options) {}

    // A shot of a frame whose draw was skipped shows the last drawn picture.
    void AfterFrame(CGameSystem& game, long long frame) {
        for (const FrameFile& shot : options_.shots) {
            if (shot.frame == frame) WriteShot(game, shot.path);
        }
        for (const FrameFile& dump : options_.dumps) {
            if (dump.frame == frame) WriteJsonFile(dump.path, DumpState(game, frame), game.log());
        }
    }

    static bool WriteShot(CGameSystem& game, const std::string& path) {
        const bool ok = WritePng(path, game.spriteBatch().BackBuffer().Pixels(), kScreenWidth, kScreenHeight,
                                 kScreenWidth);
        if (!ok) std::fprintf(stderr, "zepa: cannot write the screenshot %s\n", path.c_str());
        return ok;
    }

  private:
    const CommandLineOptions& options_;
};

// A replay starts at the client size its recording started with, so that its mouse positions
// (client pixels) mean the same points of the screen.
ClientSize InitialClientSize(const CommandLineOptions& options, IWindow& window,
                             const std::optional<ReplayClientSize>& replayClient) {
    if (options.windowScale > 0)
        return ClientSize{kScreenWidth * options.windowScale, kScreenHeight * options.windowScale};
    if (replayClient) return ClientSize{replayClient->width, replayClient->height};
    return ChooseClientSize(window.UsableBounds(), window.BorderSizes());
}

// --load starts "Main" with the slot loaded as the title's load picker would (a new game on that
// slot when it has no file); --scene Main starts a new game on slot 0.
void StartRequestedGame(const CommandLineOptions& options, CGameSystem& game) {
    CVariableStore& variables = game.variables();
    CSceneRequests& requests = game.sceneRequests();
    if (options.loadSlot) {
        if (!StartLoadedGame(variables, *options.loadSlot, requests, game.log()))
            StartNewGame(variables, *options.loadSlot, requests);
        return;
    }
    if (options.scene && *options.scene == "Main") StartNewGame(variables, 0, requests);
}

// What a replay file brings besides its events: the seed and client size it was recorded with.
struct ReplayStart {
    std::optional<CReplayFeed> feed;
    std::optional<unsigned> seed;
    std::optional<ReplayClientSize> client;
};

// Reads and parses the --input file; false (with the reason on stderr) when it cannot be used.
bool LoadReplay(const CommandLineOptions& options, ReplayStart& replay) {
    if (!options.inputFile) return true;
    std::string text;
    if (ReadWholeFile(*options.inputFile, text, kMaxFileBytes, FileTypes::AnyReadable) !=
        FileReadResult::Ok) {
        std::fprintf(stderr, "zepa: cannot read the replay file %s\n", options.inputFile->c_str());
        return false;
    }
    ReplayParseResult parsed = ParseReplay(text);
    if (!parsed.ok) {
        std::fprintf(stderr, "zepa: %s: %s\n", options.inputFile->c_str(), parsed.error.c_str());
        return false;
    }
    replay.feed.emplace(std::move(parsed.events));
    replay.seed = parsed.seed;
    replay.client = parsed.client;
    return true;
}

// The seed on the command line, else the replay's; headless runs repeat exactly (seed 1), and a
// recording keeps the seed it played with, for its replay.
std::optional<unsigned> ChooseSeed(const CommandLineOptions& options, const ReplayStart& replay,
                                   bool headless, bool recording) {
    if (options.seed) return options.seed;
    if (replay.seed) return replay.seed;
    if (headless) return 1u;
    if (recording) return static_cast<unsigned>(std::time(nullptr));
    return std::nullopt;
}

// F9: a screenshot into the screenshot folder, reported on stderr.
void WriteRequestedScreenshot(CGameSystem& game) {
    const std::string path = NextScreenshotPath();
    if (path.empty())
        std::fprintf(stderr, "zepa: no folder %s for the screenshot\n", kScreenshotFolder);
    else if (!WriteStaysInside(path, "."))
        std::fprintf(stderr, "zepa: not writing the screenshot %s: it leads out of the game folder\n",
                     path.c_str());
    else if (CFrameOutputs::WriteShot(game, path))
        std::fprintf(stderr, "zepa: screenshot written to %s\n", path.c_str());
}

// The main loop: platform events between frames, then one frame (or several while fast-forward is
// held: the timer paces the turn once, so the extra updates run at once and only the last of them
// may be drawn). Returns the number of the last frame run.
long long RunFrames(const CommandLineOptions& options, PlatformBackend& backend, CGameSystem& game,
                    CWindowProcedure& procedure, CFrameTimer& timer, ReplayStart& replay,
                    CReplayRecorder* recorder) {
    CFrameOutputs outputs(options);
    long long frame = 0;
    auto finished = [&] {
        return procedure.quitRequested() || game.closeRequested() || StopSignalReceived() != 0;
    };
    while (!finished()) {
        PlatformEvent event;
        if (backend.events->PollEvent(event)) {
            if (recorder && !event.repeat) recorder->Record(frame + 1, event);
            procedure.HandleEvent(event);
            continue;
        }
        const int updates = procedure.fastForward() ? kFastForwardUpdates : 1;
        bool stop = false;
        if (!backend.headless) timer.WaitFrame();
        for (int step = 0; step < updates && !stop; ++step) {
            ++frame;
            if (replay.feed)
                replay.feed->ApplyFrame(frame, [&](const PlatformEvent& e) { procedure.HandleEvent(e); });
            if (procedure.quitRequested()) {
                --frame;
                stop = true;
                break;
            }
            if (procedure.hasFocus()) game.UpdateFrame();
            const bool draw = backend.headless || (timer.drawThisFrame() && step == updates - 1);
            if (draw) game.DrawFrame();
            outputs.AfterFrame(game, frame);
            if (options.frames && frame >= *options.frames) stop = true;
            if (StopSignalReceived() != 0) stop = true;
        }
        if (procedure.TakeScreenshotRequest()) WriteRequestedScreenshot(game);
        if (stop) break;
    }
    return frame;
}

}  // namespace

int RunEngineOn(const CommandLineOptions& options, PlatformBackend& backend) {
    ReplayStart replay;
    if (!LoadReplay(options, replay)) return 2;

    std::unique_ptr<CInstanceLock> lock;
    if (!backend.headless) {
        lock = std::make_unique<CInstanceLock>();
        if (!lock->TryAcquire()) return 0;  // another instance runs
    }

    IWindow& window = *backend.window;
    const ClientSize size = InitialClientSize(options, window, replay.client);
    if (!window.Create("ZEPA Engine", size.width, size.height, options.fullscreen)) return 1;

    CFrameTimer timer(*backend.clock);
    if (backend.headless) {
        timer.SetUseHighResolution(true);
    } else {
        timer.Calibrate();
    }

    auto game = std::make_unique<CGameSystem>();
    SetWindowIcon(window, game->log());
    RegisterGameFonts(game->glyphs(), game->looseFiles().FindFolder("Parts").value_or("Parts"));
    const bool recording = options.recordFile && !backend.headless;
    game->randomSeed = ChooseSeed(options, replay, backend.headless, recording);
    if (options.scene) game->sceneRequests().Request(*options.scene);
    StartRequestedGame(options, *game);
    CWindowProcedure procedure(game->inputDevices(), game->sceneRequests(), &window, window.UsableBounds(),
                               window.BorderSizes());
    procedure.SetFocus(backend.headless);
    if (!game->Initialize(backend)) return 1;
    game->inputDevices().SetClientSize(size.width, size.height);

    std::unique_ptr<CReplayRecorder> recorder;
    if (recording) {
        recorder = std::make_unique<CReplayRecorder>(*options.recordFile);
        if (!recorder->IsOpen()) std::fprintf(stderr, "zepa: cannot write %s\n", options.recordFile->c_str());
        recorder->RecordStart(*game->randomSeed, ReplayClientSize{size.width, size.height},
                              procedure.hasFocus());
    }

    const long long frame = RunFrames(options, backend, *game, procedure, timer, replay, recorder.get());
    if (options.dumpAtExit) WriteJsonFile(*options.dumpAtExit, DumpState(*game, frame), game->log());
    // Ended by a signal: the status a shell reports for a process the signal ended.
    if (const int signal = StopSignalReceived(); signal != 0) return 128 + signal;
    return 0;
}

int RunEngine(const CommandLineOptions& options) {
    // Before the window: SDL then keeps these handlers instead of installing its own.
    InstallStopSignalHandlers();
    if (options.gameDir && chdir(options.gameDir->c_str()) != 0) {
        std::fprintf(stderr, "zepa: cannot enter the game folder %s: %s\n", options.gameDir->c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (options.headless) {
        PlatformBackend backend = CreateHeadlessBackend();
        return RunEngineOn(options, backend);
    }
    std::string error;
    std::optional<PlatformBackend> backend = CreateSdlBackend(error);
    if (!backend) {
        std::fprintf(stderr, "zepa: %s (use --headless to run without a window)\n", error.c_str());
        return 1;
    }
    return RunEngineOn(options, *backend);
}

}  // namespace zepa
