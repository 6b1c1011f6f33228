// Idle cost: processor time of the real engine in a real window (under Xvfb) while its scene rests
// (a background and a fully typed message waiting for OK), with change tracking and, as the
// baseline, with ZEPA_CHANGE_TRACKING=0 (every frame composed and presented).
//
//   idle [--seconds N] [DEMO_GAME_DIR]
//
// Without a display the program runs itself again under `xvfb-run -a`; without Xvfb it says so and
// skips. Each run starts `zepa --game GAME --scene Main` in a window, lets it settle for two seconds,
// then reads the process's user + system time from /proc over N seconds (default 10) and ends it.
// Prints a RESULT row (collected by scripts/run-bench): percent of one core, baseline percent,
// ratio, goal <= 3%.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ScriptFiles.h"

#ifndef ZEPA_BINARY
#define ZEPA_BINARY "build/zepa"
#endif
#ifndef ZEPA_DEMO_GAME_DIR
#define ZEPA_DEMO_GAME_DIR "build/demo/game"
#endif

namespace fs = std::filesystem;

namespace {

constexpr double kSettleSeconds = 2.0;
constexpr double kGoalPercent = 3.0;

const char* const kRestingScript =
    "Background.Set(\"room.png\", \"flash\")\n"
    "MessageWindow.Open(0, 0, 360, 640, 120, \"flash\", true, true)\n"
    "MessageWindow[0].PrintText(\"　雨の音が、朝からずっと続いている。\n"
    "　The rain has been falling since morning.\")\n"
    "WaitOK\n";

bool WriteRestingGame(const fs::path& folder, const fs::path& demo) {
    return zepa::bench::WriteBenchGame(folder, demo, "# resting scene\n", kRestingScript);
}

// User + system time of process `pid` in seconds (all its threads), or a negative value.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');  // the command name may hold blanks
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long utime = -1, stime = -1;
    for (int index = 3; fields >> field; ++index) {  // field 3 is the state
        if (index == 14) utime = std::atoll(field.c_str());
        if (index == 15) {
            stime = std::atoll(field.c_str());
            break;
        }
    }
    if (utime < 0 || stime < 0) return -1;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Percent of one core the windowed engine uses while resting; negative when the run failed.
double MeasureRun(const fs::path& game, const fs::path& runtime, bool tracking, double seconds) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);  // its own instance lock
        if (tracking)
            unsetenv("ZEPA_CHANGE_TRACKING");
        else
            setenv("ZEPA_CHANGE_TRACKING", "0", 1);
        const std::string binary = ZEPA_BINARY, gameDir = game.string();
        std::vector<char*> argv{const_cast<char*>(binary.c_str()),  const_cast<char*>("--game"),
                                const_cast<char*>(gameDir.c_str()), const_cast<char*>("--scene"),
                                const_cast<char*>("Main"),          nullptr};
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(kSettleSeconds));
    const double before = ProcessCpuSeconds(pid);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double after = ProcessCpuSeconds(pid);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int status = 0;
    const bool stillRunning = waitpid(pid, &status, WNOHANG) == 0;
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    if (!stillRunning || before < 0 || after < 0) {
        std::fprintf(stderr, "idle bench: zepa did not keep running in its window\n");
        return -1;
    }
    return (after - before) / wall * 100.0;
}

// Runs this program again under xvfb-run; false when there is no xvfb-run.
bool RerunUnderXvfb(int argc, char** argv) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) return false;
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                            const_cast<char*>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    fs::path demo = ZEPA_DEMO_GAME_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else
            demo = arg;
    }
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: idle [--seconds N] [DEMO_GAME_DIR]\n");
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        RerunUnderXvfb(argc, argv);
        std::printf("idle bench: SKIPPED, no display and no xvfb-run (install xvfb: scripts/install-deps)\n");
        return 0;
    }
    if (!fs::exists(demo / "Graphics" / "System" / "WindowBase.png")) {
        std::fprintf(stderr, "idle bench: no generated demo game in %s (build the demo_game target)\n",
                     demo.c_str());
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("zepa-idle-bench-" + std::to_string(::getpid()));
    const fs::path runtime = work / "runtime";
    std::error_code error;
    fs::create_directories(runtime, error);
    fs::permissions(runtime, fs::perms::owner_all, error);
    if (!WriteRestingGame(work / "game", fs::absolute(demo))) return 1;

    const double tracked = MeasureRun(work / "game", runtime, true, seconds);
    const double untracked = MeasureRun(work / "game", runtime, false, seconds);
    fs::remove_all(work, error);
    if (tracked < 0 || untracked < 0) return 1;
    std::printf(
        "windowed engine at rest (%g s after %g s to settle): %.2f%% of one core; without change "
        "tracking %.2f%%\n",
        seconds, kSettleSeconds, tracked, untracked);
    std::printf(
        "RESULT|idle: resting scene in a window, CPU|%.2f %%|change tracking off|%.2f %%|%.2f|<= 3%% of a "
        "core|%s\n",
        tracked, untracked, untracked > 0 ? tracked / untracked : 0.0,
        tracked <= kGoalPercent ? "yes" : "NO");
    return 0;
}
