// The Sound statement on the audio channels (silent device: names and playing states are what
// the command changes; the sound itself is covered by the audio channel tests).
#include "script/SoundCommand.h"

#include <gtest/gtest.h>

#include "app/MessageBox.h"
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
        ClearShownMessages();
    }

    test::TempGameFolder folder_;
    CAudioChannels audio_;
};

TEST_F(SoundCommandTest, PlaysFromTheChannelFoldersAndStopsEachChannel) {
    RunSoundCommand(&audio_, "BGM", "theme.wav");
    RunSoundCommand(&audio_, "BGS", "rain.wav");
    RunSoundCommand(&audio_, "SE", "click.wav");
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/theme.wav");
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/rain.wav");
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopSE", "");
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopBGM", "ignored.wav");
    EXPECT_EQ(audio_.bgmName(), "");
    EXPECT_FALSE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    RunSoundCommand(&audio_, "StopBGS", "");
    EXPECT_EQ(audio_.bgsName(), "");
    EXPECT_FALSE(audio_.BgsPlaying());
    EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(SoundCommandTest, MissingFileIsSilentAndKeepsTheName) {
    RunSoundCommand(&audio_, "BGM", "theme.wav");
    RunSoundCommand(&audio_, "BGM", "nothing.ogg");
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/nothing.ogg");
    EXPECT_FALSE(audio_.BgmPlaying());
    RunSoundCommand(&audio_, "SE", "");
    EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(SoundCommandTest, UnknownOrEmptySubCommandShowsTheErrorBox) {
    testing::internal::CaptureStderr();
    RunSoundCommand(&audio_, "", "a.wav");
    RunSoundCommand(&audio_, "bgm", "theme.wav");  // sub-commands are matched exactly
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(ShownMessages().size(), 2u);
    EXPECT_EQ(ShownMessages()[0], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(ShownMessages()[1], Cp932("Soundについて文法ミス？"));
    EXPECT_EQ(audio_.bgmName(), "");
}

TEST_F(SoundCommandTest, WithoutAudioChannelsOnlyTheErrorBoxRemains) {
    testing::internal::CaptureStderr();
    RunSoundCommand(nullptr, "BGM", "theme.wav");
    RunSoundCommand(nullptr, "Play", "theme.wav");
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(ShownMessages().size(), 1u);
}

}  // namespace
}  // namespace zepa
