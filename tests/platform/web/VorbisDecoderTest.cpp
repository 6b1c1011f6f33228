// The browser decodes Ogg Vorbis with vorbisfile over the file's bytes: the length and the tone
// must be the file's, the cap must hold, and a damaged file must fail or decode within bounds.
#include "platform/web/VorbisDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Where each Ogg page starts.
std::vector<size_t> PageStarts(const std::vector<uint8_t>& bytes) {
    std::vector<size_t> starts;
    const std::string text(bytes.begin(), bytes.end());
    for (size_t at = text.find("OggS"); at != std::string::npos; at = text.find("OggS", at + 1))
        starts.push_back(at);
    return starts;
}

// Writes the page's checksum anew, so that a changed byte reaches the decoder instead of the page
// being dropped by libogg as damaged in transit.
void SealPage(std::vector<uint8_t>& bytes, size_t start, size_t end) {
    for (size_t i = 22; i < 26; ++i) bytes[start + i] = 0;
    uint32_t crc = 0;
    for (size_t i = start; i < end; ++i) {
        crc ^= static_cast<uint32_t>(bytes[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    for (size_t i = 0; i < 4; ++i) bytes[start + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

// Fails without a word to the sink, or hands it at most the cap of finite samples.
void ExpectFailsOrDecodesCleanly(const std::vector<uint8_t>& bytes, const std::string& what) {
    constexpr size_t kCap = 1u << 16;
    test::CollectingSink sink;
    std::string error;
    const auto frames = DecodeVorbis(bytes, kCap, sink, error);
    if (!frames) {
        ASSERT_EQ(sink.begun, 0) << what;
        return;
    }
    ASSERT_TRUE(sink.channels == 1 || sink.channels == 2) << what;
    ASSERT_LE(*frames, kCap) << what;
    ASSERT_EQ(sink.samples.size(), *frames * static_cast<size_t>(sink.channels)) << what;
    ASSERT_TRUE(std::all_of(sink.samples.begin(), sink.samples.end(), [](float s) {
        return std::isfinite(s);
    })) << what;
}

// Every byte of the header pages (identification, comments, codebooks and modes) changed, with the
// page's checksum made right again, and the file cut short at every header byte and along its audio.
TEST(VorbisDecoder, DamagedOrCutFilesFailOrDecodeWithinBounds) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineOgg(dir, 0.3);
    const std::vector<size_t> pages = PageStarts(bytes);
    ASSERT_GE(pages.size(), 3u);
    int opened = 0;
    for (size_t at = 0; at < pages[2]; ++at) {
        std::vector<uint8_t> damaged = bytes;
        damaged[at] ^= 0xa5;
        const size_t page = at < pages[1] ? 0 : 1;
        SealPage(damaged, pages[page], pages[page + 1]);
        ExpectFailsOrDecodesCleanly(damaged, "byte " + std::to_string(at) + " changed");
        std::string error;
        opened += OpenVorbisSource(damaged, error) != nullptr;
    }
    for (size_t at = 0; at < bytes.size(); at += at < pages[2] ? 1 : 97)
        ExpectFailsOrDecodesCleanly(std::vector<uint8_t>(bytes.begin(), bytes.begin() + at),
                                    "cut at " + std::to_string(at));
    // Some changes (in the comments, in the codebooks' values) leave a file that still opens.
    EXPECT_GT(opened, 0);
}

// A damaged file streamed as a loop ends or keeps handing out frames: it never stalls handing out
// nothing forever, and its rewinds hold.
TEST(VorbisDecoder, DamagedStreamsLoopWithoutStalling) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineOgg(dir, 1.0);
    const std::vector<size_t> pages = PageStarts(bytes);
    ASSERT_GE(pages.size(), 3u);
    for (size_t at = pages[1]; at < bytes.size(); at += 13) {
        std::vector<uint8_t> damaged = bytes;
        damaged[at] ^= 0x3c;
        const size_t page =
            static_cast<size_t>(std::upper_bound(pages.begin(), pages.end(), at) - pages.begin()) - 1;
        SealPage(damaged, pages[page], page + 1 < pages.size() ? pages[page + 1] : damaged.size());
        std::string error;
        std::unique_ptr<CSoundStream> stream = CSoundStream::Open(damaged, OpenVorbisSource, error);
        if (!stream) continue;
        stream->Restart(true);
        test::CollectingSink sink;
        for (int piece = 0; piece < 20 && !stream->ended(); ++piece)
            ASSERT_TRUE(stream->Feed(3000, sink) > 0 || stream->ended()) << "byte " << at;
    }
}

}  // namespace
}  // namespace zepa
