#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/Replay.h"
#include "platform/VirtualKeys.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

CommandLineResult Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zepa");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, NoArgumentsRunsTheGameInTheCurrentFolder) {
    const CommandLineResult result = Parse({});
    EXPECT_EQ(result.action, CommandLineResult::Action::Run);
    EXPECT_FALSE(result.options.gameDir);
    EXPECT_FALSE(result.options.headless);
    EXPECT_FALSE(result.options.frames);
}

TEST(CommandLine, EveryOptionIsTaken) {
    const CommandLineResult result =
        Parse({"--game",         "/g",     "--headless",     "--frames", "300",         "--seed", "7",
               "--scene",        "Main",   "--load",         "2",        "--input",     "in.txt", "--record",
               "rec.txt",        "--shot", "5:a.png",        "--shot",   "9:b:c.png",   "--dump", "3:s.json",
               "--dump-at-exit", "e.json", "--window-scale", "2",        "--fullscreen"});
    ASSERT_EQ(result.action, CommandLineResult::Action::Run) << result.text;
    const CommandLineOptions& o = result.options;
    EXPECT_EQ(*o.gameDir, "/g");
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(*o.frames, 300);
    EXPECT_EQ(*o.seed, 7u);
    EXPECT_EQ(*o.scene, "Main");
    EXPECT_EQ(*o.loadSlot, 2);
    EXPECT_EQ(*o.inputFile, "in.txt");
    EXPECT_EQ(*o.recordFile, "rec.txt");
    ASSERT_EQ(o.shots.size(), 2u);
    EXPECT_EQ(o.shots[1].frame, 9);
    EXPECT_EQ(o.shots[1].path, "b:c.png");  // only the first colon separates
    ASSERT_EQ(o.dumps.size(), 1u);
    EXPECT_EQ(o.dumps[0].frame, 3);
    EXPECT_EQ(*o.dumpAtExit, "e.json");
    EXPECT_EQ(o.windowScale, 2);
    EXPECT_TRUE(o.fullscreen);
}

TEST(CommandLine, BadCommandLinesAreErrorsWithAReason) {
    for (auto args : std::vector<std::vector<const char*>>{{"--frames", "-3"},
                                                           {"--frames", "many"},
                                                           {"--shot", "a.png"},
                                                           {"--shot", ":a.png"},
                                                           {"--dump", "3:"},
                                                           {"--window-scale", "0"},
                                                           {"--unknown"},
                                                           {"one", "two"},
                                                           {"--game", "/g", "/h"}}) {
        const CommandLineResult result = Parse(args);
        EXPECT_EQ(result.action, CommandLineResult::Action::Error) << args[0];
        EXPECT_FALSE(result.text.empty());
    }
}

TEST(CommandLine, APositionalFolderIsTheGameFolder) {
    const CommandLineResult result = Parse({"--headless", "/games/star"});
    ASSERT_EQ(result.action, CommandLineResult::Action::Run) << result.text;
    EXPECT_EQ(*result.options.gameDir, "/games/star");
    EXPECT_TRUE(result.options.headless);
}

TEST(CommandLine, AnArchiveStandsForTheFolderThatHoldsIt) {
    zepa::testing::TempFolder dir;
    zepa::testing::WriteFileBytes(dir / "star/GameData.pac", "");
    zepa::testing::WriteFileBytes(dir / "moon/gamedata.PAC", "");
    zepa::testing::WriteFileBytes(dir / "notes.txt", "");
    const std::string star = dir / "star/GameData.pac";
    const std::string moon = dir / "moon/gamedata.PAC";
    const std::string notes = dir / "notes.txt";
    EXPECT_EQ(*Parse({star.c_str()}).options.gameDir, dir / "star");
    EXPECT_EQ(*Parse({moon.c_str()}).options.gameDir, dir / "moon");
    const CommandLineResult other = Parse({notes.c_str()});
    EXPECT_EQ(other.action, CommandLineResult::Action::Error);
    EXPECT_NE(other.text.find("notes.txt"), std::string::npos) << other.text;

    zepa::testing::ScopedWorkingDirectory cwd(dir / "star");
    EXPECT_EQ(*Parse({"GameData.pac"}).options.gameDir, ".");
}

TEST(CommandLine, HelpAndVersionAreTextToShow) {
    EXPECT_EQ(Parse({"--help"}).action, CommandLineResult::Action::ShowText);
    const CommandLineResult version = Parse({"--version"});
    EXPECT_EQ(version.action, CommandLineResult::Action::ShowText);
    EXPECT_NE(version.text.find("zepa"), std::string::npos);
    for (const char* library : {"\nSDL2 ", "\nSDL2_image ", "\nSDL2_mixer ", "\nFreeType "})
        EXPECT_NE(version.text.find(library), std::string::npos) << library << " in " << version.text;
}

using Kind = PlatformEvent::Kind;

TEST(Replay, EveryEventKindParses) {
    const ReplayParseResult result = ParseReplay(
        "# a comment\n"
        "\n"
        "3 key Z down   # trailing comment\n"
        "5 key 0x5A up\n"
        "4 press Return\n"
        "6 mouse 320 240\n"
        "7 click right\n"
        "8 mousebutton left down\n"
        "9 joy button 2 down\n"
        "9 joy axis y -1000\n"
        "10 focus off\n"
        "11 quit\n");
    ASSERT_TRUE(result.ok) << result.error;
    std::vector<std::pair<long long, Kind>> seen;
    for (const ReplayEvent& e : result.events) seen.emplace_back(e.frame, e.event.kind);
    const std::vector<std::pair<long long, Kind>> expected = {
        {3, Kind::KeyDown},   {4, Kind::KeyDown},     {5, Kind::KeyUp},       {5, Kind::KeyUp},
        {6, Kind::MouseMove}, {7, Kind::MouseButton}, {8, Kind::MouseButton}, {8, Kind::MouseButton},
        {9, Kind::JoyButton}, {9, Kind::JoyAxis},     {10, Kind::FocusLost},  {11, Kind::Quit}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(result.events[0].event.key, 'Z');
    EXPECT_EQ(result.events[1].event.key, vk::kReturn);
    EXPECT_EQ(result.events[5].event.button, 1);  // click right: down at 7
    EXPECT_TRUE(result.events[5].event.down);
    EXPECT_FALSE(result.events[6].event.down);  // and up at 8
    EXPECT_EQ(result.events[9].event.axis, 1);
    EXPECT_EQ(result.events[9].event.value, -1000);
}

TEST(Replay, ErrorsNameTheLine) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1 key Z down\n2 key Q sideways\n", "line 2:"},
        {"x key Z down\n", "line 1:"},
        {"0 quit\n", "line 1:"},
        {"\n\n3 key Nope down\n", "line 3:"},
        {"1 mouse 1\n", "line 1:"},
        {"1 joy axis z 5\n", "line 1:"},
        {"1 joy axis x 5000\n", "line 1:"},
        {"1 joy button 500 down\n", "line 1:"},
        {"1 dance\n", "line 1:"},
        {"1\n", "line 1:"},
        {"1 focus maybe\n", "line 1:"},
    };
    for (const auto& c : cases) {
        const ReplayParseResult result = ParseReplay(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error.rfind(c.expected, 0), 0u) << result.error;
        EXPECT_TRUE(result.events.empty());
    }
}

TEST(Replay, RecordedLinesParseBackToTheSameEvents) {
    const ReplayParseResult original = ParseReplay(
        "2 key F5 down\n3 key Shift up\n4 mouse 10 20\n5 mousebutton right up\n"
        "6 joy button 7 down\n7 joy axis x 250\n8 focus on\n9 quit\n10 key 0xBA down\n");
    ASSERT_TRUE(original.ok);
    std::string written;
    for (const ReplayEvent& e : original.events) written += FormatReplayEvent(e.frame, e.event) + "\n";
    const ReplayParseResult reread = ParseReplay(written);
    ASSERT_TRUE(reread.ok) << reread.error;
    ASSERT_EQ(reread.events.size(), original.events.size());
    for (size_t i = 0; i < original.events.size(); ++i) {
        EXPECT_EQ(FormatReplayEvent(reread.events[i].frame, reread.events[i].event),
                  FormatReplayEvent(original.events[i].frame, original.events[i].event));
    }
}

TEST(Replay, TheReadingAidsEventsParseAndRecordBack) {
    const ReplayParseResult result =
        ParseReplay("2 wheel up\n3 wheel down\n4 press PageUp\n5 key PageDown down\n");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.events.size(), 5u);
    EXPECT_EQ(result.events[0].event.kind, Kind::MouseWheel);
    EXPECT_EQ(result.events[0].event.value, 1);
    EXPECT_EQ(result.events[1].event.value, -1);
    EXPECT_EQ(result.events[2].event.key, vk::kPageUp);
    EXPECT_EQ(result.events[4].event.key, vk::kPageDown);
    std::string written;
    for (const ReplayEvent& e : result.events) written += FormatReplayEvent(e.frame, e.event) + "\n";
    EXPECT_EQ(written, "2 wheel up\n3 wheel down\n4 key PageUp down\n5 key PageUp up\n5 key PageDown down\n");
    // A wheel turned several notches at once is written a line a notch.
    PlatformEvent wheel;
    wheel.kind = Kind::MouseWheel;
    wheel.value = -2;
    EXPECT_EQ(FormatReplayEvent(8, wheel), "8 wheel down\n8 wheel down");
    const ReplayParseResult middle = ParseReplay("3 mousebutton middle down\n4 click middle\n");
    ASSERT_TRUE(middle.ok) << middle.error;
    ASSERT_EQ(middle.events.size(), 3u);
    EXPECT_EQ(middle.events[0].event.button, 2);
    EXPECT_EQ(FormatReplayEvent(3, middle.events[0].event), "3 mousebutton middle down");
    EXPECT_EQ(FormatReplayEvent(5, middle.events[2].event), "5 mousebutton middle up");
    const ReplayParseResult hat =
        ParseReplay("1 joy hat up\n2 joy hat down+left\n3 joy hat right\n4 joy hat centered\n");
    ASSERT_TRUE(hat.ok) << hat.error;
    ASSERT_EQ(hat.events.size(), 4u);
    EXPECT_EQ(hat.events[0].event.kind, Kind::JoyHat);
    EXPECT_EQ(hat.events[0].event.value, kHatUp);
    EXPECT_EQ(hat.events[1].event.value, kHatDown | kHatLeft);
    EXPECT_EQ(hat.events[2].event.value, kHatRight);
    EXPECT_EQ(hat.events[3].event.value, 0);
    EXPECT_EQ(FormatReplayEvent(2, hat.events[1].event), "2 joy hat down+left");
    EXPECT_EQ(FormatReplayEvent(4, hat.events[3].event), "4 joy hat centered");
    EXPECT_FALSE(ParseReplay("1 joy hat sideways\n").ok);
    EXPECT_FALSE(ParseReplay("1 joy hat up+\n").ok);
    EXPECT_FALSE(ParseReplay("1 joy axis x\n").ok);
    EXPECT_FALSE(ParseReplay("1 joy button up\n").ok);
    EXPECT_FALSE(ParseReplay("1 wheel left\n").ok);
    EXPECT_FALSE(ParseReplay("1 wheel\n").ok);
}

TEST(Replay, FeedHandsOutEventsUpToEachFrame) {
    CReplayFeed feed(ParseReplay("2 key A down\n2 key B down\n5 key A up\n").events);
    int count = 0;
    feed.ApplyFrame(1, [&](const PlatformEvent&) { ++count; });
    EXPECT_EQ(count, 0);
    feed.ApplyFrame(3, [&](const PlatformEvent&) { ++count; });
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(feed.Finished());
    feed.ApplyFrame(5, [&](const PlatformEvent&) { ++count; });
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(feed.Finished());
}

TEST(VirtualKeys, NamesAndCodes) {
    EXPECT_EQ(vk::KeyFromName("z"), 'Z');
    EXPECT_EQ(vk::KeyFromName("7"), '7');
    EXPECT_EQ(vk::KeyFromName("F12"), vk::kF12);
    EXPECT_EQ(vk::KeyFromName("Backspace"), vk::kBack);
    EXPECT_FALSE(vk::KeyFromName("F13"));
    EXPECT_FALSE(vk::KeyFromName("0x00"));
    EXPECT_FALSE(vk::KeyFromName("0x100"));
    EXPECT_FALSE(vk::KeyFromName("?"));
    EXPECT_EQ(vk::NameOfKey(vk::kControl), "Control");
    EXPECT_EQ(vk::NameOfKey(0xBA), "0xBA");
}

}  // namespace
}  // namespace zepa
