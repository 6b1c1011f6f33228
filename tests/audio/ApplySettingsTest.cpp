// The settings reach the audio channels at start-up and again after the options scene.
#include <gtest/gtest.h>

#include "app/GameSystem.h"
#include "audio/AudioTestSupport.h"
#include "core/SceneRequests.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

TEST(ApplySettingsTest, VolumesApplyAtStartAndAfterLeavingTheOptionsScene) {
    test::TempGameFolder folder;
    {
        SettingsRecord written;
        written.bgmVolume = 250;  // kept as written; only the mixer clamps
        written.seVolume = 40;
        ASSERT_TRUE(SaveSettings(written, zepa::testing::TestLog()));
    }
    PlatformBackend backend = CreateHeadlessBackend();
    CGameSystem game;
    ASSERT_TRUE(game.Initialize(backend));
    EXPECT_EQ(&game.services().stage, &game.stage());
    EXPECT_EQ(game.stage().audio.bgmVolume(), 250.0f);
    EXPECT_EQ(game.stage().audio.seVolume(), 40.0f);

    game.UpdateFrame();  // Title
    game.sceneRequests().Request("Option");
    game.UpdateFrame();
    game.settings().bgsVolume = 10;
    EXPECT_EQ(game.stage().audio.bgsVolume(), 100.0f);  // not while the options scene runs
    game.sceneRequests().Request("Title");
    game.UpdateFrame();
    EXPECT_EQ(game.stage().audio.bgsVolume(), 10.0f);
    // Only once per visit.
    game.settings().bgsVolume = 20;
    game.sceneRequests().Request("Title");
    game.UpdateFrame();
    EXPECT_EQ(game.stage().audio.bgsVolume(), 10.0f);
}

}  // namespace
}  // namespace zepa
