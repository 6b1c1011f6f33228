// A decoder that hands out a sound file's samples a piece at a time, so that a long file can be
// played while it decodes: at most two channels of 32-bit float samples, interleaved, at the
// file's own rate. It reads the file's bytes in place; they must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/web/SoundSink.h"

namespace zepa {

class IPcmSource {
  public:
    virtual ~IPcmSource() = default;
    virtual int sampleRate() const = 0;
    // 1 or 2.
    virtual int channels() const = 0;
    // The length the file states, in frames; 0 when it states none that can be read.
    virtual uint64_t statedFrames() const = 0;
    // The next frames into `out` (as many whole frames as fit); how many, 0 at the end.
    virtual size_t Read(std::span<float> out) = 0;
    // Goes on from `frame` (0: the beginning); false when the stream cannot go there.
    virtual bool Seek(uint64_t frame) = 0;
};

// Null with the reason in `error` when the bytes are not a file of that kind it can read.
std::unique_ptr<IPcmSource> OpenWaveSource(std::span<const uint8_t> bytes, std::string& error);
std::unique_ptr<IPcmSource> OpenVorbisSource(std::span<const uint8_t> bytes, std::string& error);

// Decodes `source` from where it is into `sink` (Begin, then pieces) up to its end or `maxFrames`;
// returns how many frames.
size_t DecodeWhole(IPcmSource& source, size_t maxFrames, ISoundSink& sink);

}  // namespace zepa
