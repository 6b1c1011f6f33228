// The Sound statement on the audio channels (silent device: names and playing states are what
// the command changes; the sound itself is covered by the audio channel tests).
#include "script/SoundCommand.h"

#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/MessageBoxes.h"
#include "audio/AudioChannels.h"
#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"
#include "platform/Cp932.h"

namespace zepa {
namespace {

class SoundCommandTest : public ::testing::Test {
  protected:
    SoundCommandTest() {
        test::WriteSineWav("Music/bgm/theme.wav", 440, 0.1);
        test::WriteSineWav("Music/bgs/rain.wav", 440, 0.1);
        test::WriteSineWav("Music/se/click.wav", 440, 0.1);
        audio_.InitAudio(nullptr);  // silent
        boxes.Clear();
    }

    test::TempGameFolder folder_;
    CMessageBoxes boxes{zepa::testing::TestLog()};
    CAudioChannels audio_{zepa::testing::TestLog()};
};

TEST_F(SoundCommandTest, PlaysFromTheChannelFoldersAndStopsEachChannel) {
    RunSoundCommand(&audio_, "BGM", "theme.wav", boxes);
    RunSoundCommand(&audio_, "BGS", "rain.wav", boxes);
    RunSoundCommand(&audio_, "SE", "click.wav", boxes);
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/theme.wav");
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/rain.wav");
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopSE", "", boxes);
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopBGM", "ignored.wav", boxes);
    EXPECT_EQ(audio_.bgmName(), "");
    EXPECT_FALSE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopBGS", "", boxes);
    EXPECT_EQ(audio_.bgsName(), "");
    EXPECT_FALSE(audio_.BgsPlaying());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SoundCommandTest, MissingFileIsSilentAndKeepsTheName) {
    RunSoundCommand(&audio_, "BGM", "theme.wav", boxes);
    RunSoundCommand(&audio_, "BGM", "nothing.ogg", boxes);
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/nothing.ogg");
    EXPECT_FALSE(audio_.BgmPlaying());
    RunSoundCommand(&audio_, "SE", "", boxes);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SoundCommandTest, UnknownOrEmptySubCommandShowsTheErrorBox) {
    ::testing::internal::CaptureStderr();
    RunSoundCommand(&audio_, "", "a.wav", boxes);
    RunSoundCommand(&audio_, "bgm", "theme.wav", boxes);  // sub-commands are matched exactly
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(boxes.shown()[1], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(audio_.bgmName(), "");
}

TEST_F(SoundCommandTest, WithoutAudioChannelsOnlyTheErrorBoxRemains) {
    ::testing::internal::CaptureStderr();
    RunSoundCommand(nullptr, "BGM", "theme.wav", boxes);
    RunSoundCommand(nullptr, "Play", "theme.wav", boxes);
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes.shown().size(), 1u);
}

}  // namespace
}  // namespace zepa
