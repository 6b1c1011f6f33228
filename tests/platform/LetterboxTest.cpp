#include "platform/Letterbox.h"

#include <gtest/gtest.h>

namespace zepa {
namespace {

TEST(Letterbox, FourThreeWindowsAreFilledWideOnesGetSideBars) {
    const Rect full = LetterboxRect(800, 600);
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.Width(), 800);
    const Rect wide = LetterboxRect(1920, 1080);
    EXPECT_EQ(wide.Width(), 1440);
    EXPECT_EQ(wide.left, 240);
    EXPECT_EQ(wide.top, 0);
    const Rect tall = LetterboxRect(1000, 1000);
    EXPECT_EQ(tall.Height(), 750);
    EXPECT_EQ(tall.top, 125);
}

TEST(Letterbox, WindowPositionsMapToClientPixels) {
    // Windowed 800 x 600: a window point is a client pixel.
    int x = 320, y = 240;
    WindowToClient(800, 600, 800, 600, x, y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    // Fullscreen 1920 x 1080 over a 640 x 480 client: the centre stays the centre, the bar is outside.
    x = 960, y = 540;
    WindowToClient(1920, 1080, 640, 480, x, y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    x = 100, y = 0;
    WindowToClient(1920, 1080, 640, 480, x, y);
    EXPECT_LT(x, 0);
    // High-DPI: a 1280 x 960 client whose window reports 640 x 480 points.
    x = 320, y = 240;
    WindowToClient(640, 480, 1280, 960, x, y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);
}

}  // namespace
}  // namespace zepa
