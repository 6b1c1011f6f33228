// SIGTERM, SIGINT and SIGHUP sent to a running engine: it ends soon, inside a frame held by a long
// loop too, writes its state dump and exits with 128 + the signal number.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "support/EngineProcess.h"

namespace zepa {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Starts zepa headless on the game with no frame limit; the child's output goes to /dev/null.
pid_t StartEngine(const test::TempDir& dir) {
    const pid_t child = fork();
    if (child != 0) return child;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    const std::string game = dir / "game";
    const std::string dump = dir / "state.json";
    execl(ZEPA_BINARY, ZEPA_BINARY, "--headless", "--game", game.c_str(), "--scene", "Main", "--dump-at-exit",
          dump.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

// Waits for the child for at most `limit`; the status, or -1 (the child then killed) on timeout.
int WaitFor(pid_t child, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    int status = 0;
    while (Clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child) return status;
        std::this_thread::sleep_for(10ms);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

bool WaitForFile(const std::string& path, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

class StopSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(StopSignalTest, ARunningEngineEndsWithItsDumpAndTheSignalsStatus) {
    const int signal = GetParam();
    test::TempDir dir;
    // The save tells the test the script runs; then a loop without a wait keeps every frame busy
    // for its whole statement budget.
    dir.Write("game/Script/Script.txt",
              "SavePoint(\"p\")\nSaveData.Save(1)\n*spin\nCalc($num[1] += 1)\nJump(spin)\n");
    const pid_t child = StartEngine(dir);
    ASSERT_GT(child, 0);
    const bool running = WaitForFile(dir / "game/Save/Save1.dat", 60s);
    if (!running) WaitFor(child, 0s);
    ASSERT_TRUE(running) << "the engine never reached its script";
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(kill(child, signal), 0);
    // Generous: the bound the engine keeps is far shorter, but the machine may be busy.
    const int status = WaitFor(child, 30s);
    ASSERT_NE(status, -1) << "the engine did not end after signal " << signal;
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself instead of stopping";
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    const nlohmann::json state = nlohmann::json::parse(test::ReadFileBytes(dir / "state.json"));
    EXPECT_EQ(state["scene"], "Main");
    EXPECT_GT(state["vars"]["ints"].value("1", 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
}  // namespace zepa
