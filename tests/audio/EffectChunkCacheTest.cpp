// The decoded-effect cache on the real mixer (SDL's dummy driver): what it keeps and lets go.
#include "platform/sdl/EffectChunkCache.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "audio/AudioTestSupport.h"
#include "audio/SoundFiles.h"

namespace zepa {
namespace {

class EffectChunkCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) ASSERT_TRUE(test::WriteSineWav(name, 440, 0.5));
        ASSERT_TRUE(test::WriteSineWav("long.wav", 440, 2.0));
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    test::TempGameFolder folder_;
};

TEST_F(EffectChunkCacheTest, KeepsTheMostRecentlyUsedWithinItsBoundAndHandsOutTheSameChunk) {
    // Half a second of 44.1 kHz stereo 16-bit samples.
    constexpr size_t kHalfSecond = 44100 * 4 / 2;
    CEffectChunkCache cache(2 * kHalfSecond + 100);
    const CEffectChunkCache::Chunk a = cache.Load("a.wav");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->alen, kHalfSecond);
    EXPECT_EQ(cache.Load("a.wav"), a);
    cache.Load("b.wav");
    EXPECT_EQ(cache.Load("a.wav"), a);  // now the most recent
    cache.Load("c.wav");                // b gives way
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.bytes(), 2 * kHalfSecond);
    EXPECT_EQ(cache.Load("a.wav"), a);

    // Larger than the whole bound: decoded and handed out, not kept.
    const CEffectChunkCache::Chunk big = cache.Load("long.wav");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_NE(cache.Load("long.wav"), big);

    // A chunk let go by the cache stays whole for its holders.
    cache.Clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.bytes(), 0u);
    EXPECT_EQ(a->alen, kHalfSecond);
    EXPECT_NE(cache.Load("a.wav"), a);
    EXPECT_EQ(cache.Load("missing.wav"), nullptr);
}

}  // namespace
}  // namespace zepa
