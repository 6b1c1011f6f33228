#include "platform/web/PcmSource.h"

#include <algorithm>
#include <vector>

namespace zepa {

size_t DecodeWhole(IPcmSource& source, size_t maxFrames, ISoundSink& sink) {
    constexpr size_t kPieceFrames = 4096;
    const size_t channels = static_cast<size_t>(source.channels());
    sink.Begin(source.sampleRate(), source.channels());
    std::vector<float> piece(kPieceFrames * channels);
    size_t frames = 0;
    while (frames < maxFrames) {
        const size_t want = std::min(kPieceFrames, maxFrames - frames);
        const size_t got = source.Read(std::span<float>(piece.data(), want * channels));
        if (got == 0) break;
        sink.Append(std::span<const float>(piece.data(), got * channels));
        frames += got;
    }
    return frames;
}

}  // namespace zepa
