#include "SoundWriters.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>

namespace zepa::assetgen {
namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutBe(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutVariableLength(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>((value & 0x7F) | 0x80));
    out += bytes;
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

std::vector<float> Sine(double frequency, double seconds, double amplitude, int sampleRate) {
    std::vector<float> samples(static_cast<size_t>(seconds * sampleRate));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * frequency * i / sampleRate));
    }
    return samples;
}

bool WriteWav(const std::string& path, const std::vector<float>& mono, int sampleRate) {
    const uint32_t dataBytes = static_cast<uint32_t>(mono.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, 1, 2);  // mono
    PutLe(out, static_cast<uint32_t>(sampleRate), 4);
    PutLe(out, static_cast<uint32_t>(sampleRate) * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (float s : mono) {
        const float clamped = std::clamp(s, -1.0f, 1.0f);
        PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clamped * 32767))), 2);
    }
    return WriteBytes(path, out);
}

bool WriteOgg(const std::string& path, const std::vector<float>& mono, int sampleRate) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, sampleRate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
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
    for (size_t at = 0; at <= mono.size(); at += kBlock) {
        const size_t count = std::min(kBlock, mono.size() - at);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            std::memcpy(buffer[0], mono.data() + at, count * sizeof(float));
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

bool WriteMidi(const std::string& path, const std::vector<MidiNote>& notes,
               const std::vector<uint8_t>& programs, int beatsPerMinute) {
    constexpr int kTicksPerQuarter = 480;
    // Events by tick; note-offs sort before note-ons of the same tick.
    std::multimap<std::pair<uint32_t, int>, std::string> events;
    for (const MidiNote& note : notes) {
        const char channel = static_cast<char>(note.channel & 0x0F);
        events.emplace(std::make_pair(note.startTick, 1),
                       std::string{static_cast<char>(0x90 | channel), static_cast<char>(note.key & 0x7F),
                                   static_cast<char>(note.velocity & 0x7F)});
        events.emplace(std::make_pair(note.startTick + note.lengthTicks, 0),
                       std::string{static_cast<char>(0x80 | channel), static_cast<char>(note.key & 0x7F), 0});
    }
    std::string track;
    const uint32_t microsPerQuarter = 60000000u / static_cast<uint32_t>(std::max(1, beatsPerMinute));
    PutVariableLength(track, 0);
    track += std::string("\xFF\x51\x03", 3);
    PutBe(track, microsPerQuarter, 3);
    for (size_t c = 0; c < programs.size() && c < 16; ++c) {
        PutVariableLength(track, 0);
        track += static_cast<char>(0xC0 | c);
        track += static_cast<char>(programs[c] & 0x7F);
    }
    uint32_t now = 0;
    for (const auto& [when, bytes] : events) {
        PutVariableLength(track, when.first - now);
        now = when.first;
        track += bytes;
    }
    PutVariableLength(track, 0);
    track += std::string("\xFF\x2F\x00", 3);
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

}  // namespace zepa::assetgen
