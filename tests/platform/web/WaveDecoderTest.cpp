// The browser decodes WAVE itself: the samples must be the file's, and a hostile header must
// neither crash it nor make it allocate more than the cap.
#include "platform/web/WaveDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "audio/SoundFiles.h"
#include "platform/FileReader.h"
#include "platform/web/CollectingSink.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

void Put(std::vector<uint8_t>& out, const char* text) {
    out.insert(out.end(), text, text + std::strlen(text));
}
void PutLe(std::vector<uint8_t>& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A WAVE header with the given format and a data chunk claiming `dataSize` bytes.
std::vector<uint8_t> Header(uint16_t tag, int channels, int bits, uint32_t dataSize, uint32_t fmtSize = 16) {
    std::vector<uint8_t> out;
    Put(out, "RIFF");
    PutLe(out, 0, 4);
    Put(out, "WAVE");
    Put(out, "fmt ");
    PutLe(out, fmtSize, 4);
    PutLe(out, tag, 2);
    PutLe(out, static_cast<uint32_t>(channels), 2);
    PutLe(out, 22050, 4);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<uint32_t>(channels * bits / 8), 2);
    PutLe(out, static_cast<uint32_t>(bits), 2);
    Put(out, "data");
    PutLe(out, dataSize, 4);
    return out;
}

TEST(WaveDecoder, DecodesTheSineOfA16BitFile) {
    testing::TempFolder dir;
    const std::string path = dir / "tone.wav";
    ASSERT_TRUE(test::WriteSineWav(path, 441.0, 0.5, 0.5));
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadWholeFile(path, bytes), FileReadResult::Ok);
    test::CollectingSink sink;
    std::string error;
    const auto frames = DecodeWave(bytes, 1u << 20, sink, error);
    ASSERT_TRUE(frames) << error;
    EXPECT_EQ(*frames, 22050u);
    EXPECT_EQ(sink.rate, 44100);
    EXPECT_EQ(sink.channels, 1);
    ASSERT_EQ(sink.samples.size(), 22050u);
    // A quarter period in (25 samples at 441 Hz) the sine is at its peak.
    EXPECT_NEAR(sink.samples[25], 0.5f, 0.01f);
    EXPECT_NEAR(sink.samples[75], -0.5f, 0.01f);
}

TEST(WaveDecoder, KeepsTwoOfThreeChannelsOf24BitSamples) {
    std::vector<uint8_t> bytes = Header(1, 3, 24, 9);
    for (int32_t value : {0x400000, -0x400000, 0x7FFFFF}) PutLe(bytes, static_cast<uint32_t>(value), 3);
    test::CollectingSink sink;
    std::string error;
    ASSERT_EQ(DecodeWave(bytes, 100, sink, error), 1u) << error;
    EXPECT_EQ(sink.channels, 2);
    ASSERT_EQ(sink.samples.size(), 2u);
    EXPECT_FLOAT_EQ(sink.samples[0], 0.5f);
    EXPECT_FLOAT_EQ(sink.samples[1], -0.5f);
}

TEST(WaveDecoder, CutsAtTheCapAndAtTheFileEnd) {
    std::vector<uint8_t> bytes = Header(1, 1, 16, 0xFFFFFFFFu);  // claims 4 GB
    bytes.resize(bytes.size() + 2000, 0);
    test::CollectingSink sink;
    std::string error;
    EXPECT_EQ(DecodeWave(bytes, 100000, sink, error), 1000u);
    test::CollectingSink capped;
    EXPECT_EQ(DecodeWave(bytes, 10, capped, error), 10u);
    EXPECT_EQ(capped.samples.size(), 10u);
}

TEST(WaveDecoder, RefusesCompressedAndBrokenFiles) {
    std::string error;
    test::CollectingSink sink;
    std::vector<uint8_t> adpcm = Header(2, 1, 4, 4);
    adpcm.resize(adpcm.size() + 4, 0);
    EXPECT_FALSE(DecodeWave(adpcm, 100, sink, error));
    // A format chunk that claims nearly 4 GB must end the walk, not wrap around.
    std::vector<uint8_t> huge = Header(1, 1, 16, 4, 0xFFFFFFF0u);
    EXPECT_FALSE(DecodeWave(huge, 100, sink, error));
    std::vector<uint8_t> notWave = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
    EXPECT_FALSE(DecodeWave(notWave, 100, sink, error));
    EXPECT_EQ(sink.begun, 0);
}

}  // namespace
}  // namespace zepa
