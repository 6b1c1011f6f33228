#include "platform/web/VorbisDecoder.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

namespace zepa {
namespace {

constexpr int kPieceFrames = 4096;

struct VorbisCloser {
    void operator()(stb_vorbis* v) const { stb_vorbis_close(v); }
};

}  // namespace

std::optional<size_t> DecodeVorbis(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                   std::string& error) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        error = "Ogg Vorbis file too large";
        return std::nullopt;
    }
    int status = 0;
    std::unique_ptr<stb_vorbis, VorbisCloser> vorbis(
        stb_vorbis_open_memory(bytes.data(), static_cast<int>(bytes.size()), &status, nullptr));
    if (!vorbis) {
        error = "not an Ogg Vorbis file (stb_vorbis error " + std::to_string(status) + ")";
        return std::nullopt;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis.get());
    if (info.sample_rate < 3000 || info.sample_rate > 384000 || info.channels < 1) {
        error = "unsupported Ogg Vorbis format";
        return std::nullopt;
    }
    const int channels = std::min(info.channels, 2);
    sink.Begin(static_cast<int>(info.sample_rate), channels);
    // Piece by piece: the length the stream claims is never trusted, and the cap holds.
    std::vector<float> piece(static_cast<size_t>(kPieceFrames) * static_cast<size_t>(channels));
    size_t frames = 0;
    while (frames < maxFrames) {
        const int got = stb_vorbis_get_samples_float_interleaved(vorbis.get(), channels, piece.data(),
                                                                 static_cast<int>(piece.size()));
        if (got <= 0) break;
        const size_t keep = std::min(static_cast<size_t>(got), maxFrames - frames);
        sink.Append(std::span<const float>(piece.data(), keep * static_cast<size_t>(channels)));
        frames += keep;
    }
    return frames;
}

}  // namespace zepa
