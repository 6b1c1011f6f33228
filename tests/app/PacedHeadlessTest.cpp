// A paced headless run: its frames wait for their due times on the clock it is given, as a
// window's do, and every one of them is still drawn; an unpaced one never waits.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"
#include "app/EngineRunner.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ReadFileBytes;
using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

struct RunResult {
    int status = -1;
    int64_t clockMicros = 0;
    std::string stats;
};

RunResult RunSixtyFrames(bool paced) {
    TempFolder game;
    WriteFileBytes(game / "Script/Script.txt", "Wait(1000)\r\n");
    ScopedWorkingDirectory inside(game.path());
    CommandLineOptions options;
    options.headless = true;
    options.paced = paced;
    options.scene = "Main";
    options.frames = 60;
    options.statsFile = game / "stats.csv";
    options.shots.push_back({60, game / "last.png"});
    PlatformBackend backend = CreateHeadlessBackend();
    auto clock = std::make_unique<CVirtualClock>();
    CVirtualClock& time = *clock;
    backend.clock = std::move(clock);
    RunResult result;
    result.status = RunEngineOn(options, backend);
    result.clockMicros = time.Counter();
    result.stats = ReadFileBytes(game / "stats.csv");
    EXPECT_FALSE(ReadFileBytes(game / "last.png").empty());
    return result;
}

TEST(PacedHeadlessRun, FramesWaitForTheirDueTimesAndAreAllDrawn) {
    const RunResult paced = RunSixtyFrames(true);
    ASSERT_EQ(paced.status, 0);
    // Sixty frames at sixty a second: the last is due a second after the run started.
    EXPECT_GE(paced.clockMicros, 983000);
    EXPECT_LE(paced.clockMicros, 1001000);
    // No frame was late on a clock that only moves while the engine waits.
    EXPECT_EQ(paced.stats.find(",1\n"), std::string::npos) << paced.stats;

    const RunResult unpaced = RunSixtyFrames(false);
    ASSERT_EQ(unpaced.status, 0);
    EXPECT_EQ(unpaced.clockMicros, 0);
}

}  // namespace
}  // namespace zepa
