#include "platform/web/WaveDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zepa {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kPieceSamples = 8192;

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

size_t Convert(std::span<const uint8_t> data, const WaveFormat& f, size_t maxFrames, ISoundSink& sink) {
    const int channels = std::min(f.channels, 2);
    const size_t frames = std::min(data.size() / f.blockAlign, maxFrames);
    const size_t sampleBytes = static_cast<size_t>(f.bits / 8);
    sink.Begin(static_cast<int>(f.sampleRate), channels);
    std::vector<float> piece;
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            piece.push_back(
                Sample(data, frame * f.blockAlign + static_cast<size_t>(channel) * sampleBytes, f));
        }
        if (piece.size() >= kPieceSamples) {
            sink.Append(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) sink.Append(piece);
    return frames;
}

}  // namespace

std::optional<size_t> DecodeWave(std::span<const uint8_t> bytes, size_t maxFrames, ISoundSink& sink,
                                 std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a WAVE file";
        return std::nullopt;
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
            if (!Supported(*format, error)) return std::nullopt;
            return Convert(body, *format, maxFrames, sink);
        }
        // Past the last chunk; compared before adding, so that a huge size cannot wrap around.
        if (size >= bytes.size() - at - 8) break;
        at += 8 + static_cast<size_t>(size) + (size & 1u);  // chunks are padded to even sizes
    }
    error = "corrupt WAVE file";
    return std::nullopt;
}

}  // namespace zepa
