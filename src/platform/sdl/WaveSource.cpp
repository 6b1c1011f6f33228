#include "platform/sdl/WaveSource.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zepa {
namespace {

constexpr size_t kPieceBytes = 16384;
constexpr int kMaxChannels = 8;

struct WaveLayout {
    SDL_AudioFormat sampleFormat = 0;
    int channels = 0;
    int rate = 0;
    int frameBytes = 0;
    Sint64 dataStart = 0;
    Sint64 dataBytes = 0;  // as far as the file holds them
};

SDL_AudioFormat SampleFormatOf(Uint16 tag, Uint16 bits) {
    if (tag == 1 && bits == 8) return AUDIO_U8;
    if (tag == 1 && bits == 16) return AUDIO_S16LSB;
    if (tag == 1 && bits == 32) return AUDIO_S32LSB;
    if (tag == 3 && bits == 32) return AUDIO_F32LSB;
    return 0;
}

// Walks the RIFF chunks for "fmt " and "data"; false for anything but plain PCM.
bool ReadLayout(SDL_RWops* file, WaveLayout& layout) {
    char riff[12];
    if (SDL_RWread(file, riff, 1, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return false;
    }
    const Sint64 fileSize = SDL_RWsize(file);
    bool haveFormat = false;
    for (;;) {
        char id[4];
        if (SDL_RWread(file, id, 1, 4) != 4) return false;
        const Sint64 length = SDL_ReadLE32(file);
        const Sint64 start = SDL_RWtell(file);
        if (std::memcmp(id, "fmt ", 4) == 0 && length >= 16) {
            const Uint16 tag = SDL_ReadLE16(file);
            layout.channels = SDL_ReadLE16(file);
            layout.rate = static_cast<int>(SDL_ReadLE32(file));
            SDL_ReadLE32(file);  // bytes a second
            SDL_ReadLE16(file);  // block alignment
            const Uint16 bits = SDL_ReadLE16(file);
            layout.sampleFormat = SampleFormatOf(tag, bits);
            layout.frameBytes = layout.channels * bits / 8;
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            layout.dataStart = start;
            layout.dataBytes = std::min(length, fileSize - start);
            return haveFormat && layout.sampleFormat != 0 && layout.channels >= 1 &&
                   layout.channels <= kMaxChannels && layout.rate >= 1 && layout.frameBytes > 0;
        }
        if (SDL_RWseek(file, start + length + (length & 1), RW_SEEK_SET) < 0) return false;
    }
}

class CWaveSource final : public IPcmSource {
  public:
    CWaveSource(SDL_RWops* file, const WaveLayout& layout, SDL_AudioStream* stream, PcmFormat format)
        : file_(file), layout_(layout), stream_(stream), format_(format) {}
    ~CWaveSource() override {
        SDL_FreeAudioStream(stream_);
        SDL_RWclose(file_);
    }
    CWaveSource(const CWaveSource&) = delete;
    CWaveSource& operator=(const CWaveSource&) = delete;

    size_t Read(int16_t* out, size_t frames) override {
        const int frameBytes = static_cast<int>(sizeof(int16_t)) * format_.channels;
        const int wanted = static_cast<int>(frames) * frameBytes;
        while (SDL_AudioStreamAvailable(stream_) < wanted && !ended_) ReadPiece();
        const int got = SDL_AudioStreamGet(stream_, out, wanted);
        return got > 0 ? static_cast<size_t>(got / frameBytes) : 0;
    }

    bool Rewind() override {
        if (SDL_RWseek(file_, layout_.dataStart, RW_SEEK_SET) < 0) return false;
        SDL_AudioStreamClear(stream_);
        position_ = 0;
        ended_ = false;
        return true;
    }

  private:
    // Whole frames only, so that the converter never sees half a frame.
    void ReadPiece() {
        uint8_t piece[kPieceBytes];
        const Sint64 frameBytes = layout_.frameBytes;
        const Sint64 left = (layout_.dataBytes - position_) / frameBytes * frameBytes;
        const size_t want =
            static_cast<size_t>(std::min<Sint64>(left, kPieceBytes / frameBytes * frameBytes));
        const size_t got = want > 0 ? SDL_RWread(file_, piece, 1, want) / frameBytes * frameBytes : 0;
        position_ += static_cast<Sint64>(got);
        if (got == 0 || SDL_AudioStreamPut(stream_, piece, static_cast<int>(got)) != 0) {
            SDL_AudioStreamFlush(stream_);
            ended_ = true;
        }
    }

    SDL_RWops* file_;
    const WaveLayout layout_;
    SDL_AudioStream* stream_;
    const PcmFormat format_;
    Sint64 position_ = 0;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<IPcmSource> OpenLongWaveSource(const std::string& path, PcmFormat format, size_t maxBytes) {
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) return nullptr;
    WaveLayout layout;
    if (!ReadLayout(file, layout)) {
        SDL_RWclose(file);
        return nullptr;
    }
    const double frames = static_cast<double>(layout.dataBytes / layout.frameBytes);
    const double converted = frames * format.rate / layout.rate * format.channels * sizeof(int16_t);
    SDL_AudioStream* stream =
        converted > static_cast<double>(maxBytes)
            ? SDL_NewAudioStream(layout.sampleFormat, static_cast<Uint8>(layout.channels), layout.rate,
                                 AUDIO_S16SYS, static_cast<Uint8>(format.channels), format.rate)
            : nullptr;
    if (!stream || SDL_RWseek(file, layout.dataStart, RW_SEEK_SET) < 0) {
        if (stream) SDL_FreeAudioStream(stream);
        SDL_RWclose(file);
        return nullptr;
    }
    return std::make_unique<CWaveSource>(file, layout, stream, format);
}

}  // namespace zepa
