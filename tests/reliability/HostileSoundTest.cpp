// Sound files made to cost far more than they look: a MIDI file of a few dozen bytes holding a note
// hours long, played as an effect and as a background sound. Each call returns at once, the sound
// starts within a few frames, plays, and the process's peak memory stays within a small bound.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "SoundWriters.h"
#include "audio/AudioChannels.h"
#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"
#include "platform/sdl/SdlMixerAudio.h"

namespace zepa {
namespace {

using Clock = std::chrono::steady_clock;

// Sanitizers keep shadow memory and freed blocks: the bounds grow with them (what they catch, a
// gigabyte or more, does not hide under that).
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr long kMemoryScale = 8;
#else
constexpr long kMemoryScale = 1;
#endif

// The process's peak resident set in kB (VmHWM).
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class HostileSound : public ::testing::Test {
  protected:
    HostileSound() : capture_(folder_.path() / "output.raw") {}
    ~HostileSound() override { audio_.ReleaseAudio(); }

    void PlaysInBoundedMemory(const std::string& name);
    // Polls once a frame until nothing loads; the seconds it took.
    double Settle() {
        const Clock::time_point start = Clock::now();
        while (audio_.Update() && SecondsSince(start) < 30)
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        return SecondsSince(start);
    }

    test::TempGameFolder folder_;
    test::DiskCapture capture_;
    test::CRecordingLog log_;
    CAudioChannels audio_{log_};
};

// Rendered whole, three hours of stereo samples would be 1.9 GB and take tens of seconds.
TEST_F(HostileSound, AMidiNoteHoursLongPlaysAsEffectAndBackgroundSoundInBoundedMemory) {
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/se/long.mid", 3 * 3600));
    ASSERT_TRUE(test::WriteOneNoteMidi("Music/bgs/long.mid", 3 * 3600));
    audio_.InitAudio(CreateSdlMixerDevice(nullptr));
    ASSERT_FALSE(audio_.silent());
    const long peakBefore = PeakResidentKb();

    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(audio_.PlaySE("Music/se/long.mid"));
    ASSERT_TRUE(audio_.PlayBGS("Music/bgs/long.mid"));
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_LT(Settle(), 5.0);
    EXPECT_TRUE(audio_.BgsPlaying());
    EXPECT_EQ(audio_.SePlayingCount(), 1);
    EXPECT_GT(test::Rms(capture_.CaptureWindow(0.1, 0.5)), 50.0);
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_LT(PeakResidentKb() - peakBefore, kMemoryScale * 64 * 1024);

    // Played again and stopped, again and again: nothing accumulates.
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(audio_.PlaySE("Music/se/long.mid"));
        ASSERT_TRUE(audio_.PlayBGS("Music/bgs/long.mid"));
        Settle();
    }
    EXPECT_EQ(audio_.SePlayingCount(), 6);
    audio_.StopSE();
    audio_.StopBGS();
    EXPECT_EQ(audio_.SePlayingCount(), 0);
    EXPECT_LT(PeakResidentKb() - peakBefore, kMemoryScale * 96 * 1024);
}

// Twenty minutes at 8 kHz whose first second is a tone: 211 MB once converted for the output.
std::vector<float> TwentyMinutes() {
    std::vector<float> samples(8000 * 20 * 60, 0.0f);
    for (size_t i = 0; i < 8000; ++i)
        samples[i] = 0.25f * static_cast<float>(std::sin(2 * 3.14159265 * 500 * i / 8000.0));
    return samples;
}

// Plays `name` (in Music/se and Music/bgs) as an effect, then as a background sound: each call
// returns at once, each starts within a few frames and is heard from its start, and the peak
// memory hardly grows.
void HostileSound::PlaysInBoundedMemory(const std::string& name) {
    std::filesystem::copy_file("Music/se/" + name, "Music/bgs/" + name);
    audio_.InitAudio(CreateSdlMixerDevice(nullptr));
    ASSERT_FALSE(audio_.silent());
    const long peakBefore = PeakResidentKb();
    for (const bool effect : {true, false}) {
        const Clock::time_point start = Clock::now();
        ASSERT_TRUE(effect ? audio_.PlaySE("Music/se/" + name) : audio_.PlayBGS("Music/bgs/" + name));
        EXPECT_LT(SecondsSince(start), 0.5);
        EXPECT_LT(Settle(), 5.0);
        EXPECT_EQ(effect ? audio_.SePlayingCount() == 1 : audio_.BgsPlaying(), true);
        EXPECT_GT(test::TonePower(capture_.CaptureWindow(0.05, 0.4), test::DiskCapture::kRate, 500), 1e-3);
        audio_.StopSE();
    }
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_LT(PeakResidentKb() - peakBefore, kMemoryScale * 64 * 1024);
}

// A file of a few hundred kilobytes.
TEST_F(HostileSound, AnOggOfTwentyMinutesPlaysAsEffectAndBackgroundSoundInBoundedMemory) {
    ASSERT_TRUE(assetgen::WriteOgg("Music/se/long.ogg", TwentyMinutes(), 8000));
    PlaysInBoundedMemory("long.ogg");
}

// 19 MB of 16-bit mono samples, 211 MB once converted.
TEST_F(HostileSound, AWaveOfTwentyMinutesAt8kHzPlaysAsEffectAndBackgroundSoundInBoundedMemory) {
    ASSERT_TRUE(assetgen::WriteWav("Music/se/long.wav", TwentyMinutes(), 8000));
    PlaysInBoundedMemory("long.wav");
}

}  // namespace
}  // namespace zepa
