#include "platform/web/VorbisDecoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/web/PcmSource.h"

namespace zepa {
namespace {

// The file's bytes as vorbisfile's stream: read, seek and tell over memory, so that it can find
// the last page (the length) and seek as it does in a file on the desktop.
struct MemoryStream {
    std::span<const uint8_t> bytes;
    size_t at = 0;

    static size_t Read(void* out, size_t size, size_t count, void* self) {
        auto& stream = *static_cast<MemoryStream*>(self);
        if (size == 0) return 0;
        const size_t items = std::min(count, (stream.bytes.size() - stream.at) / size);
        if (items == 0) return 0;  // also an empty file, whose data() may be null
        std::memcpy(out, stream.bytes.data() + stream.at, items * size);
        stream.at += items * size;
        return items;
    }
    static int Seek(void* self, ogg_int64_t offset, int whence) {
        auto& stream = *static_cast<MemoryStream*>(self);
        const ogg_int64_t size = static_cast<ogg_int64_t>(stream.bytes.size());
        const ogg_int64_t base = whence == SEEK_SET   ? 0
                                 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(stream.at)
                                                      : size;
        if (offset < -base || offset > size - base) return -1;
        stream.at = static_cast<size_t>(base + offset);
        return 0;
    }
    static long Tell(void* self) { return static_cast<long>(static_cast<MemoryStream*>(self)->at); }
};

constexpr ov_callbacks kMemoryCallbacks = {MemoryStream::Read, MemoryStream::Seek, nullptr,
                                           MemoryStream::Tell};

class CVorbisSource final : public IPcmSource {
  public:
    explicit CVorbisSource(std::span<const uint8_t> bytes) : stream_{bytes} {}
    ~CVorbisSource() override {
        if (opened_) ov_clear(&file_);
    }
    CVorbisSource(const CVorbisSource&) = delete;
    CVorbisSource& operator=(const CVorbisSource&) = delete;

    bool Open(std::string& error);
    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    uint64_t statedFrames() const override { return stated_; }
    size_t Read(std::span<float> out) override;
    bool Seek(uint64_t frame) override;

  private:
    size_t DecodePiece(float* out, size_t frames);

    MemoryStream stream_;
    OggVorbis_File file_{};
    bool opened_ = false;
    int rate_ = 0;
    int fileChannels_ = 0;
    int channels_ = 0;
    uint64_t stated_ = 0;
    bool ended_ = false;
};

bool CVorbisSource::Open(std::string& error) {
    const int status = ov_open_callbacks(&stream_, &file_, nullptr, 0, kMemoryCallbacks);
    if (status != 0) {
        error = "not an Ogg Vorbis file (vorbisfile error " + std::to_string(status) + ")";
        return false;
    }
    opened_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    if (!info || info->rate < 3000 || info->rate > 384000 || info->channels < 1) {
        error = "unsupported Ogg Vorbis format";
        return false;
    }
    rate_ = static_cast<int>(info->rate);
    fileChannels_ = info->channels;
    channels_ = std::min(fileChannels_, 2);
    // The length of all the stream's links: vorbisfile read it from their last pages at opening.
    const ogg_int64_t total = ov_pcm_total(&file_, -1);
    stated_ = total > 0 ? static_cast<uint64_t>(total) : 0;
    return true;
}

size_t CVorbisSource::Read(std::span<float> out) {
    const size_t frames = out.size() / static_cast<size_t>(channels_);
    size_t done = 0;
    while (done < frames && !ended_) done += DecodePiece(out.data() + done * channels_, frames - done);
    return done;
}

// The next decoded packet's frames, at most `frames`; 0 (and the end) at the stream's end, on
// damage vorbisfile cannot step over, or at a link in another format (as on the desktop).
size_t CVorbisSource::DecodePiece(float* out, size_t frames) {
    float** planes = nullptr;
    int link = 0;
    const int want = static_cast<int>(std::min<size_t>(frames, 4096));
    const long got = ov_read_float(&file_, &planes, want, &link);
    if (got == OV_HOLE) return 0;  // a gap in the data: decoding goes on after it
    const vorbis_info* info = got > 0 ? ov_info(&file_, link) : nullptr;
    if (!info || info->channels != fileChannels_ || info->rate != rate_) {
        ended_ = true;
        return 0;
    }
    for (long i = 0; i < got; ++i)
        for (int c = 0; c < channels_; ++c) out[static_cast<size_t>(i) * channels_ + c] = planes[c][i];
    return static_cast<size_t>(got);
}

bool CVorbisSource::Seek(uint64_t frame) {
    if (frame != 0 && frame >= stated_) return false;
    ended_ = ov_pcm_seek(&file_, static_cast<ogg_int64_t>(frame)) != 0;
    return !ended_;
}

}  // namespace

std::unique_ptr<IPcmSource> OpenVorbisSource(std::span<const uint8_t> bytes, std::string& error) {
    auto source = std::make_unique<CVorbisSource>(bytes);
    if (!source->Open(error)) return nullptr;
    return source;
}

std::optional<size_t> DecodeVorbis(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                   std::string& error) {
    const std::unique_ptr<IPcmSource> source = OpenVorbisSource(bytes, error);
    if (!source) return std::nullopt;
    // Piece by piece: the length the stream claims is never trusted, and the cap holds.
    return DecodeWhole(*source, maxFrames, sink);
}

}  // namespace zepa
