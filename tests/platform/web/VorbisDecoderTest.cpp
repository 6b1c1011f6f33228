// The browser decodes Ogg Vorbis with stb_vorbis: the length and the tone must be the file's, and
// the cap must hold. (Built only where stb's headers are installed, tests/CMakeLists.txt.)
#include "platform/web/VorbisDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "audio/SoundFiles.h"
#include "platform/FileReader.h"
#include "platform/web/CollectingSink.h"
#include "platform/web/SoundStream.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

std::vector<uint8_t> SineOgg(const testing::TempFolder& dir, double seconds) {
    const std::string path = dir / "tone.ogg";
    EXPECT_TRUE(test::WriteSineOgg(path, 441.0, seconds, 0.5));
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), FileReadResult::Ok);
    return bytes;
}

// The stream's length as its last page states it (its granule position).
uint64_t LastGranule(const std::vector<uint8_t>& bytes) {
    const std::string text(bytes.begin(), bytes.end());
    const size_t page = text.rfind("OggS");
    uint64_t granule = 0;
    for (int i = 7; i >= 0; --i) granule = (granule << 8) | bytes[page + 6 + static_cast<size_t>(i)];
    return granule;
}

TEST(VorbisDecoder, DecodesTheWholeToneAtItsRate) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineOgg(dir, 1.0);
    test::CollectingSink sink;
    std::string error;
    const auto frames = DecodeVorbis(bytes, 1u << 20, sink, error);
    ASSERT_TRUE(frames) << error;
    EXPECT_EQ(*frames, LastGranule(bytes));
    EXPECT_GT(*frames, 40000u);
    EXPECT_EQ(sink.rate, 44100);
    EXPECT_EQ(sink.channels, 1);
    float peak = 0.0f;
    for (float s : sink.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_NEAR(peak, 0.5f, 0.05f);
}

TEST(VorbisDecoder, StopsAtTheCapAndRefusesOtherBytes) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineOgg(dir, 1.0);
    test::CollectingSink sink;
    std::string error;
    EXPECT_EQ(DecodeVorbis(bytes, 1000, sink, error), 1000u);
    EXPECT_EQ(sink.samples.size(), 1000u);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 40);
    test::CollectingSink none;
    EXPECT_FALSE(DecodeVorbis(cut, 1000, none, error));
    EXPECT_EQ(none.begun, 0);
}

// Streamed, the file gives the same samples as decoded whole, through loop rewinds; after a skip
// the same to within the rounding of decoding from a page boundary (a frame off would be 0.03).
TEST(VorbisDecoder, StreamsTheSameSamplesLapAfterLapAndFromASkip) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineOgg(dir, 0.3);
    test::CollectingSink whole;
    std::string error;
    ASSERT_TRUE(DecodeVorbis(bytes, 1u << 20, whole, error)) << error;
    const size_t frames = whole.samples.size();
    std::unique_ptr<CSoundStream> stream = CSoundStream::Open(bytes, OpenVorbisSource, error);
    ASSERT_TRUE(stream) << error;
    EXPECT_EQ(stream->statedFrames(), LastGranule(bytes));
    stream->Restart(true);
    test::CollectingSink laps;
    while (laps.samples.size() < 2 * frames + 500) ASSERT_GT(stream->Feed(3000, laps), 0u);
    for (size_t i = 0; i < laps.samples.size(); ++i)
        ASSERT_EQ(laps.samples[i], whole.samples[i % frames]) << i;
    stream->Restart(false);
    stream->SkipTo(5000);
    test::CollectingSink rest;
    while (stream->Feed(3000, rest) > 0) {
    }
    ASSERT_EQ(rest.samples.size(), frames - 5000);
    for (size_t i = 0; i < rest.samples.size(); ++i)
        ASSERT_NEAR(rest.samples[i], whole.samples[5000 + i], 0.01f) << i;
}

}  // namespace
}  // namespace zepa
