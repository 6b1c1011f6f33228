// The Sound statement run through the script runner onto the stage's audio channels (silent
// device: names and playing states are what the command changes; the sound itself is covered by
// the audio channel tests).
#include <gtest/gtest.h>

#include <string>

#include "audio/AudioChannels.h"
#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"
#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

class SoundCommandTest : public ::testing::Test {
  protected:
    SoundCommandTest() {
        test::WriteSineWav("Music/bgm/theme.wav", 440, 0.1);
        test::WriteSineWav("Music/bgs/rain.wav", 440, 0.1);
        test::WriteSineWav("Music/se/click.wav", 440, 0.1);
        audio_.InitAudio(nullptr);  // silent
    }

    void Run(const std::string& text) { Run(runner_, text); }
    static void Run(CScriptRunner& runner, const std::string& text) {
        runner.reader().SetText("Script/Script.txt", text + "\nWaitOK\n");
        runner.StepScript();
        runner.waitForOk = false;
    }

    test::TempGameFolder folder_;
    CVariableStore variables_;
    CScriptRandom random_;
    ButtonState buttons_;
    CMessageBoxes boxes_{zepa::testing::TestLog()};
    StageRecord stage_{nullptr, zepa::testing::TestLog()};
    CScriptRunner runner_{
        zepa::testing::MakeScriptServices(variables_, random_, buttons_, boxes_, nullptr, &stage_)};
    CAudioChannels& audio_ = stage_.audio;
};

TEST_F(SoundCommandTest, PlaysFromTheChannelFoldersAndStopsEachChannel) {
    Run("Sound.BGM(\"theme.wav\")\nSound.BGS(\"rain.wav\")\nSound.SE(\"click.wav\")");
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/theme.wav");
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/rain.wav");
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    Run("Sound.StopSE()");
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    Run("Sound.StopBGM(\"ignored.wav\")");
    EXPECT_EQ(audio_.bgmName(), "");
    EXPECT_FALSE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    Run("Sound.StopBGS()");
    EXPECT_EQ(audio_.bgsName(), "");
    EXPECT_FALSE(audio_.BgsPlaying());
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SoundCommandTest, MissingFileIsSilentAndKeepsTheName) {
    Run("Sound.BGM(\"theme.wav\")\nSound.BGM(\"nothing.ogg\")");
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/nothing.ogg");
    EXPECT_FALSE(audio_.BgmPlaying());
    Run("Sound.SE(\"\")");
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SoundCommandTest, UnknownOrEmptySubCommandShowsTheErrorBox) {
    ::testing::internal::CaptureStderr();
    Run("Sound(\"a.wav\")\nSound.bgm(\"theme.wav\")");  // sub-commands are matched exactly
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[0], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(boxes_.shown()[1], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(audio_.bgmName(), "");
}

TEST_F(SoundCommandTest, WithoutAStageOnlyTheErrorBoxRemains) {
    CScriptRunner withoutStage{zepa::testing::MakeScriptServices(variables_, random_, buttons_, boxes_)};
    ::testing::internal::CaptureStderr();
    Run(withoutStage, "Sound.BGM(\"theme.wav\")\nSound.Play(\"theme.wav\")");
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(audio_.bgmName(), "");
}

}  // namespace
}  // namespace zepa
