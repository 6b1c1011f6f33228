// zepa.ini: the engine's own settings over their defaults, what is passed over and what is warned
// about, and a missing file.
#include <gtest/gtest.h>

#include "core/EngineSettings.h"
#include "platform/Log.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

class CCountingLog : public ILog {
  public:
    void Warning(const std::string&) override { ++warnings; }
    int warnings = 0;
};

TEST(EngineSettings, KeysInAnyOrderOverTheDefaultsAndBadValuesWarned) {
    CCountingLog log;
    EXPECT_EQ(ParseEngineSettings("", log), EngineSettingsRecord{});
    const EngineSettingsRecord read = ParseEngineSettings(
        "; comment\r\n# another\r\nAUTO_ADVANCE_FRAMES_PER_CHARACTER = 5\r\nUNKNOWN=3\r\nno equals sign\r\n"
        "AUTO_ADVANCE_FRAMES=120",
        log);
    EXPECT_EQ(read.autoAdvanceFrames, 120);
    EXPECT_EQ(read.autoAdvanceFramesPerCharacter, 5);
    EXPECT_EQ(log.warnings, 0);
    for (const char* bad : {"AUTO_ADVANCE_FRAMES=-1", "AUTO_ADVANCE_FRAMES=6001", "AUTO_ADVANCE_FRAMES=1x",
                            "AUTO_ADVANCE_FRAMES=", "AUTO_ADVANCE_FRAMES_PER_CHARACTER=99999999999"}) {
        EXPECT_EQ(ParseEngineSettings(bad, log), EngineSettingsRecord{}) << bad;
    }
    EXPECT_EQ(log.warnings, 5);
    testing::TempFolder folder;
    EXPECT_EQ(LoadEngineSettings(folder / "zepa.ini", log), EngineSettingsRecord{});
}

}  // namespace
}  // namespace zepa
