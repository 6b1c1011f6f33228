// The audio channels on the real SDL2_mixer device, their output captured through SDL's disk
// driver, with WAV, Ogg Vorbis and MIDI files generated here.
#include "audio/AudioChannels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"
#include "platform/Log.h"
#include "platform/sdl/SdlMixerAudio.h"

namespace zepa {
namespace {

using test::DiskCapture;
using test::Rms;
using test::TonePower;

// A tone clearly present in a window reaches about amplitude^2 / 4 (0.25 * 0.25 / 4 here, less
// the mixer's volume); a missing one stays orders of magnitude lower.
constexpr double kPresent = 1e-3;
constexpr double kAbsent = 1e-5;

class AudioChannelsTest : public ::testing::Test {
  protected:
    AudioChannelsTest() : capture_(folder_.path() / "output.raw") {}
    ~AudioChannelsTest() override { audio_.ReleaseAudio(); }

    void Open() {
        audio_.InitAudio(CreateSdlMixerDevice(nullptr));
        ASSERT_FALSE(audio_.silent());
        ASSERT_EQ(audio_.driverName(), "disk");
    }
    static void Wav(const std::string& path, double frequency, double seconds) {
        ASSERT_TRUE(test::WriteSineWav(path, frequency, seconds, 0.25));
    }
    static void Ogg(const std::string& path, double frequency, double seconds) {
        ASSERT_TRUE(test::WriteSineOgg(path, frequency, seconds, 0.25));
    }
    double Power(const std::vector<int16_t>& window, double frequency) const {
        return TonePower(window, DiskCapture::kRate, frequency);
    }
    // Polls as the frame loop does until no decode is in flight: every sound asked for has started
    // or failed.
    void Settle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (audio_.Update()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "decodes still in flight";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::vector<int16_t> Capture(double start, double length) {
        Settle();
        return capture_.CaptureWindow(start, length);
    }
    long Warnings(const std::string& part) const {
        return std::count_if(log_.lines.begin(), log_.lines.end(),
                             [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    test::TempGameFolder folder_;
    DiskCapture capture_;
    test::CRecordingLog log_;
    CAudioChannels audio_{log_};
};

TEST_F(AudioChannelsTest, BgmLoopsAndBgsSoundsTogetherWithIt) {
    Wav("Music/bgm/short.wav", 440, 0.15);
    Wav("Music/bgs/rain.wav", 1000, 0.2);
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/short.wav"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/rain.wav"));
    // Well after several passes of both pieces.
    const std::vector<int16_t> window = Capture(0.6, 0.3);
    ASSERT_FALSE(window.empty());
    EXPECT_GT(Power(window, 440), kPresent);
    EXPECT_GT(Power(window, 1000), kPresent);
    EXPECT_LT(Power(window, 700), kAbsent);
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_TRUE(audio_.BgsPlaying());
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/short.wav");
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/rain.wav");
}

TEST_F(AudioChannelsTest, OggMusicWithCapitalExtensionLoopsAndStopSeLeavesItPlaying) {
    Ogg("Music/bgm/Theme.OGG", 660, 0.3);
    Ogg("Music/bgs/wind.Ogg", 880, 0.3);
    Wav("Music/se/click.WAV", 1200, 2.0);
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/Theme.OGG"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/wind.Ogg"));
    ASSERT_TRUE(audio_.PlaySE("Music/se/click.WAV"));
    EXPECT_EQ(audio_.SePlayingCount(), 1);
    EXPECT_TRUE(audio_.StopSE());
    const std::vector<int16_t> window = Capture(0.7, 0.3);
    EXPECT_GT(Power(window, 660), kPresent);
    EXPECT_GT(Power(window, 880), kPresent);
    EXPECT_LT(Power(window, 1200), kAbsent);
    EXPECT_EQ(audio_.SePlayingCount(), 0);
}

TEST_F(AudioChannelsTest, FourthOggEffectStopsTheFirst) {
    const double tones[] = {300, 500, 700, 900};
    for (int i = 0; i < 4; ++i) Ogg("Music/se/e" + std::to_string(i) + ".ogg", tones[i], 3.0);
    Open();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(audio_.PlaySE("Music/se/e" + std::to_string(i) + ".ogg"));
    EXPECT_EQ(audio_.seRingIndex(), 0);
    EXPECT_EQ(audio_.SePlayingCount(), 3);
    ASSERT_TRUE(audio_.PlaySE("Music/se/e3.ogg"));
    EXPECT_EQ(audio_.seRingIndex(), 1);
    EXPECT_EQ(audio_.SePlayingCount(), 3);
    const std::vector<int16_t> window = Capture(0.3, 0.3);
    EXPECT_LT(Power(window, 300), kAbsent);
    for (int i = 1; i < 4; ++i) EXPECT_GT(Power(window, tones[i]), kPresent) << tones[i];
}

TEST_F(AudioChannelsTest, WaveEffectsOverlapBeyondThree) {
    const double tones[] = {300, 500, 700, 900, 1100};
    for (int i = 0; i < 5; ++i) Wav("Music/se/w" + std::to_string(i) + ".wav", tones[i], 3.0);
    Open();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(audio_.PlaySE("Music/se/w" + std::to_string(i) + ".wav"));
    EXPECT_EQ(audio_.SePlayingCount(), 5);
    const std::vector<int16_t> window = Capture(0.3, 0.3);
    for (double tone : tones) EXPECT_GT(Power(window, tone), kPresent) << tone;
}

TEST_F(AudioChannelsTest, AnEffectPlayedAgainIsNotDecodedAgainUntilItsFileChanges) {
    namespace fs = std::filesystem;
    const fs::path file = "Music/se/a.wav";
    Wav(file, 440, 0.5);
    Open();
    ASSERT_TRUE(audio_.PlaySE(file.string()));
    Settle();  // decoded and kept
    // The same size and time with bytes that do not decode: the decoded effect is played again.
    const auto modified = fs::last_write_time(file);
    const std::string junk(fs::file_size(file), 'j');
    std::ofstream(file, std::ios::binary | std::ios::trunc) << junk;
    fs::last_write_time(file, modified);
    ASSERT_TRUE(audio_.PlaySE(file.string()));
    EXPECT_GT(Power(Capture(0.05, 0.2), 440), kPresent);
    audio_.StopSE();

    // Once the file changes it is decoded anew: a different tone, then bytes that do not decode.
    Wav(file, 1000, 0.5);
    fs::last_write_time(file, modified + std::chrono::seconds(10));
    ASSERT_TRUE(audio_.PlaySE(file.string()));
    const std::vector<int16_t> window = Capture(0.05, 0.2);
    EXPECT_GT(Power(window, 1000), kPresent);
    EXPECT_LT(Power(window, 440), kAbsent);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << junk;
    fs::last_write_time(file, modified + std::chrono::seconds(20));
    audio_.StopSE();
    // Its decode fails on the loader: the statement fails when that was quick enough, else the
    // effect counts as playing until the next poll, which warns.
    audio_.PlaySE(file.string());
    Settle();
    EXPECT_EQ(audio_.SePlayingCount(), 0);
    EXPECT_EQ(Warnings("cannot play Music/se/a.wav as a sound effect"), 1);
}

TEST_F(AudioChannelsTest, VolumeZeroIsSilentAndAppliesToWhatIsPlaying) {
    Wav("Music/bgm/a.wav", 440, 0.5);
    Ogg("Music/bgs/b.ogg", 1000, 0.5);
    Wav("Music/se/c.wav", 700, 3.0);
    Open();
    audio_.ApplyVolumes(0, 0, 0);
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/a.wav"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/b.ogg"));
    ASSERT_TRUE(audio_.PlaySE("Music/se/c.wav"));
    EXPECT_EQ(Rms(Capture(0.2, 0.3)), 0.0);
    EXPECT_TRUE(audio_.BgmPlaying());

    // Raised while playing: the running pieces follow (values over 100 count as 100).
    audio_.ApplyVolumes(250, 100, 100);
    EXPECT_EQ(audio_.bgmVolume(), 250.0f);
    std::vector<int16_t> window = Capture(0.2, 0.3);
    EXPECT_GT(Power(window, 440), kPresent);
    EXPECT_GT(Power(window, 1000), kPresent);
    EXPECT_GT(Power(window, 700), kPresent);
    audio_.ApplyVolumes(100, -5, 100);
    window = Capture(0.2, 0.3);
    EXPECT_GT(Power(window, 440), kPresent);
    EXPECT_LT(Power(window, 1000), kAbsent);
}

TEST_F(AudioChannelsTest, UnsupportedExtensionStopsTheOldPieceRecordsTheNameAndFails) {
    Wav("Music/bgm/a.wav", 440, 0.3);
    Wav("Music/bgm/song.mp3", 440, 0.3);  // playable content: the extension alone decides
    Wav("Music/bgs/b.wav", 1000, 0.3);
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/a.wav"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/b.wav"));
    EXPECT_FALSE(audio_.PlayBGM("Music/bgm/song.mp3"));
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/song.mp3");
    EXPECT_FALSE(audio_.BgmPlaying());
    EXPECT_FALSE(audio_.PlayBGS("Music/bgs/b"));
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/b");
    EXPECT_FALSE(audio_.BgsPlaying());
    EXPECT_FALSE(audio_.PlaySE("Music/bgm/song.mp3"));
    EXPECT_EQ(Rms(Capture(0.2, 0.2)), 0.0);
}

TEST_F(AudioChannelsTest, MissingBrokenAndEscapingFilesFailWithoutStoppingEffects) {
    Wav("Music/se/long.wav", 700, 3.0);
    {
        std::ofstream broken("Music/bgm/broken.ogg", std::ios::binary);
        broken << "OggS but not really a stream";
    }
    std::ofstream("Music/se/empty.wav").close();
    Open();
    ASSERT_TRUE(audio_.PlaySE("Music/se/long.wav"));
    EXPECT_FALSE(audio_.PlayBGM("Music/bgm/missing.ogg"));
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/missing.ogg");
    // Files that exist but do not decode fail once their decode is done (at once when the loader
    // was quicker than the statement), with one warning each.
    audio_.PlayBGM("Music/bgm/broken.ogg");
    audio_.PlaySE("Music/se/empty.wav");
    Settle();
    EXPECT_FALSE(audio_.BgmPlaying());
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/broken.ogg");
    EXPECT_EQ(Warnings("cannot play Music/bgm/broken.ogg as background music"), 1);
    EXPECT_EQ(Warnings("cannot play Music/se/empty.wav as a sound effect"), 1);
    EXPECT_FALSE(audio_.PlaySE("../outside.wav"));
    EXPECT_FALSE(audio_.PlaySE("/etc/passwd.wav"));
    EXPECT_FALSE(audio_.PlaySE(""));
    EXPECT_FALSE(audio_.PlayBGS(std::string("Music/bgs/a\0b.wav", 18)));
    EXPECT_EQ(audio_.SePlayingCount(), 1);
    EXPECT_TRUE(audio_.StopBGM());
    EXPECT_EQ(audio_.bgmName(), "");
}

TEST_F(AudioChannelsTest, MidiPlaysAsMusicAsBackgroundSoundAndAsEffect) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgm/tune.mid", 1.0));
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgs/tune.MID", 1.0));
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/se/tune.mid", 1.0));
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/tune.mid"));
    EXPECT_GT(Rms(Capture(0.2, 0.4)), 50.0);
    EXPECT_TRUE(audio_.BgmPlaying());
    audio_.StopBGM();
    EXPECT_TRUE(audio_.PlayBGS("Music/bgs/tune.MID"));
    EXPECT_TRUE(audio_.PlaySE("Music/se/tune.mid"));
    EXPECT_GT(Rms(Capture(0.1, 0.3)), 50.0);
}

TEST_F(AudioChannelsTest, StopsEndTheirChannelsOnly) {
    Wav("Music/bgm/a.wav", 440, 0.3);
    Wav("Music/bgs/b.wav", 1000, 0.3);
    Open();
    audio_.PlayBGM("Music/bgm/a.wav");
    audio_.PlayBGS("Music/bgs/b.wav");
    EXPECT_TRUE(audio_.StopBGM());
    EXPECT_EQ(audio_.bgmName(), "");
    EXPECT_EQ(audio_.bgsName(), "Music/bgs/b.wav");
    std::vector<int16_t> window = Capture(0.2, 0.3);
    EXPECT_LT(Power(window, 440), kAbsent);
    EXPECT_GT(Power(window, 1000), kPresent);
    EXPECT_TRUE(audio_.StopBGS());
    EXPECT_EQ(Rms(Capture(0.2, 0.2)), 0.0);
    EXPECT_FALSE(audio_.BgsPlaying());
}

TEST_F(AudioChannelsTest, MidiMusicLoadsAfterTheCallReturnsAndCountsAsPlayingMeanwhile) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgm/tune.mid", 2.0));
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/tune.mid"));
    // Starting the synthesizer takes milliseconds: the call has not waited for it.
    EXPECT_TRUE(audio_.Update());
    EXPECT_TRUE(audio_.BgmPlaying());
    EXPECT_GT(Rms(Capture(0.1, 0.3)), 50.0);
    EXPECT_TRUE(audio_.BgmPlaying());
}

TEST_F(AudioChannelsTest, AChangeBeforeTheLoadIsDoneWinsAndAStopBeforeItIsNeverHeard) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgm/first.mid", 2.0));
    Wav("Music/bgm/second.wav", 440, 0.3);
    Ogg("Music/bgs/rain.ogg", 1000, 0.3);
    Wav("Music/se/click.wav", 700, 2.0);
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/first.mid"));
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/second.wav"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/rain.ogg"));
    ASSERT_TRUE(audio_.PlaySE("Music/se/click.wav"));
    EXPECT_TRUE(audio_.StopBGS());
    EXPECT_TRUE(audio_.StopSE());
    EXPECT_FALSE(audio_.BgsPlaying());
    EXPECT_EQ(audio_.SePlayingCount(), 0);
    const std::vector<int16_t> window = Capture(0.3, 0.3);
    EXPECT_GT(Power(window, 440), kPresent);
    EXPECT_LT(Power(window, 1000), kAbsent);
    EXPECT_LT(Power(window, 700), kAbsent);
    // The piano's middle C of the first piece (and its octave) never sounds.
    EXPECT_LT(Power(window, 261.6), kAbsent);
    EXPECT_LT(Power(window, 523.3), kAbsent);
    EXPECT_EQ(audio_.bgmName(), "Music/bgm/second.wav");
}

TEST_F(AudioChannelsTest, VolumesSetWhileLoadingApplyWhenTheSoundStarts) {
    Wav("Music/bgm/a.wav", 440, 0.3);
    Ogg("Music/bgs/b.ogg", 1000, 0.3);
    Wav("Music/se/c.wav", 700, 2.0);
    Open();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/a.wav"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/b.ogg"));
    ASSERT_TRUE(audio_.PlaySE("Music/se/c.wav"));
    audio_.ApplyVolumes(0, 100, 0);
    const std::vector<int16_t> window = Capture(0.2, 0.3);
    EXPECT_LT(Power(window, 440), kAbsent);
    EXPECT_GT(Power(window, 1000), kPresent);
    EXPECT_LT(Power(window, 700), kAbsent);
}

TEST_F(AudioChannelsTest, ClosingWithLoadsInFlightLetsThemGo) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgm/tune.mid", 1.0));
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgs/tune.mid", 1.0));
    Ogg("Music/se/a.ogg", 500, 1.0);
    Wav("Music/se/b.wav", 700, 1.0);
    for (int round = 0; round < 3; ++round) {
        Open();
        ASSERT_TRUE(audio_.PlayBGM("Music/bgm/tune.mid"));
        ASSERT_TRUE(audio_.PlayBGS("Music/bgs/tune.mid"));
        ASSERT_TRUE(audio_.PlaySE("Music/se/a.ogg"));
        ASSERT_TRUE(audio_.PlaySE("Music/se/b.wav"));
        audio_.ReleaseAudio();
        EXPECT_FALSE(audio_.BgmPlaying());
        EXPECT_EQ(audio_.SePlayingCount(), 0);
    }
    EXPECT_TRUE(log_.lines.empty());
}

// The pieces a change replaces are freed on the loader's thread, the last right before closing.
TEST_F(AudioChannelsTest, MusicChangedBackAndForthPlaysTheLatestAndLetsTheOthersGo) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgm/tune.mid", 2.0));
    Wav("Music/bgm/tone.wav", 440, 2.0);
    Open();
    for (int change = 0; change < 6; ++change) {
        ASSERT_TRUE(audio_.PlayBGM(change % 2 == 0 ? "Music/bgm/tune.mid" : "Music/bgm/tone.wav"));
        Settle();
    }
    const std::vector<int16_t> window = Capture(0.2, 0.3);
    EXPECT_GT(Power(window, 440), kPresent);
    EXPECT_LT(Power(window, 261.6), kAbsent);
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/tune.mid"));
    Settle();
    ASSERT_TRUE(audio_.PlayBGM("Music/bgm/tone.wav"));
    audio_.ReleaseAudio();
    EXPECT_TRUE(log_.lines.empty());
}

TEST(AudioChannelsSilentTest, WithoutADeviceTheChannelsKeepTheirState) {
    test::TempGameFolder folder;
    ASSERT_TRUE(test::WriteSineWav("Music/bgm/a.wav", 440, 0.1));
    ASSERT_TRUE(test::WriteSineWav("Music/bgs/b.wav", 440, 0.1));
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    CStderrLog log;  // the warning goes to stderr, where it is captured
    CAudioChannels audio(log);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(audio.InitAudio(CreateSdlMixerDevice(nullptr)));
    const std::string warning = testing::internal::GetCapturedStderr();
    saved.empty() ? unsetenv("SDL_AUDIODRIVER") : setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    EXPECT_TRUE(audio.silent());
    EXPECT_NE(warning.find("without sound"), std::string::npos);
    audio.ApplyVolumes(40, 50, 60);
    EXPECT_TRUE(audio.PlayBGM("Music/bgm/a.wav"));
    EXPECT_TRUE(audio.PlayBGS("Music/bgs/b.wav"));
    EXPECT_FALSE(audio.PlayBGS("Music/bgs/missing.wav"));
    EXPECT_EQ(audio.bgsName(), "Music/bgs/missing.wav");
    EXPECT_TRUE(audio.BgmPlaying());
    EXPECT_FALSE(audio.BgsPlaying());
    EXPECT_EQ(audio.bgmVolume(), 40.0f);
    EXPECT_EQ(audio.seVolume(), 60.0f);
    EXPECT_FALSE(audio.PlayBGM("Music/bgm/a.mp3"));
    EXPECT_FALSE(audio.BgmPlaying());
}

TEST(MixerVolumeTest, MapsZeroToHundredOntoTheMixerAndClamps) {
    EXPECT_EQ(MixerVolume(0), 0);
    EXPECT_EQ(MixerVolume(50), 64);
    EXPECT_EQ(MixerVolume(100), kMaxClipVolume);
    EXPECT_EQ(MixerVolume(250), kMaxClipVolume);
    EXPECT_EQ(MixerVolume(-5), 0);
}

TEST(SoundFormatTest, ExtensionIsTheFileNameFromItsLastDotWithoutCase) {
    EXPECT_EQ(SoundFormatOf("Music/bgm/a.OGG"), SoundFormat::OggVorbis);
    EXPECT_EQ(SoundFormatOf("Music/bgm/a.b.Mid"), SoundFormat::Midi);
    EXPECT_EQ(SoundFormatOf("a.wAv"), SoundFormat::Wave);
    EXPECT_EQ(SoundFormatOf("a.mp3"), SoundFormat::Unsupported);
    EXPECT_EQ(SoundFormatOf("a.ogg "), SoundFormat::Unsupported);
    EXPECT_EQ(SoundFormatOf("dir.ogg/file"), SoundFormat::Unsupported);
    EXPECT_EQ(SoundFormatOf(""), SoundFormat::Unsupported);
    EXPECT_EQ(SoundFormatOf("."), SoundFormat::Unsupported);
}

}  // namespace
}  // namespace zepa
