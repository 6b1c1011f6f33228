#include "platform/web/VorbisDecoder.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/web/PcmSource.h"

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

namespace zepa {
namespace {

struct VorbisCloser {
    void operator()(stb_vorbis* v) const { stb_vorbis_close(v); }
};

class CVorbisSource : public IPcmSource {
  public:
    CVorbisSource(stb_vorbis* vorbis, int rate, int channels)
        : vorbis_(vorbis), rate_(rate), channels_(channels) {
        // stb_vorbis finds the last page within the file's final 64 KB: bounded work.
        stated_ = stb_vorbis_stream_length_in_samples(vorbis_.get());
    }
    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    uint64_t statedFrames() const override { return stated_; }
    size_t Read(std::span<float> out) override {
        const size_t frames = out.size() / static_cast<size_t>(channels_);
        const int floats = static_cast<int>(std::min<size_t>(frames, INT_MAX / 2) * channels_);
        if (floats <= 0) return 0;
        const int got =
            stb_vorbis_get_samples_float_interleaved(vorbis_.get(), channels_, out.data(), floats);
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
    bool Seek(uint64_t frame) override {
        if (frame == 0) return stb_vorbis_seek_start(vorbis_.get()) != 0;
        if (frame >= stated_) return false;
        return stb_vorbis_seek_frame(vorbis_.get(), static_cast<unsigned int>(frame)) != 0;
    }

  private:
    std::unique_ptr<stb_vorbis, VorbisCloser> vorbis_;
    int rate_;
    int channels_;
    uint64_t stated_ = 0;
};

}  // namespace

std::unique_ptr<IPcmSource> OpenVorbisSource(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        error = "Ogg Vorbis file too large";
        return nullptr;
    }
    int status = 0;
    std::unique_ptr<stb_vorbis, VorbisCloser> vorbis(
        stb_vorbis_open_memory(bytes.data(), static_cast<int>(bytes.size()), &status, nullptr));
    if (!vorbis) {
        error = "not an Ogg Vorbis file (stb_vorbis error " + std::to_string(status) + ")";
        return nullptr;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis.get());
    if (info.sample_rate < 3000 || info.sample_rate > 384000 || info.channels < 1) {
        error = "unsupported Ogg Vorbis format";
        return nullptr;
    }
    return std::make_unique<CVorbisSource>(vorbis.release(), static_cast<int>(info.sample_rate),
                                           std::min(info.channels, 2));
}

std::optional<size_t> DecodeVorbis(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                   std::string& error) {
    const std::unique_ptr<IPcmSource> source = OpenVorbisSource(bytes, error);
    if (!source) return std::nullopt;
    // Piece by piece: the length the stream claims is never trusted, and the cap holds.
    return DecodeWhole(*source, maxFrames, sink);
}

}  // namespace zepa
