#include "app/EngineRunner.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/FontRegistration.h"
#include "app/FrameStats.h"
#include "app/FrameTimer.h"
#include "app/GameSystem.h"
#include "app/Replay.h"
#include "app/Screenshot.h"
#include "app/StateDump.h"
#include "app/Warp.h"
#include "app/WindowIcon.h"
#include "app/WindowProcedure.h"
#include "core/WritableFolder.h"
#include "platform/Backends.h"
#include "platform/FileReader.h"
#include "platform/GlyphSource.h"
#include "platform/ImageIo.h"
#include "platform/InstanceLock.h"
#include "platform/ResidentMemory.h"
#include "platform/SteadyClock.h"
#include "platform/StopSignals.h"
#include "platform/WriteTarget.h"
#include "platform/headless/HeadlessBackend.h"
#include "scenes/SaveResume.h"

namespace zepa {
namespace {

constexpr int kFastForwardUpdates = 4;

// The per-frame outputs asked for on the command line.
class CFrameOutputs {
  public:
    explicit CFrameOutputs(const CommandLineOptions& options) : options_(options) {
        if (!options.statsFile) return;
        stats_ = std::make_unique<CFrameStats>(*options.statsFile);
        if (!stats_->open()) {
            std::fprintf(stderr, "zepa: cannot write the frame statistics %s\n", options.statsFile->c_str());
            failed_ = true;
        }
    }

    // A frame not drawn has no draw time. `late`: the pacing found the frame already due (in a
    // window it is then not drawn).
    void RecordFrame(long long frame, const CGameSystem& game, bool drawn, bool late) {
        if (!stats_) return;
        FrameTimes times = game.frameTimes();
        if (!drawn) times.drawMs = times.presentMs = 0;
        stats_->Record(frame, times, late);
    }

    // The summary on stderr; false when the statistics could not be written whole.
    bool FinishStats() {
        if (!stats_) return true;
        std::fprintf(stderr, "%s\n", stats_->Summary().c_str());
        const bool ok = stats_->Close();
        if (!ok)
            std::fprintf(stderr, "zepa: cannot write the frame statistics %s\n", options_.statsFile->c_str());
        return ok;
    }
    const CommandLineOptions& options() const { return options_; }

    // A shot of a frame whose draw was skipped shows the last drawn picture.
    void AfterFrame(CGameSystem& game, long long frame) {
        for (const FrameFile& shot : options_.shots) {
            if (shot.frame == frame && !WriteShot(game, shot.path)) failed_ = true;
        }
        for (const FrameFile& dump : options_.dumps) {
            if (dump.frame == frame && !WriteJsonFile(dump.path, DumpState(game, frame), game.log()))
                failed_ = true;
        }
    }
    // True when a shot or dump asked for could not be written: the run then ends with status 1.
    bool failed() const { return failed_; }

    static bool WriteShot(CGameSystem& game, const std::string& path) {
        const bool ok = WritePng(path, game.spriteBatch().BackBuffer().Pixels(), kScreenWidth, kScreenHeight,
                                 kScreenWidth);
        if (!ok) std::fprintf(stderr, "zepa: cannot write the screenshot %s\n", path.c_str());
        return ok;
    }

  private:
    const CommandLineOptions& options_;
    std::unique_ptr<CFrameStats> stats_;
    bool failed_ = false;
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
// slot when it has no file); --scene Main starts a new game on slot 0, and so does --warp, at its
// target.
void StartRequestedGame(const CommandLineOptions& options, const std::optional<WarpTarget>& warp,
                        CGameSystem& game) {
    CVariableStore& variables = game.variables();
    CSceneRequests& requests = game.sceneRequests();
    if (warp) {
        game.SetWarp(*warp);
        StartNewGame(variables, 0, requests);
        return;
    }
    if (options.loadSlot) {
        if (!StartLoadedGame(variables, *options.loadSlot, requests, game.log(), game.writableFolder()))
            StartNewGame(variables, *options.loadSlot, requests);
        return;
    }
    if (options.scene && *options.scene == "Main") StartNewGame(variables, 0, requests);
}

// Parses and checks --warp before the window opens: a missing script or label is the author's
// mistake, said at once.
bool CheckWarpOption(const std::string& option, std::optional<WarpTarget>& warp) {
    std::string error;
    CStderrLog log;
    warp = ParseWarp(option, error);
    if (warp && CheckWarpTarget(*warp, log, error)) return true;
    std::fprintf(stderr, "zepa: %s\n", error.c_str());
    return false;
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
    const std::string path = NextScreenshotPath(game.writableFolder());
    if (path.empty())
        std::fprintf(stderr, "zepa: no folder %s for the screenshot\n", kScreenshotFolder);
    else if (!WriteStaysInside(path, game.writableFolder().empty() ? "." : game.writableFolder()))
        std::fprintf(stderr, "zepa: not writing the screenshot %s: it leads out of its folder\n",
                     path.c_str());
    else if (CFrameOutputs::WriteShot(game, path))
        std::fprintf(stderr, "zepa: screenshot written to %s\n", path.c_str());
}

// F10: the author's reload, whose cost (reading the changed files, the initialization script, the
// scene started again) falls on this frame's update; reported on stderr.
void ReloadAndUpdate(CGameSystem& game) {
    const auto start = std::chrono::steady_clock::now();
    const bool reloaded = game.ReloadGame();
    game.UpdateFrame();
    if (!reloaded) return;
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "zepa: reloaded in %.1f ms\n", ms);
}

// The main loop: platform events between frames, then one frame (or several while fast-forward is
// held: the timer paces the turn once, so the extra updates run at once and only the last of them
// may be drawn). Returns the number of the last frame run.
long long RunFrames(PlatformBackend& backend, CGameSystem& game, CWindowProcedure& procedure,
                    CFrameTimer& timer, ReplayStart& replay, CReplayRecorder* recorder,
                    CFrameOutputs& outputs) {
    const CommandLineOptions& options = outputs.options();
    long long frame = 0;
    // A window's frames wait for their due time; headless ones only when asked to.
    const bool paced = !backend.headless || options.paced;
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
        if (paced) timer.WaitFrame();
        for (int step = 0; step < updates && !stop; ++step) {
            ++frame;
            if (replay.feed)
                replay.feed->ApplyFrame(frame, [&](const PlatformEvent& e) { procedure.HandleEvent(e); });
            if (procedure.quitRequested()) {
                --frame;
                stop = true;
                break;
            }
            const bool reload = procedure.TakeReloadRequest();
            if (procedure.hasFocus()) {
                if (reload) {
                    ReloadAndUpdate(game);
                } else {
                    game.UpdateFrame();
                }
            }
            game.SetDebugOverlayShown(procedure.debugOverlay());
            const bool due = timer.drawThisFrame() && step == updates - 1;
            const bool draw = backend.headless || due;
            if (draw) game.DrawFrame();
            outputs.RecordFrame(frame, game, draw, paced && !due);
            outputs.AfterFrame(game, frame);
            if (options.frames && frame >= *options.frames) stop = true;
            if (StopSignalReceived() != 0) stop = true;
        }
        if (procedure.TakeScreenshotRequest()) WriteRequestedScreenshot(game);
        if (stop) break;
    }
    return frame;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The folder for option.ini and Save/ of the game in the working folder (empty: that folder),
// said once on stderr when it is the player's data folder.
std::string ChooseWritableFolder() {
    const GameFolderFacts facts{CurrentFolder(), IsWritableFolder("."), EnvironmentValue("XDG_DATA_HOME"),
                                EnvironmentValue("HOME")};
    std::string folder = WritableFilesFolder(facts);
    if (facts.writable) return folder;
    CStderrLog log;
    if (folder.empty() || !PrepareDataFolder(folder, log)) {
        std::fprintf(stderr,
                     "zepa: the game folder %s cannot be written and no data folder can be made; "
                     "saves and settings will not be kept\n",
                     facts.path.c_str());
        return std::string();
    }
    std::fprintf(stderr, "zepa: the game folder %s cannot be written; saves and settings go to %s\n",
                 facts.path.c_str(), folder.c_str());
    return folder;
}

}  // namespace

int RunEngineOn(const CommandLineOptions& options, PlatformBackend& backend,
                const std::string& writableFolder) {
    ReplayStart replay;
    if (!LoadReplay(options, replay)) return 2;
    std::optional<WarpTarget> warp;
    if (options.warp && !CheckWarpOption(*options.warp, warp)) return 2;

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

    auto game = std::make_unique<CGameSystem>(writableFolder);
    SetWindowIcon(window, game->log());
    RegisterGameFonts(game->glyphs(), game->looseFiles().FindFolder("Parts").value_or("Parts"));
    const bool recording = options.recordFile && !backend.headless;
    game->randomSeed = ChooseSeed(options, replay, backend.headless, recording);
    if (options.scene) game->sceneRequests().Request(*options.scene);
    StartRequestedGame(options, warp, *game);
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

    CFrameOutputs outputs(options);
    const long long frame = RunFrames(backend, *game, procedure, timer, replay, recorder.get(), outputs);
    bool failed = !outputs.FinishStats() || outputs.failed();
    if (options.dumpAtExit && !WriteJsonFile(*options.dumpAtExit, DumpState(*game, frame), game->log()))
        failed = true;
    // Ended by a signal: the status a shell reports for a process the signal ended.
    if (const int signal = StopSignalReceived(); signal != 0) return 128 + signal;
    return failed ? 1 : 0;
}

// The files an author names are taken from where zepa was started, not from the game folder it
// enters.
CommandLineOptions AnchorAuthorPaths(CommandLineOptions options) {
    auto anchor = [](std::string& path) {
        if (!path.empty()) path = std::filesystem::absolute(path).lexically_normal().string();
    };
    for (std::optional<std::string>* path :
         {&options.inputFile, &options.recordFile, &options.dumpAtExit, &options.statsFile})
        if (*path) anchor(**path);
    for (FrameFile& file : options.shots) anchor(file.path);
    for (FrameFile& file : options.dumps) anchor(file.path);
    return options;
}

int RunEngine(const CommandLineOptions& given) {
    const CommandLineOptions options = AnchorAuthorPaths(given);
    // Before the window: SDL then keeps these handlers instead of installing its own.
    InstallStopSignalHandlers();
    if (options.gameDir && chdir(options.gameDir->c_str()) != 0) {
        std::fprintf(stderr, "zepa: cannot enter the game folder %s: %s\n", options.gameDir->c_str(),
                     std::strerror(errno));
        return 1;
    }
    const std::string writableFolder = ChooseWritableFolder();
    if (options.headless) {
        PlatformBackend backend = CreateHeadlessBackend();
        if (options.paced) {
            backend.clock = std::make_unique<CSteadyClock>();
            backend.memoryKeeper = std::make_unique<CResidentMemoryKeeper>();
        }
        return RunEngineOn(options, backend, writableFolder);
    }
    std::string error;
    std::optional<PlatformBackend> backend = CreateWindowedBackend(error);
    if (!backend) {
        std::fprintf(stderr, "zepa: %s (use --headless to run without a window)\n", error.c_str());
        return 1;
    }
    backend->memoryKeeper = std::make_unique<CResidentMemoryKeeper>();
    return RunEngineOn(options, *backend, writableFolder);
}

}  // namespace zepa
