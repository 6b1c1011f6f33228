// Sound files made to cost far more than they look: a MIDI file of a few dozen bytes holding a note
// hours long, played as an effect and as a background sound. Each call returns at once, the sound
// starts within a few frames, plays, and the process's peak memory stays within a small bound.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "audio/AudioChannels.h"
#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"
#include "platform/sdl/SdlMixerAudio.h"

namespace zepa {
namespace {

using Clock = std::chrono::steady_clock;

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
    EXPECT_LT(PeakResidentKb() - peakBefore, 64 * 1024);

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
    EXPECT_LT(PeakResidentKb() - peakBefore, 96 * 1024);
}

}  // namespace
}  // namespace zepa
