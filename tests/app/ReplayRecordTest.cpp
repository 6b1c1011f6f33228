// Recording a windowed run: the player's input, fed through the event source exactly as the SDL
// backend delivers it, is written by --record; replaying that file headless must reach the same
// game state at the same frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandLine.h"
#include "app/EngineRunner.h"
#include "app/Replay.h"
#include "input/InputDevices.h"
#include "platform/Cp932.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ReadFileBytes;
using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;
using Kind = PlatformEvent::Kind;

// A clock that moves on by itself with every reading, as real time does, so that the windowed
// frame pacing (calibration, waiting for the next frame) runs without sleeping.
class CTickingClock : public IClock {
  public:
    uint32_t Milliseconds() override { return static_cast<uint32_t>(Tick() / 1000); }
    int64_t Counter() override { return Tick(); }
    int64_t Frequency() override { return 1000000; }
    void SleepMs(uint32_t ms) override { micros_ += static_cast<int64_t>(ms) * 1000; }
    void Yield() override { micros_ += 100; }

  private:
    int64_t Tick() { return micros_ += 50; }
    int64_t micros_ = 0;
};

// Hands out events the way a window's event queue does: everything pending, then "nothing" once
// per pass of the main loop. An event for round r is pending from the r-th empty poll on.
class CScriptedEvents : public IEventSource {
  public:
    explicit CScriptedEvents(std::vector<std::pair<int, PlatformEvent>> events)
        : events_(std::move(events)) {}
    bool PollEvent(PlatformEvent& event) override {
        if (next_ < events_.size() && events_[next_].first <= round_) {
            event = events_[next_++].second;
            return true;
        }
        ++round_;
        return false;
    }

  private:
    std::vector<std::pair<int, PlatformEvent>> events_;
    size_t next_ = 0;
    int round_ = 0;
};

PlatformEvent Key(int key, bool down, bool repeat = false, bool alt = false) {
    PlatformEvent event;
    event.kind = down ? Kind::KeyDown : Kind::KeyUp;
    event.key = key;
    event.repeat = repeat;
    event.alt = alt;
    return event;
}

PlatformEvent Mouse(int x, int y) {
    PlatformEvent event;
    event.kind = Kind::MouseMove;
    event.x = x;
    event.y = y;
    return event;
}

PlatformEvent MouseButton(bool down) {
    PlatformEvent event;
    event.kind = Kind::MouseButton;
    event.button = 0;
    event.down = down;
    return event;
}

PlatformEvent Focus() {
    PlatformEvent event;
    event.kind = Kind::FocusGained;
    return event;
}

// A desktop on which the windowed run picks a 960 x 720 client, not the headless default.
PlatformBackend WindowedBackend(std::vector<std::pair<int, PlatformEvent>> events) {
    PlatformBackend backend;
    backend.clock = std::make_unique<CTickingClock>();
    auto window = std::make_unique<CHeadlessWindow>();
    window->SetUsableBounds(Rect{0, 0, 1000, 800});
    backend.window = std::move(window);
    backend.events = std::make_unique<CScriptedEvents>(std::move(events));
    backend.messageBox = std::make_unique<CHeadlessMessageBox>();
    backend.headless = false;
    return backend;
}

// Every value below depends on the input: a random number (the seed), a sprite moving from the
// first update on (the frames without the focus), two choices (keys, then the mouse at client
// pixels of the recorded window size) and a count of OK presses.
const char* const kGameScript =
    "Random(10, 30000)\n"
    "Sprite.SetVisible(0, true)\n"
    "Sprite.MovePos(0, 600, 0, 1000)\n"
    "SelectWindow.Open(0, 100, 100, 440, 200)\n"
    "SelectWindow.ContentsNum(0, 3)\n"
    "SelectWindow.SetColumn(0, 1)\n"
    "SelectWindow.ContentsHeight(0, 32)\n"
    "SelectWindow.SetContents(0, 0, \"いち\")\n"
    "SelectWindow.SetContents(0, 1, \"に\")\n"
    "SelectWindow.SetContents(0, 2, \"さん\")\n"
    "SelectWindow.Select(0, true, 20)\n"
    "Wait(1)\n"
    "SelectWindow.Select(0, true, 21)\n"
    "*count\n"
    "WaitOK\n"
    "Calc($num[22] += 1)\n"
    "Jump(count)\n";

std::vector<std::pair<int, PlatformEvent>> PlayerInput() {
    std::vector<std::pair<int, PlatformEvent>> input = {
        {2, Focus()},
        {30, Key(vk::kDown, true)},
        {31, Key(vk::kDown, true, true)},  // auto-repeat: not part of the recording
        {32, Key(vk::kDown, false)},
        {40, Key(vk::kDown, true)},
        {41, Key(vk::kDown, false)},
        {50, Key(vk::kReturn, true)},
        {51, Key(vk::kReturn, false)},
        // Item 1 of the second choice lies at screen (300, 160): client (450, 240) at 960 x 720.
        {80, Mouse(450, 240)},
        {90, MouseButton(true)},
        {91, MouseButton(false)},
    };
    for (int press = 0; press < 3; ++press) {
        input.push_back({120 + 10 * press, Key('Z', true)});
        input.push_back({121 + 10 * press, Key('Z', false)});
    }
    // Fast-forward: several frames pass per pass of the main loop.
    input.push_back({160, Key(vk::kTab, true)});
    input.push_back({170, Key(vk::kTab, false)});
    input.push_back({175, Key('Z', true)});
    input.push_back({176, Key('Z', false)});
    // Alt+Enter toggles fullscreen and is no OK press.
    input.push_back({180, Key(vk::kReturn, true, false, true)});
    input.push_back({181, Key(vk::kReturn, false)});
    return input;
}

nlohmann::json Comparable(const std::string& path) {
    nlohmann::json state = nlohmann::json::parse(ReadFileBytes(path));
    // The windowed run here has no audio device, the headless one the dummy driver.
    state["audio"].erase("driver");
    state["audio"].erase("silent");
    return state;
}

// The instance lock of a windowed run lives in the runtime folder; a private one keeps this test
// clear of any other engine running meanwhile.
class CScopedRuntimeFolder {
  public:
    explicit CScopedRuntimeFolder(const std::string& path) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) previous_ = old;
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~CScopedRuntimeFolder() {
        if (previous_)
            setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

  private:
    std::optional<std::string> previous_;
};

TEST(ReplayRecordTest, AWindowedRecordingReplaysHeadlessToTheSameState) {
    TempFolder game;
    TempFolder runtime;
    std::string script;
    ASSERT_TRUE(Utf8ToCp932(kGameScript, script));
    WriteFileBytes(game / "Script/Script.txt", script);
    const std::string recording = game / "input.replay";
    constexpr long long kLastFrame = 240;

    ScopedWorkingDirectory inside(game.path());
    CScopedRuntimeFolder lockFolder(runtime.path());
    {
        CommandLineOptions options;
        options.scene = "Main";
        options.recordFile = recording;
        options.frames = kLastFrame;
        options.dumps.push_back({kLastFrame, game / "recorded.json"});
        PlatformBackend backend = WindowedBackend(PlayerInput());
        ASSERT_EQ(RunEngineOn(options, backend), 0);
    }
    const nlohmann::json recorded = Comparable(game / "recorded.json");
    // The input reached the game: both choices and the presses made while the script waited.
    EXPECT_EQ(recorded["vars"]["ints"]["20"], 2);
    EXPECT_EQ(recorded["vars"]["ints"]["21"], 1);
    EXPECT_EQ(recorded["vars"]["ints"]["22"], 4);
    EXPECT_EQ(recorded["clientSize"], nlohmann::json::array({960, 720}));

    const std::string replayText = ReadFileBytes(recording);
    size_t downPresses = 0;
    for (size_t at = replayText.find("key Down down"); at != std::string::npos;
         at = replayText.find("key Down down", at + 1))
        ++downPresses;
    EXPECT_EQ(downPresses, 2u) << "an auto-repeat was recorded:\n" << replayText;
    {
        CommandLineOptions options;
        options.headless = true;
        options.scene = "Main";
        options.inputFile = recording;
        options.frames = kLastFrame;
        options.dumps.push_back({kLastFrame, game / "replayed.json"});
        PlatformBackend backend = CreateHeadlessBackend();
        ASSERT_EQ(RunEngineOn(options, backend), 0);
    }
    EXPECT_EQ(Comparable(game / "replayed.json"), recorded) << replayText;
}

// A joystick unplugged with its stick pushed down: the recording must leave the replay's stick
// centred as the live one is.
TEST(ReplayRecordTest, AnUnpluggedJoystickReplaysCentred) {
    TempFolder folder;
    PlatformEvent axis;
    axis.kind = Kind::JoyAxis;
    axis.axis = 1;
    axis.value = 1000;
    PlatformEvent removed;
    removed.kind = Kind::JoyRemoved;
    const std::vector<PlatformEvent> live = {axis, removed};
    {
        CReplayRecorder recorder(folder / "joy.replay");
        for (const PlatformEvent& event : live) recorder.Record(1, event);
    }
    const ReplayParseResult parsed = ParseReplay(ReadFileBytes(folder / "joy.replay"));
    ASSERT_TRUE(parsed.ok) << parsed.error;

    CInputDevices recorded;
    for (const PlatformEvent& event : live) recorded.OnEvent(event);
    CInputDevices replayed;
    for (const ReplayEvent& event : parsed.events) replayed.OnEvent(event.event);
    recorded.Poll();
    replayed.Poll();
    EXPECT_FALSE(recorded.JoystickReads(CInputDevices::kJoystickDown));
    EXPECT_EQ(replayed.JoystickReads(CInputDevices::kJoystickDown),
              recorded.JoystickReads(CInputDevices::kJoystickDown));
}

TEST(ReplayRecordTest, SetUpLinesAreReadAndCheckedLikeEvents) {
    const ReplayParseResult parsed =
        ParseReplay("# recorded\nseed 4000000000\nclient 960 720\n1 focus off\n2 quit\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.seed, 4000000000u);
    ASSERT_TRUE(parsed.client.has_value());
    EXPECT_EQ(parsed.client->width, 960);
    EXPECT_EQ(parsed.client->height, 720);
    EXPECT_EQ(parsed.events.size(), 2u);

    EXPECT_FALSE(ParseReplay("seed").seed.has_value());
    for (const char* bad :
         {"seed -1\n", "seed 1 2\n", "client 0 480\n", "client 640\n", "client 99999 480\n"}) {
        const ReplayParseResult result = ParseReplay(std::string("1 quit\n") + bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_EQ(result.error.rfind("line 2: ", 0), 0u) << result.error;
    }
}

}  // namespace
}  // namespace zepa
