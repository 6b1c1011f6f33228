// The browser's voices follow the desktop's rules, kept by the engine's clock alone.
#include "platform/web/VoiceTable.h"

#include <gtest/gtest.h>

namespace zepa {
namespace {

TEST(VoiceTable, NewMusicDisplacesTheOldAndAmbienceKeepsItsVoice) {
    CVoiceTable table;
    const auto first = table.Take(ClipUse::Music, 0, CVoiceTable::kForever);
    const auto rain = table.Take(ClipUse::Ambience, 0, CVoiceTable::kForever);
    const auto second = table.Take(ClipUse::Music, 10, CVoiceTable::kForever);
    EXPECT_FALSE(table.Sounding(first, 20));
    EXPECT_TRUE(table.Sounding(second, 1e9));
    EXPECT_TRUE(table.Sounding(rain, 1e9));
    EXPECT_EQ(rain.voice, CVoiceTable::kAmbienceVoice);
    // Releasing a displaced start leaves the new one alone.
    table.Release(first);
    EXPECT_TRUE(table.Sounding(second, 30));
    table.Release(second);
    EXPECT_FALSE(table.Sounding(second, 30));
}

TEST(VoiceTable, AOneShotSoundsUntilItsEnd) {
    CVoiceTable table;
    const auto chime = table.Take(ClipUse::Effect, 100, 600);
    EXPECT_TRUE(table.Sounding(chime, 599));
    EXPECT_FALSE(table.Sounding(chime, 600));
    // Its voice is free again for the next effect.
    const auto next = table.Take(ClipUse::Effect, 700, 800);
    EXPECT_EQ(next.voice, chime.voice);
    EXPECT_FALSE(table.Owns(chime));
}

TEST(VoiceTable, TheOldestEffectGivesWayWhenAllAreBusy) {
    CVoiceTable table;
    std::vector<CVoiceTable::Start> effects;
    for (int i = 0; i < CVoiceTable::kEffectVoices; ++i)
        effects.push_back(table.Take(ClipUse::Effect, i, 1000));
    for (const auto& e : effects) {
        EXPECT_GE(e.voice, CVoiceTable::kFirstEffectVoice);
        EXPECT_LT(e.voice, CVoiceTable::kMusicVoice);
    }
    // The first effect stopped early frees its voice; then the oldest sounding one gives way.
    table.Release(effects[5]);
    EXPECT_EQ(table.Take(ClipUse::Effect, 50, 1000).voice, effects[5].voice);
    const auto extra = table.Take(ClipUse::Effect, 60, 1000);
    EXPECT_EQ(extra.voice, effects[0].voice);
    EXPECT_FALSE(table.Sounding(effects[0], 70));
    EXPECT_TRUE(table.Sounding(effects[1], 70));
}

}  // namespace
}  // namespace zepa
