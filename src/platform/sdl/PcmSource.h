// A sound decoded in pieces, as the mixer's output wants it (interleaved signed 16-bit samples at
// the output's rate and channel count), so that a long sound never has to be decoded whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zepa {

struct PcmFormat {
    int rate = 44100;
    int channels = 2;
};

class IPcmSource {
  public:
    virtual ~IPcmSource() = default;
    // Writes up to `frames` frames into `out`; fewer, down to 0, once the sound has ended.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
    // Back to the beginning; false when that fails (the source then stays ended).
    virtual bool Rewind() = 0;
};

}  // namespace zepa
