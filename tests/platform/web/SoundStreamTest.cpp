// The browser streams music and ambience: what a stream hands out, piece by piece and lap after
// lap, must be exactly what decoding the file whole gives, and no call may do more than asked.
#include "platform/web/SoundStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/SoundFiles.h"
#include "platform/FileReader.h"
#include "platform/web/CollectingSink.h"
#include "platform/web/WaveDecoder.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

// Keeps what it gets and the largest piece.
struct PieceSink : test::CollectingSink {
    void Append(std::span<const float> piece) override {
        largest = std::max(largest, piece.size());
        CollectingSink::Append(piece);
    }
    size_t largest = 0;
};

std::vector<uint8_t> SineWav(const testing::TempFolder& dir, double seconds) {
    const std::string path = dir / "tone.wav";
    EXPECT_TRUE(test::WriteSineWav(path, 441.0, seconds, 0.5));
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), FileReadResult::Ok);
    return bytes;
}

std::vector<float> Whole(const std::vector<uint8_t>& bytes) {
    test::CollectingSink sink;
    std::string error;
    EXPECT_TRUE(DecodeWave(bytes, 1u << 24, sink, error)) << error;
    return sink.samples;
}

std::unique_ptr<CSoundStream> Open(std::vector<uint8_t> bytes) {
    std::string error;
    std::unique_ptr<CSoundStream> stream = CSoundStream::Open(std::move(bytes), OpenWaveSource, error);
    EXPECT_TRUE(stream) << error;
    return stream;
}

// Feeds in calls of `slice` frames until `frames` were handed out or the stream ends; every call
// must hand out at most its slice.
void FeedUntil(CSoundStream& stream, PieceSink& sink, size_t slice, size_t frames) {
    while (stream.position() < frames && !stream.ended()) {
        const size_t before = sink.samples.size();
        const size_t fed = stream.Feed(std::min(slice, frames - stream.position()), sink);
        ASSERT_LE(fed, slice);
        ASSERT_EQ(sink.samples.size() - before, fed);
        if (fed == 0) break;
    }
}

TEST(SoundStream, OneShotInSlicesIsTheWholeDecodeAndEndsThere) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineWav(dir, 0.5);
    const std::vector<float> whole = Whole(bytes);
    std::unique_ptr<CSoundStream> stream = Open(bytes);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->statedFrames(), whole.size());
    stream->Restart(false);
    PieceSink sink;
    FeedUntil(*stream, sink, 1000, 1u << 20);
    EXPECT_TRUE(stream->ended());
    EXPECT_EQ(sink.samples, whole);
    EXPECT_EQ(stream->Feed(1000, sink), 0u);
    // A slice larger than a piece is handed out in pieces.
    stream->Restart(false);
    PieceSink big;
    EXPECT_EQ(stream->Feed(20000, big), 20000u);
    EXPECT_EQ(big.largest, CSoundStream::kPieceFrames);
}

TEST(SoundStream, LoopRewindsWithoutAGapAcrossPieceBoundaries) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineWav(dir, 0.1);  // shorter than one slice
    const std::vector<float> whole = Whole(bytes);
    std::unique_ptr<CSoundStream> stream = Open(bytes);
    ASSERT_TRUE(stream);
    stream->Restart(true);
    PieceSink sink;
    FeedUntil(*stream, sink, 7777, whole.size() * 3 + 123);
    EXPECT_FALSE(stream->ended());
    ASSERT_EQ(sink.samples.size(), whole.size() * 3 + 123);
    for (size_t i = 0; i < sink.samples.size(); ++i) ASSERT_EQ(sink.samples[i], whole[i % whole.size()]) << i;
}

TEST(SoundStream, OneShotMadeToLoopAfterItsEndGoesOnFromTheBeginning) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineWav(dir, 0.05);
    const std::vector<float> whole = Whole(bytes);
    std::unique_ptr<CSoundStream> stream = Open(bytes);
    ASSERT_TRUE(stream);
    stream->Restart(false);
    PieceSink sink;
    stream->Feed(44100, sink);
    EXPECT_TRUE(stream->ended());
    stream->SetLoop(true);
    EXPECT_FALSE(stream->ended());
    EXPECT_EQ(stream->Feed(10, sink), 10u);
    EXPECT_TRUE(std::equal(sink.samples.end() - 10, sink.samples.end(), whole.begin()));
}

TEST(SoundStream, SkipGoesOnFromThatFrameAndPastTheEndEnds) {
    testing::TempFolder dir;
    const std::vector<uint8_t> bytes = SineWav(dir, 0.5);
    const std::vector<float> whole = Whole(bytes);
    std::unique_ptr<CSoundStream> stream = Open(bytes);
    ASSERT_TRUE(stream);
    stream->Restart(false);
    PieceSink sink;
    stream->Feed(100, sink);
    stream->SkipTo(20000);
    EXPECT_EQ(stream->position(), 20000u);
    EXPECT_EQ(stream->Feed(5000, sink), whole.size() - 20000);
    EXPECT_TRUE(std::equal(sink.samples.begin() + 100, sink.samples.end(), whole.begin() + 20000));
    stream->Restart(false);
    stream->SkipTo(whole.size() + 1);
    EXPECT_TRUE(stream->ended());
}

TEST(SoundStream, EmptyDataEndsEvenWhenLooping) {
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm', 't',
                                  ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0x44, 0xAC, 0,   0,   0,   0,
                                  0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
    std::unique_ptr<CSoundStream> stream = Open(bytes);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->statedFrames(), 0u);
    stream->Restart(true);
    PieceSink sink;
    EXPECT_EQ(stream->Feed(1000, sink), 0u);
    EXPECT_TRUE(stream->ended());
}

}  // namespace
}  // namespace zepa
