// Frames that draw what the previous frame drew are neither composed nor presented again, and the
// back buffer never shows a stale picture: games from the demo's pictures run in this process on
// the headless backend, whose window counts the presented frames, and every frame's back buffer is
// compared with the same scene drawn afresh into a second compositor.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "app/GameSystem.h"
#include "core/SceneRequests.h"
#include "gfx/SpriteBatch.h"
#include "platform/VirtualKeys.h"
#include "scenes/SaveResume.h"
#include "support/EngineProcess.h"
#include "support/GameHarness.h"

#include <stdlib.h>

namespace zepa {
namespace {

namespace fs = std::filesystem;

// The generated demo game sits beside the engine binary.
fs::path DemoGame() {
    return fs::path(ZEPA_BINARY).parent_path() / "demo" / "game";
}

class IdleFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(DemoGame() / "Graphics" / "System" / "WindowBase.png"))
            << "build the demo_game target first";
        fs::copy(DemoGame() / "Graphics", fs::path(folder_.path()) / "Graphics", fs::copy_options::recursive);
        test::WriteScriptFile(folder_.path(), "Initialize.txt", "# nothing\n");
    }

    // Starts the main scene on `script`.
    void Start(const std::string& script) {
        test::WriteScriptFile(folder_.path(), "Script.txt", script);
        harness_ = std::make_unique<test::GameHarness>(folder_.path());
        ASSERT_TRUE(harness_->initialized());
        harness_->game().sceneRequests().Request("Main");
        StartNewGame(harness_->game().variables(), 0, harness_->game().sceneRequests());
    }

    CGameSystem& game() { return harness_->game(); }
    CHeadlessWindow& window() { return *static_cast<CHeadlessWindow*>(game().window()); }

    // One frame as the main loop runs it; true when it was presented.
    bool Frame() {
        const int before = window().presentedFrames();
        game().UpdateFrame();
        game().DrawFrame();
        return window().presentedFrames() != before;
    }

    // The current scene drawn into a fresh compositor, without change tracking, must be the
    // picture the game's back buffer holds.
    ::testing::AssertionResult MatchesFreshDrawing() {
        reference_.BeginFrame(0xFF000000u);
        if (game().currentScene()) game().currentScene()->Draw(reference_);
        reference_.EndFrame();
        const uint32_t* shown = std::as_const(game().spriteBatch()).BackBuffer().Pixels();
        const uint32_t* fresh = std::as_const(reference_).BackBuffer().Pixels();
        const size_t count = static_cast<size_t>(kScreenWidth) * kScreenHeight;
        const auto differ = std::mismatch(shown, shown + count, fresh);
        if (differ.first == shown + count) return ::testing::AssertionSuccess();
        const size_t at = static_cast<size_t>(differ.first - shown);
        return ::testing::AssertionFailure()
               << "pixel (" << at % kScreenWidth << ", " << at / kScreenWidth << ") shows " << std::hex
               << *differ.first << ", drawn afresh " << *differ.second;
    }

    void PressOk() {
        harness_->KeyDown(vk::kReturn);
        Frame();
        harness_->KeyUp(vk::kReturn);
    }

    zepa::testing::TempFolder folder_;
    std::unique_ptr<test::GameHarness> harness_;
    CSpriteBatch reference_;
};

constexpr const char* kMessageWaitingForOk =
    "Background.Set(\"room.png\", \"flash\")\n"
    "MessageWindow.Open(0, 0, 360, 640, 120, \"flash\", true, true)\n"
    "MessageWindow[0].PrintText(\"雨の音が続いている。 The rain goes on.\")\n"
    "WaitOK\n"
    "MessageWindow[0].PrintText(\"次の文は長い。窓の外では、街の灯りがにじんで見えた。 The next line is "
    "long.\")\n"
    "WaitOK\n";

TEST_F(IdleFrameTest, AMessageWaitingForOkIsNeitherComposedNorPresentedAgain) {
    Start(kMessageWaitingForOk);
    int presented = 0;
    for (int frame = 0; frame < 240; ++frame) presented += Frame();
    ASSERT_TRUE(MatchesFreshDrawing());
    // Typing is over long before: the next frames draw exactly the same picture.
    presented = 0;
    for (int frame = 0; frame < 300; ++frame) presented += Frame();
    EXPECT_EQ(presented, 0);
    EXPECT_TRUE(MatchesFreshDrawing());

    // OK starts the next message: it types, so frames change and are presented again.
    PressOk();
    presented = 0;
    for (int frame = 0; frame < 10; ++frame) {
        presented += Frame();
        ASSERT_TRUE(MatchesFreshDrawing()) << "frame " << frame << " after OK";
    }
    EXPECT_GE(presented, 5);
}

TEST_F(IdleFrameTest, WithoutTrackingEveryFrameIsPresented) {
    Start(kMessageWaitingForOk);
    game().spriteBatch().SetChangeTracking(false);
    int presented = 0;
    for (int frame = 0; frame < 200; ++frame) presented += Frame();
    EXPECT_EQ(presented, 200);
    EXPECT_TRUE(MatchesFreshDrawing());
}

TEST_F(IdleFrameTest, TheWindowGetsItsPictureAgainWhenItAsksForARepaint) {
    Start(kMessageWaitingForOk);
    for (int frame = 0; frame < 300; ++frame) Frame();
    // Skip to a frame that is not presented (the scene is at rest).
    int tries = 0;
    while (Frame() && ++tries < 100) {
    }
    ASSERT_LT(tries, 100);
    window().RequestRepaint();
    EXPECT_TRUE(Frame());
    window().ToggleFullscreen();
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(MatchesFreshDrawing());
}

TEST_F(IdleFrameTest, SomethingElseWritingTheBackBufferMakesTheNextFrameComposeAgain) {
    Start(kMessageWaitingForOk);
    for (int frame = 0; frame < 300; ++frame) Frame();
    game().spriteBatch().BackBuffer().Clear(0xFF00FF00u);  // as a screenshot tool might scribble
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(MatchesFreshDrawing());
    game().spriteBatch().BackBuffer().Pixels()[1234] = 0xFFFF0000u;
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(MatchesFreshDrawing());
}

// Every kind of change the stage knows, one after the other, with rests in between; after every
// frame the back buffer must be what a fresh drawing of the scene gives.
TEST_F(IdleFrameTest, NoFrameShowsAStalePictureThroughEveryKindOfChange) {
    Start(
        "Background.Set(\"room.png\", \"fade\", 20)\n"
        "Wait(30)\n"
        "Character.SetGraph(0, \"aoi.png\", \"fade\", 10, 90, 96)\n"
        "Wait(20)\n"
        "Character.MovePos(0, 300, 96, \"linear\", 10)\n"
        "Wait(20)\n"
        "Character.SetGraph(1, \"ren.png\", \"crossfade\", 10, 340, 96)\n"
        "Wait(15)\n"
        "Character.SetFocus(1)\n"
        "Wait(10)\n"
        "Background.Effect(\"shake_h\", 12)\n"
        "Wait(20)\n"
        "Picture.Load(1, \"star.png\")\n"
        "Sprite.SourcePicture(3, false, 1)\n"
        "Sprite.SourceRect(3, 0, 0, 64, 64, 0)\n"
        "Sprite.MovePos(3, 100, 100, 0)\n"
        "Sprite.SetVisible(3, true)\n"
        "Wait(10)\n"
        "Sprite.MovePos(3, 200, 150, 10)\n"
        "Sprite.SetColor(3, 128, 255, 255, 255, 10)\n"
        "Wait(15)\n"
        "TextPicture.Create(0, 40, 30, \"最初の文字\")\n"
        "Wait(10)\n"
        "TextPicture.Write(0, \"ほかの文字\")\n"
        "Wait(10)\n"
        "MessageWindow.Open(0, 0, 360, 640, 120, \"fade\", true, true)\n"
        "MessageWindow[0].PrintText(\"一行目の文。 First line.\")\n"
        "WaitOK\n"
        "SelectWindow.Open(0, 80, 70, 480, 152, 16, \"expand\")\n"
        "SelectWindow.ContentsNum(0, 3)\n"
        "SelectWindow.ContentsHeight(0, 28)\n"
        "SelectWindow.SetContents(0, 0, \"はい\")\n"
        "SelectWindow.SetContents(0, 1, \"いいえ\")\n"
        "SelectWindow.SetContents(0, 2, \"たぶん\")\n"
        "SelectWindow.Select(0, true, 10)\n"
        "Background.Set(\"sky.png\", \"slidein_r\", 20)\n"
        "Character.EraseAll(\"fade\", 10)\n"
        "Wait(30)\n"
        "Background.Set(\"street.png\", \"crossfade\", 20)\n"
        "Wait(30)\n");
    int presented = 0, frames = 0;
    auto run = [&](int count, const char* phase) {
        for (int i = 0; i < count; ++i, ++frames) {
            presented += Frame();
            ASSERT_TRUE(MatchesFreshDrawing()) << phase << ", frame " << frames;
        }
    };
    run(300, "stage changes");
    PressOk();  // the message
    run(40, "after the message");
    harness_->KeyDown(vk::kDown);  // the choice: the cursor moves
    Frame();
    harness_->KeyUp(vk::kDown);
    run(20, "cursor moved");
    PressOk();  // chosen
    run(120, "after the choice");
    EXPECT_EQ(game().variables().GetInt(10), 1) << "the scenario did not reach its choice";
    // Much of the run was at rest: those frames were skipped, the others presented.
    EXPECT_GT(presented, 60);
    EXPECT_LT(presented, frames);
}

// The built engine, headless: shots of frames at rest, while typing and at rest again are the
// same pictures with change tracking as without it.
TEST_F(IdleFrameTest, ShotsOfTheEngineAreTheSameWithAndWithoutTracking) {
    test::WriteScriptFile(folder_.path(), "Script.txt", kMessageWaitingForOk);
    zepa::testing::WriteFileBytes(folder_.path() + "/input.txt", "150 press Return\n");
    auto run = [&](const std::string& prefix) {
        std::vector<std::string> args{"--headless", "--game",  folder_.path(),
                                      "--scene",    "Main",    "--frames",
                                      "300",        "--input", folder_.path() + "/input.txt"};
        for (int frame : {100, 149, 160, 300}) {
            args.push_back("--shot");
            args.push_back(std::to_string(frame) + ":" + folder_.path() + "/" + prefix +
                           std::to_string(frame) + ".png");
        }
        const test::ProcessResult result = test::RunZepa(args);
        ASSERT_EQ(result.exitCode, 0) << result.output;
    };
    unsetenv("ZEPA_CHANGE_TRACKING");
    run("tracked");
    setenv("ZEPA_CHANGE_TRACKING", "0", 1);
    run("plain");
    unsetenv("ZEPA_CHANGE_TRACKING");
    for (int frame : {100, 149, 160, 300}) {
        const std::string tracked =
            test::ReadFileBytes(folder_.path() + "/tracked" + std::to_string(frame) + ".png");
        const std::string plain =
            test::ReadFileBytes(folder_.path() + "/plain" + std::to_string(frame) + ".png");
        ASSERT_FALSE(tracked.empty()) << frame;
        EXPECT_EQ(tracked, plain) << "frame " << frame;
    }
    // The message typed after OK changed the picture.
    EXPECT_NE(test::ReadFileBytes(folder_.path() + "/tracked149.png"),
              test::ReadFileBytes(folder_.path() + "/tracked300.png"));
}

}  // namespace
}  // namespace zepa
