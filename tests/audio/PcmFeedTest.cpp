// A sound played in pieces on a mixer voice (SDL's disk driver): a looping source starts over at
// its end, a one-shot ends its voice, and a source with nothing in it ends instead of spinning.
// And the choice between rendering a source whole and playing it in pieces.
#include "platform/sdl/PcmFeed.h"
#include "platform/sdl/PcmRender.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"

namespace zepa {
namespace {

constexpr PcmFormat kFormat{44100, 2};

// A sine tone of a fixed number of frames.
class CToneSource final : public IPcmSource {
  public:
    CToneSource(double frequency, size_t frames, std::atomic<int>& rewinds)
        : frequency_(frequency), frames_(frames), rewinds_(rewinds) {}
    size_t Read(int16_t* out, size_t frames) override {
        const size_t count = std::min(frames, frames_ - position_);
        for (size_t i = 0; i < count; ++i, ++position_) {
            const double t = static_cast<double>(position_) / kFormat.rate;
            const auto sample = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * frequency_ * t));
            out[2 * i] = out[2 * i + 1] = sample;
        }
        return count;
    }
    bool Rewind() override {
        position_ = 0;
        ++rewinds_;
        return true;
    }

  private:
    double frequency_;
    size_t frames_;
    size_t position_ = 0;
    std::atomic<int>& rewinds_;
};

class PcmFeedTest : public ::testing::Test {
  protected:
    PcmFeedTest() : capture_(folder_.path() / "output.raw") {}
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(kFormat.rate, AUDIO_S16SYS, kFormat.channels, 1024), 0) << Mix_GetError();
        Mix_AllocateChannels(3);
        silence_ = Mix_QuickLoad_RAW(silentSamples_.data(), static_cast<Uint32>(silentSamples_.size()));
    }
    void TearDown() override {
        Mix_FreeChunk(silence_);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    double Power(const std::vector<int16_t>& window, double frequency) const {
        return test::TonePower(window, kFormat.rate, frequency);
    }

    test::TempGameFolder folder_;
    test::DiskCapture capture_;
    std::vector<uint8_t> silentSamples_ = std::vector<uint8_t>(16384, 0);
    Mix_Chunk* silence_ = nullptr;
    std::atomic<int> rewinds_{0};
};

TEST_F(PcmFeedTest, ALoopingSourceStartsOverAndAOneShotEndsItsVoice) {
    // A tenth of a second each: the looping one starts over several times in the window.
    CPcmFeed looping(std::make_unique<CToneSource>(440, 4410, rewinds_), kFormat);
    std::atomic<int> oneShotRewinds{0};
    CPcmFeed oneShot(std::make_unique<CToneSource>(1000, 4410, oneShotRewinds), kFormat);
    ASSERT_TRUE(looping.Start(0, silence_, true));
    ASSERT_TRUE(oneShot.Start(1, silence_, false));
    const std::vector<int16_t> window = capture_.CaptureWindow(0.4, 0.3);
    EXPECT_GT(Power(window, 440), 1e-3);
    EXPECT_LT(Power(window, 1000), 1e-5);
    EXPECT_GE(rewinds_.load(), 4);
    EXPECT_EQ(oneShotRewinds.load(), 0);
    EXPECT_NE(Mix_Playing(0), 0);
    EXPECT_EQ(Mix_Playing(1), 0);

    // Started again after its end: from the beginning.
    ASSERT_TRUE(oneShot.Start(1, silence_, false));
    EXPECT_EQ(oneShotRewinds.load(), 1);
    EXPECT_GT(Power(capture_.CaptureWindow(0.0, 0.08), 1000), 1e-3);
    Mix_HaltChannel(-1);  // removes the feeds' effects before the feeds go
}

TEST_F(PcmFeedTest, ALoopingSourceWithNothingInItEndsItsVoice) {
    CPcmFeed empty(std::make_unique<CToneSource>(440, 0, rewinds_), kFormat);
    ASSERT_TRUE(empty.Start(2, silence_, true));
    EXPECT_EQ(test::Rms(capture_.CaptureWindow(0.2, 0.1)), 0.0);
    EXPECT_EQ(Mix_Playing(2), 0);
    EXPECT_EQ(rewinds_.load(), 0);
    Mix_HaltChannel(-1);
}

TEST(PcmRenderTest, RendersWholeWithinItsBoundsElseHandsTheSourceBackFromItsStart) {
    using Clock = std::chrono::steady_clock;
    const auto later = Clock::now() + std::chrono::hours(1);
    const auto never = [] { return false; };
    std::atomic<int> rewinds{0};
    // 1000 frames of stereo: 4000 bytes.
    RenderOutcome whole =
        RenderWithin(std::make_unique<CToneSource>(440, 1000, rewinds), kFormat, 4004, later, never);
    ASSERT_NE(whole.chunk, nullptr);
    EXPECT_EQ(whole.chunk->alen, 4000u);
    EXPECT_EQ(whole.stream, nullptr);

    RenderOutcome tooLong =
        RenderWithin(std::make_unique<CToneSource>(440, 1000, rewinds), kFormat, 3996, later, never);
    EXPECT_EQ(tooLong.chunk, nullptr);
    ASSERT_NE(tooLong.stream, nullptr);
    EXPECT_EQ(rewinds.load(), 1);

    RenderOutcome tooSlow = RenderWithin(std::make_unique<CToneSource>(440, 1000, rewinds), kFormat, 1 << 20,
                                         Clock::now(), never);
    EXPECT_EQ(tooSlow.chunk, nullptr);
    EXPECT_NE(tooSlow.stream, nullptr);

    RenderOutcome cancelled = RenderWithin(std::make_unique<CToneSource>(440, 1000, rewinds), kFormat,
                                           1 << 20, later, [] { return true; });
    EXPECT_EQ(cancelled.chunk, nullptr);
    EXPECT_EQ(cancelled.stream, nullptr);
    RenderOutcome empty =
        RenderWithin(std::make_unique<CToneSource>(440, 0, rewinds), kFormat, 1 << 20, later, never);
    EXPECT_EQ(empty.chunk, nullptr);
    EXPECT_EQ(empty.stream, nullptr);
}

}  // namespace
}  // namespace zepa
