// Which soundfont MIDI plays through, and the one warning when there is none.
#include "platform/SoundFontLookup.h"

#include <gtest/gtest.h>

#include <set>

namespace zepa {
namespace {

auto Existing(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

TEST(SoundFontLookup, TheEnginesOwnSoundFontComesFirstThenTheSystemsChoice) {
    EXPECT_EQ(ChooseSoundFont(std::nullopt, Existing({"/usr/share/sounds/sf2/default-GM.sf2",
                                                      "/usr/share/sounds/sf2/TimGM6mb.sf2"}))
                  .toSet,
              "/usr/share/sounds/sf2/TimGM6mb.sf2");
    const SoundFontChoice fluid =
        ChooseSoundFont(std::nullopt, Existing({"/usr/share/sounds/sf2/FluidR3_GM.sf2"}));
    EXPECT_EQ(fluid.toSet, "/usr/share/sounds/sf2/FluidR3_GM.sf2");
    EXPECT_FALSE(fluid.warning);
}

TEST(SoundFontLookup, NoSoundFontGivesOneClearWarning) {
    const SoundFontChoice none = ChooseSoundFont(std::nullopt, Existing({}));
    EXPECT_EQ(none.toSet, "");
    ASSERT_TRUE(none.warning);
    EXPECT_NE(none.warning->find("MIDI music is silent"), std::string::npos) << *none.warning;
}

TEST(SoundFontLookup, SdlSoundFontsDecidesWhenSet) {
    // SDL_mixer reads the variable itself: nothing is set over it.
    const SoundFontChoice named =
        ChooseSoundFont("/a.sf2;/b.sf2", Existing({"/b.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"}));
    EXPECT_EQ(named.toSet, "");
    EXPECT_FALSE(named.warning);
    const SoundFontChoice missing =
        ChooseSoundFont("/a.sf2;;", Existing({"/usr/share/sounds/sf2/TimGM6mb.sf2"}));
    ASSERT_TRUE(missing.warning);
    EXPECT_NE(missing.warning->find("/a.sf2"), std::string::npos);
}

}  // namespace
}  // namespace zepa
