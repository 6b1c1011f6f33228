#include "app/FrameStats.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace zepa {
namespace {

TEST(FrameStats, OneCsvLinePerFrameAndASummaryOfUpdatePlusDraw) {
    testing::TempFolder folder;
    const std::string path = folder / "stats.csv";
    {
        CFrameStats stats(path);
        ASSERT_TRUE(stats.open());
        for (int frame = 1; frame <= 100; ++frame)
            stats.Record(frame,
                         FrameTimes{.updateMs = 1.0, .drawMs = frame == 50 ? 9.0 : 0.5, .presentMs = 0.25},
                         frame % 10 == 0);
        EXPECT_EQ(stats.Summary(),
                  "zepa: 100 frames; update + draw: median 1.50 ms, 99th percentile 1.50 ms, maximum 10.00 "
                  "ms; 10 late");
        EXPECT_TRUE(stats.Close());
    }
    const std::string csv = testing::ReadFileBytes(path);
    EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
              "frame,update_ms,draw_ms,present_ms,late\n1,1.000,0.500,0.250,0\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 101);
    EXPECT_FALSE(CFrameStats(folder / "missing/stats.csv").open());
}

}  // namespace
}  // namespace zepa
