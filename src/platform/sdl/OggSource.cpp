#include "platform/sdl/OggSource.h"

#include <SDL2/SDL.h>
#include <vorbis/vorbisfile.h>

#include <cstring>
#include <fstream>

namespace zepa {
namespace {

constexpr int kPieceBytes = 16384;
constexpr int kMaxChannels = 8;

class COggSource final : public IPcmSource {
  public:
    explicit COggSource(PcmFormat format) : format_(format) {}
    ~COggSource() override {
        if (stream_) SDL_FreeAudioStream(stream_);
        if (opened_) ov_clear(&file_);
    }
    COggSource(const COggSource&) = delete;
    COggSource& operator=(const COggSource&) = delete;

    bool Open(const std::string& path, std::string& error) {
        if (ov_fopen(path.c_str(), &file_) != 0) {
            error = "not an Ogg Vorbis file";
            return false;
        }
        opened_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        if (!info || info->channels < 1 || info->channels > kMaxChannels || info->rate < 1) {
            error = "unsupported Ogg Vorbis channels or rate";
            return false;
        }
        channels_ = info->channels;
        rate_ = info->rate;
        stream_ = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(channels_), static_cast<int>(rate_),
                                     AUDIO_S16SYS, static_cast<Uint8>(format_.channels), format_.rate);
        if (!stream_) error = SDL_GetError();
        return stream_ != nullptr;
    }

    size_t Read(int16_t* out, size_t frames) override {
        const int frameBytes = static_cast<int>(sizeof(int16_t)) * format_.channels;
        const int wanted = static_cast<int>(frames) * frameBytes;
        while (!ended_ && SDL_AudioStreamAvailable(stream_) < wanted) DecodePiece();
        const int got = SDL_AudioStreamGet(stream_, out, wanted);
        return got > 0 ? static_cast<size_t>(got / frameBytes) : 0;
    }

    bool Rewind() override {
        if (ov_pcm_seek(&file_, 0) != 0) return false;
        SDL_AudioStreamClear(stream_);
        ended_ = false;
        return true;
    }

  private:
    // One piece of decoded samples into the converter; at the end (or a link of the stream in
    // another format, or damage) the converter is flushed and the source ends.
    void DecodePiece() {
        char piece[kPieceBytes];
        int link = 0;
        const long bytes = ov_read(&file_, piece, kPieceBytes, SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &link);
        if (bytes == OV_HOLE) return;  // a gap in the data: decoding goes on after it
        const vorbis_info* info = bytes > 0 ? ov_info(&file_, link) : nullptr;
        if (!info || info->channels != channels_ || info->rate != rate_ ||
            SDL_AudioStreamPut(stream_, piece, static_cast<int>(bytes)) != 0) {
            SDL_AudioStreamFlush(stream_);
            ended_ = true;
        }
    }

    const PcmFormat format_;
    OggVorbis_File file_{};
    bool opened_ = false;
    int channels_ = 0;
    long rate_ = 0;
    SDL_AudioStream* stream_ = nullptr;
    bool ended_ = false;
};

}  // namespace

bool LooksLikeOgg(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    return file.read(magic, 4) && std::memcmp(magic, "OggS", 4) == 0;
}

std::unique_ptr<IPcmSource> OpenOggSource(const std::string& path, PcmFormat format, std::string& error) {
    auto source = std::make_unique<COggSource>(format);
    if (!source->Open(path, error)) return nullptr;
    return source;
}

}  // namespace zepa
