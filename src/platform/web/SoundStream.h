// A sound file played while it decodes: holds the file's bytes and one decoder over them, and
// hands the next frames to a sink a bounded piece at a time. A looping stream rewinds at the end
// of the data and goes on without a gap; a one-shot ends there, or at the length the file states
// if that comes first (the engine counts it as sounding for that length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/web/PcmSource.h"

namespace zepa {

class CSoundStream {
  public:
    using Opener = std::unique_ptr<IPcmSource> (*)(std::span<const uint8_t>, std::string&);
    // The largest piece handed to the sink at once, in frames.
    static constexpr size_t kPieceFrames = 16384;

    // Null with the reason in `error` when `open` cannot read the bytes.
    static std::unique_ptr<CSoundStream> Open(std::vector<uint8_t> bytes, Opener open, std::string& error);

    int sampleRate() const { return source_->sampleRate(); }
    int channels() const { return source_->channels(); }
    uint64_t statedFrames() const { return source_->statedFrames(); }
    // Frames handed out since the last Restart, laps of a loop included.
    uint64_t position() const { return position_; }
    bool ended() const { return ended_; }

    // Gives the file back, for a caller that decodes it another way; the stream is of no use after.
    std::vector<uint8_t> TakeBytes();

    // From the beginning again.
    void Restart(bool loop);
    // Whether the end of the data rewinds; an ended one-shot made looping goes on.
    void SetLoop(bool loop);
    // Goes on from `frame` of the file, as its position (a one-shot that starts late); past its
    // end it ends.
    void SkipTo(uint64_t frame);
    // Hands at most `maxFrames` next frames to `sink`; returns how many.
    size_t Feed(size_t maxFrames, ISoundSink& sink);

  private:
    CSoundStream(std::vector<uint8_t> bytes, std::unique_ptr<IPcmSource> source);
    // One piece of at most `frames`; 0 at the end of a one-shot or of data that yields nothing.
    size_t ReadPiece(size_t frames);
    bool Rewind();

    std::vector<uint8_t> bytes_;  // read in place by source_
    std::unique_ptr<IPcmSource> source_;
    std::vector<float> piece_;
    bool loop_ = false;
    bool ended_ = false;
    uint64_t position_ = 0;
    uint64_t fileFrame_ = 0;     // where in the file the next frame comes from
    bool lapHadFrames_ = false;  // a rewind that yields nothing ends the loop
};

}  // namespace zepa
