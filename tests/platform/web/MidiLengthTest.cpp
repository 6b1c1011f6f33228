// The engine must know at once how long a MIDI one-shot sounds, from the file alone.
#include "platform/web/MidiLength.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/SoundFiles.h"
#include "platform/FileReader.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

void PutBe(std::vector<uint8_t>& out, uint32_t value, int size) {
    for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> Smf(uint16_t format, uint16_t division,
                         const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    PutBe(out, format, 2);
    PutBe(out, static_cast<uint32_t>(tracks.size()), 2);
    PutBe(out, division, 2);
    for (const auto& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBe(out, static_cast<uint32_t>(track.size()), 4);
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

TEST(MidiLength, ReadsTheLengthOfAWrittenNote) {
    testing::TempFolder dir;
    const std::string path = dir / "note.mid";
    ASSERT_TRUE(test::WriteOneNoteMidi(path, 2.0));
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadWholeFile(path, bytes), FileReadResult::Ok);
    const auto seconds = MidiLengthSeconds(bytes);
    ASSERT_TRUE(seconds);
    EXPECT_NEAR(*seconds, 2.0, 0.01);
}

TEST(MidiLength, FollowsTempoChangesOfTheTempoTrack) {
    // 480 ticks a quarter: 480 ticks at one second a quarter, then 480 at a quarter second.
    const std::vector<uint8_t> tempo = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,        // 1,000,000 us
                                        0x83, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // +480: 250,000 us
                                        0x00, 0xFF, 0x2F, 0x00};
    // Running status: the second note-on has no status byte; the last event is at tick 960.
    const std::vector<uint8_t> notes = {0x00, 0x90, 60, 100, 0x83, 0x60, 62,   100, 0x83,
                                        0x60, 0x80, 60, 0,   0x00, 0xFF, 0x2F, 0x00};
    const auto seconds = MidiLengthSeconds(Smf(1, 480, {tempo, notes}));
    ASSERT_TRUE(seconds);
    EXPECT_NEAR(*seconds, 1.25, 1e-9);
}

TEST(MidiLength, HandlesTimecodeCutFilesAndOtherBytes) {
    // 25 frames a second, 40 ticks a frame: 1000 ticks a second; the last event at 2000 ticks.
    const std::vector<uint8_t> track = {0x8F, 0x50, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00};
    const auto smpte = MidiLengthSeconds(Smf(0, 0xE728, {track}));
    ASSERT_TRUE(smpte);
    EXPECT_NEAR(*smpte, 2.0, 1e-9);
    std::vector<uint8_t> cut = Smf(1, 480, {track});
    cut.resize(cut.size() - 5);  // the track claims more than is left
    EXPECT_TRUE(MidiLengthSeconds(cut));
    EXPECT_FALSE(MidiLengthSeconds(std::vector<uint8_t>{'O', 'g', 'g', 'S'}));
    std::vector<uint8_t> badHeader = Smf(0, 480, {});
    badHeader[7] = 0xFF;  // a header size past the end of the file
    EXPECT_FALSE(MidiLengthSeconds(badHeader));
}

}  // namespace
}  // namespace zepa
