// Where a decoder puts its samples: at most two channels of 32-bit float samples, interleaved, at
// the file's own rate (the browser resamples), handed over piece by piece so that the decoder
// never holds a whole long file.
#pragma once

#include <span>

namespace zepa {

class ISoundSink {
  public:
    virtual ~ISoundSink() = default;
    // Once, before any samples; `channels` is 1 or 2.
    virtual void Begin(int sampleRate, int channels) = 0;
    // The next whole frames, in order.
    virtual void Append(std::span<const float> samples) = 0;
};

}  // namespace zepa
