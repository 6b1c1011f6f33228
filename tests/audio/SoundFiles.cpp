#include "audio/SoundFiles.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>

namespace zepa::test {
namespace {

constexpr int kRate = 44100;

std::vector<float> Sine(double frequency, double seconds, double amplitude) {
    std::vector<float> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * frequency * i / kRate));
    return samples;
}

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutBe(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

void WriteOggPages(std::ofstream& file, ogg_stream_state& stream, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        file.write(reinterpret_cast<const char*>(page.header), page.header_len);
        file.write(reinterpret_cast<const char*>(page.body), page.body_len);
    }
}

}  // namespace

bool WriteSineWav(const std::string& path, double frequency, double seconds, double amplitude) {
    const std::vector<float> samples = Sine(frequency, seconds, amplitude);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, 1, 2);  // mono
    PutLe(out, kRate, 4);
    PutLe(out, kRate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (float s : samples)
        PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767))), 2);
    return WriteBytes(path, out);
}

bool WriteSineOgg(const std::string& path, double frequency, double seconds, double amplitude) {
    const std::vector<float> samples = Sine(frequency, seconds, amplitude);
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, kRate, 0.4f) != 0) return false;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    std::ofstream file(path, std::ios::binary);
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    WriteOggPages(file, stream, true);

    constexpr size_t kBlock = 1024;
    for (size_t at = 0; at <= samples.size(); at += kBlock) {
        const size_t count = std::min(kBlock, samples.size() - at);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            std::memcpy(buffer[0], samples.data() + at, count * sizeof(float));
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));  // 0 marks the end
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                WriteOggPages(file, stream, false);
            }
        }
        if (count == 0) break;
    }
    WriteOggPages(file, stream, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return static_cast<bool>(file);
}

bool WriteOneNoteMidi(const std::string& path, double seconds) {
    constexpr int kTicksPerQuarter = 480;  // at the default 120 bpm: 960 ticks a second
    const uint32_t ticks = static_cast<uint32_t>(seconds * 960);
    std::string track;
    auto variableLength = [&](uint32_t value) {
        std::string bytes;
        bytes.push_back(static_cast<char>(value & 0x7F));
        while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>((value & 0x7F) | 0x80));
        track += bytes;
    };
    variableLength(0);
    track += std::string("\xC0\x00", 2);  // program change: piano
    variableLength(0);
    track += "\x90\x3C\x64";  // note on, middle C
    variableLength(ticks);
    track += std::string("\x80\x3C\x00", 3);  // note off
    variableLength(0);
    track += std::string("\xFF\x2F\x00", 3);  // end of track
    std::string out = "MThd";
    PutBe(out, 6, 4);
    PutBe(out, 0, 2);
    PutBe(out, 1, 2);
    PutBe(out, kTicksPerQuarter, 2);
    out += "MTrk";
    PutBe(out, static_cast<uint32_t>(track.size()), 4);
    out += track;
    return WriteBytes(path, out);
}

double TonePower(const std::vector<int16_t>& stereo, int sampleRate, double frequency) {
    const size_t frames = stereo.size() / 2;
    if (frames == 0) return 0;
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double x = (stereo[2 * i] + stereo[2 * i + 1]) / 65536.0;
        const double s0 = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return power / (static_cast<double>(frames) * frames);
}

double Rms(const std::vector<int16_t>& samples) {
    if (samples.empty()) return 0;
    double sum = 0;
    for (int16_t s : samples) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / samples.size());
}

}  // namespace zepa::test
