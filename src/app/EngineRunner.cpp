#include "app/EngineRunner.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "app/FontRegistration.h"
#include "app/FrameTimer.h"
#include "app/GameSystem.h"
#include "app/Replay.h"
#include "app/SceneRequest.h"
#include "app/Screenshot.h"
#include "app/StateDump.h"
#include "app/WindowProcedure.h"
#include "platform/GlyphSource.h"
#include "platform/ImageIo.h"
#include "platform/InstanceLock.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sdl/SdlBackend.h"
#include "scenes/SaveResume.h"

namespace zepa {
namespace {

constexpr int kFastForwardUpdates = 4;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

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
            if (dump.frame == frame) WriteJsonFile(dump.path, DumpState(game, frame));
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
void StartRequestedGame(const CommandLineOptions& options, CVariableStore& variables) {
    if (options.loadSlot) {
        if (!StartLoadedGame(variables, *options.loadSlot)) StartNewGame(variables, *options.loadSlot);
        return;
    }
    if (options.scene && *options.scene == "Main") StartNewGame(variables, 0);
}

}  // namespace

int RunEngineOn(const CommandLineOptions& options, PlatformBackend& backend) {
    std::optional<CReplayFeed> replay;
    std::optional<unsigned> replaySeed;
    std::optional<ReplayClientSize> replayClient;
    if (options.inputFile) {
        auto text = ReadWholeFile(*options.inputFile);
        if (!text) {
            std::fprintf(stderr, "zepa: cannot read the replay file %s\n", options.inputFile->c_str());
            return 2;
        }
        ReplayParseResult parsed = ParseReplay(*text);
        if (!parsed.ok) {
            std::fprintf(stderr, "zepa: %s: %s\n", options.inputFile->c_str(), parsed.error.c_str());
            return 2;
        }
        replay.emplace(std::move(parsed.events));
        replaySeed = parsed.seed;
        replayClient = parsed.client;
    }

    std::unique_ptr<CInstanceLock> lock;
    if (!backend.headless) {
        lock = std::make_unique<CInstanceLock>();
        if (!lock->TryAcquire()) return 0;  // another instance runs
    }

    IWindow& window = *backend.window;
    const ClientSize size = InitialClientSize(options, window, replayClient);
    if (!window.Create("ZEPA Engine", size.width, size.height, options.fullscreen)) return 1;

    CFrameTimer timer(*backend.clock);
    if (backend.headless) {
        timer.SetUseHighResolution(true);
    } else {
        timer.Calibrate();
    }

    RegisterGameFonts(GlyphSource());
    auto game = std::make_unique<CGameSystem>();
    game->randomSeed = options.seed;
    if (!game->randomSeed) game->randomSeed = replaySeed;
    if (!game->randomSeed && backend.headless) game->randomSeed = 1u;  // headless runs repeat exactly
    // A recording keeps the seed it played with, for its replay.
    const bool recording = options.recordFile && !backend.headless;
    if (!game->randomSeed && recording) game->randomSeed = static_cast<unsigned>(std::time(nullptr));
    if (options.scene) RequestSceneChange(*options.scene);
    StartRequestedGame(options, game->variables());
    CWindowProcedure procedure(*game, &window, window.UsableBounds(), window.BorderSizes());
    procedure.SetFocus(backend.headless);
    if (!game->Initialize(backend)) {
        game.reset();
        return 1;
    }
    game->clientWidth = size.width;
    game->clientHeight = size.height;

    std::unique_ptr<CReplayRecorder> recorder;
    if (recording) {
        recorder = std::make_unique<CReplayRecorder>(*options.recordFile);
        if (!recorder->IsOpen()) std::fprintf(stderr, "zepa: cannot write %s\n", options.recordFile->c_str());
        recorder->RecordStart(*game->randomSeed, ReplayClientSize{size.width, size.height},
                              procedure.hasFocus());
    }

    CFrameOutputs outputs(options);
    long long frame = 0;
    auto finished = [&] { return procedure.quitRequested() || game->closeRequested(); };
    while (!finished()) {
        PlatformEvent event;
        if (backend.events->PollEvent(event)) {
            if (recorder && !event.repeat) recorder->Record(frame + 1, event);
            procedure.HandleEvent(event);
            continue;
        }
        // One frame, or several while fast-forward is held: the timer paces the turn once, so
        // the extra updates run at once and only the last of them may be drawn.
        const int updates = procedure.fastForward() ? kFastForwardUpdates : 1;
        bool stop = false;
        if (!backend.headless) timer.WaitFrame();
        for (int step = 0; step < updates && !stop; ++step) {
            ++frame;
            if (replay) replay->ApplyFrame(frame, [&](const PlatformEvent& e) { procedure.HandleEvent(e); });
            if (procedure.quitRequested()) {
                --frame;
                stop = true;
                break;
            }
            if (procedure.hasFocus()) game->UpdateFrame();
            const bool draw = backend.headless || (timer.drawThisFrame() && step == updates - 1);
            if (draw) game->DrawFrame();
            outputs.AfterFrame(*game, frame);
            if (options.frames && frame >= *options.frames) stop = true;
        }
        if (procedure.TakeScreenshotRequest()) {
            const std::string path = NextScreenshotPath();
            if (path.empty())
                std::fprintf(stderr, "zepa: no folder %s for the screenshot\n", kScreenshotFolder);
            else if (CFrameOutputs::WriteShot(*game, path))
                std::fprintf(stderr, "zepa: screenshot written to %s\n", path.c_str());
        }
        if (stop) break;
    }

    if (options.dumpAtExit) WriteJsonFile(*options.dumpAtExit, DumpState(*game, frame));
    game.reset();
    return 0;
}

int RunEngine(const CommandLineOptions& options) {
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
