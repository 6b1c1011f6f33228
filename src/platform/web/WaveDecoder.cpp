#include "platform/web/WaveDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/web/PcmSource.h"

namespace zepa {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t ReadLe(std::span<const uint8_t> bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
}

struct WaveFormat {
    uint16_t tag = 0;
    int channels = 0;
    uint32_t sampleRate = 0;
    int bits = 0;
    size_t blockAlign = 0;
};

bool ParseFormat(std::span<const uint8_t> chunk, WaveFormat& format) {
    if (chunk.size() < 16) return false;
    format.tag = static_cast<uint16_t>(ReadLe(chunk, 0, 2));
    format.channels = static_cast<int>(ReadLe(chunk, 2, 2));
    format.sampleRate = ReadLe(chunk, 4, 4);
    format.blockAlign = ReadLe(chunk, 12, 2);
    format.bits = static_cast<int>(ReadLe(chunk, 14, 2));
    // The extensible header names the real format in the first two bytes of its sub-format.
    if (format.tag == kFormatExtensible && chunk.size() >= 26)
        format.tag = static_cast<uint16_t>(ReadLe(chunk, 24, 2));
    return true;
}

bool Supported(const WaveFormat& f, std::string& error) {
    const bool pcm = f.tag == kFormatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool real = f.tag == kFormatFloat && f.bits == 32;
    if (!pcm && !real) {
        error = "unsupported WAVE sample format";
        return false;
    }
    if (f.channels < 1 || f.sampleRate < 3000 || f.sampleRate > 384000 ||
        f.blockAlign != static_cast<size_t>(f.channels) * static_cast<size_t>(f.bits / 8)) {
        error = "corrupt WAVE format";
        return false;
    }
    return true;
}

// One sample at `at` as -1..1.
float Sample(std::span<const uint8_t> data, size_t at, const WaveFormat& f) {
    switch (f.bits) {
        case 8:
            return (static_cast<float>(data[at]) - 128.0f) / 128.0f;
        case 16:
            return static_cast<float>(static_cast<int16_t>(ReadLe(data, at, 2))) / 32768.0f;
        case 24:
            return static_cast<float>(static_cast<int32_t>(ReadLe(data, at, 3) << 8)) / 2147483648.0f;
        default:
            break;
    }
    const uint32_t word = ReadLe(data, at, 4);
    if (f.tag == kFormatFloat) {
        float value = 0.0f;
        std::memcpy(&value, &word, sizeof(value));
        return value == value ? std::clamp(value, -1.0f, 1.0f) : 0.0f;  // NaN is silence
    }
    return static_cast<float>(static_cast<int32_t>(word)) / 2147483648.0f;
}

class CWaveSource : public IPcmSource {
  public:
    CWaveSource(std::span<const uint8_t> data, const WaveFormat& format)
        : data_(data), format_(format), frames_(data.size() / format.blockAlign) {}
    int sampleRate() const override { return static_cast<int>(format_.sampleRate); }
    int channels() const override { return std::min(format_.channels, 2); }
    uint64_t statedFrames() const override { return frames_; }
    size_t Read(std::span<float> out) override {
        const size_t channels = static_cast<size_t>(this->channels());
        const size_t sampleBytes = static_cast<size_t>(format_.bits / 8);
        const size_t count = std::min(out.size() / channels, frames_ - next_);
        for (size_t i = 0; i < count; ++i, ++next_) {
            for (size_t channel = 0; channel < channels; ++channel) {
                out[i * channels + channel] =
                    Sample(data_, next_ * format_.blockAlign + channel * sampleBytes, format_);
            }
        }
        return count;
    }
    bool Seek(uint64_t frame) override {
        if (frame > frames_) return false;
        next_ = static_cast<size_t>(frame);
        return true;
    }

  private:
    std::span<const uint8_t> data_;
    WaveFormat format_;
    size_t frames_;
    size_t next_ = 0;
};

}  // namespace

std::unique_ptr<IPcmSource> OpenWaveSource(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a WAVE file";
        return nullptr;
    }
    std::optional<WaveFormat> format;
    size_t at = 12;
    // Chunks in file order; a chunk that claims more than the file has is cut at its end.
    while (at + 8 <= bytes.size()) {
        const uint32_t size = ReadLe(bytes, at + 4, 4);
        const std::span<const uint8_t> body =
            bytes.subspan(at + 8, std::min<size_t>(size, bytes.size() - at - 8));
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
            format.emplace();
            if (!ParseFormat(body, *format)) break;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!format) break;
            if (!Supported(*format, error)) return nullptr;
            return std::make_unique<CWaveSource>(body, *format);
        }
        // Past the last chunk; compared before adding, so that a huge size cannot wrap around.
        if (size >= bytes.size() - at - 8) break;
        at += 8 + static_cast<size_t>(size) + (size & 1u);  // chunks are padded to even sizes
    }
    error = "corrupt WAVE file";
    return nullptr;
}

std::optional<size_t> DecodeWave(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                 std::string& error) {
    const std::unique_ptr<IPcmSource> source = OpenWaveSource(bytes, error);
    if (!source) return std::nullopt;
    return DecodeWhole(*source, maxFrames, sink);
}

}  // namespace zepa
