// A game whose script plays music and ambience and waits for OK, run by the built engine headless
// with replayed input; the state dumps show what plays and when the script goes on.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "audio/SoundFiles.h"
#include "support/EngineProcess.h"

namespace zepa {
namespace {

class SoundScriptRun : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* folder : {"Script", "Music/bgm", "Music/bgs", "Music/se"})
            std::filesystem::create_directories(game_.path() / folder);
        ASSERT_TRUE(test::WriteSineWav(game_ / "Music/bgm/theme.wav", 440, 0.2));
        ASSERT_TRUE(test::WriteSineOgg(game_ / "Music/bgs/rain.ogg", 880, 0.3));
        ASSERT_TRUE(test::WriteSineWav(game_ / "Music/se/ding.wav", 660, 0.1));
    }

    // Runs `frames` frames with the replay `input`, dumping after every frame.
    test::ProcessResult Run(int frames, const std::string& input) {
        game_.Write("input.txt", input);
        std::vector<std::string> args = {"--headless",
                                         "--scene",
                                         "Main",
                                         "--game",
                                         game_.path().string(),
                                         "--frames",
                                         std::to_string(frames),
                                         "--input",
                                         game_ / "input.txt"};
        for (int frame = 1; frame <= frames; ++frame) {
            args.push_back("--dump");
            args.push_back(std::to_string(frame) + ":" + DumpPath(frame));
        }
        return test::RunZepa(args);
    }
    std::string DumpPath(int frame) const { return game_ / ("frame" + std::to_string(frame) + ".json"); }
    nlohmann::json Dump(int frame) const {
        std::ifstream file(DumpPath(frame));
        return nlohmann::json::parse(file);
    }

    test::TempDir game_;
};

TEST_F(SoundScriptRun, MusicAndAmbiencePlayWhileWaitingAndZGoesOnOneFrameLater) {
    game_.Write("Script/Initialize.txt", "");
    game_.Write("Script/Script.txt",
                "Sound.BGM(\"theme.wav\")\n"
                "Sound.BGS(\"rain.ogg\")\n"
                "Sound.SE(\"ding.wav\")\n"
                "WaitOK\n"
                "Sound.StopBGM\n"
                "Sound.Louder(\"theme.wav\")\n"
                "WaitOK\n");
    const test::ProcessResult result = Run(8, "5 press Z\n");
    ASSERT_EQ(result.exitCode, 0) << result.output;

    for (int frame = 1; frame <= 5; ++frame) {
        const nlohmann::json audio = Dump(frame)["audio"];
        EXPECT_EQ(audio["bgm"], "Music/bgm/theme.wav") << frame;
        EXPECT_EQ(audio["bgs"], "Music/bgs/rain.ogg") << frame;
        EXPECT_EQ(audio["playing"]["bgm"], true) << frame;
        EXPECT_EQ(audio["playing"]["bgs"], true) << frame;
        EXPECT_EQ(audio["silent"], false);
    }
    EXPECT_EQ(Dump(4)["script"]["waitForOk"], true);
    EXPECT_TRUE(Dump(4)["messages"].empty());
    // Z is pressed in frame 5: the wait ends there, the next statements run in frame 6.
    EXPECT_EQ(Dump(5)["script"]["waitForOk"], false);
    EXPECT_EQ(Dump(5)["audio"]["bgm"], "Music/bgm/theme.wav");
    const nlohmann::json after = Dump(6);
    EXPECT_EQ(after["audio"]["bgm"], "");
    EXPECT_EQ(after["audio"]["playing"]["bgm"], false);
    EXPECT_EQ(after["audio"]["playing"]["bgs"], true);
    EXPECT_EQ(after["script"]["waitForOk"], true);
    ASSERT_EQ(after["messages"].size(), 1u);
    EXPECT_EQ(after["messages"][0], "Soundについて文法ミス？");
}

TEST_F(SoundScriptRun, ClickAndJoystickOkAlsoEndTheWait) {
    game_.Write("Script/Initialize.txt", "");
    game_.Write("Script/Script.txt",
                "WaitOK\n"
                "Sound.BGM(\"theme.wav\")\n"
                "WaitOK\n"
                "Sound.BGS(\"rain.ogg\")\n"
                "WaitOK\n");
    const test::ProcessResult result = Run(8,
                                           "2 mouse 400 300\n"
                                           "3 click left\n"
                                           "5 joy button 1 down\n");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(Dump(3)["audio"]["bgm"], "");
    EXPECT_EQ(Dump(4)["audio"]["bgm"], "Music/bgm/theme.wav");
    EXPECT_EQ(Dump(5)["audio"]["bgs"], "");
    EXPECT_EQ(Dump(6)["audio"]["bgs"], "Music/bgs/rain.ogg");
}

}  // namespace
}  // namespace zepa
