#include "platform/web/MidiLength.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zepa {
namespace {

constexpr double kDefaultMicrosPerQuarter = 500000.0;  // 120 beats a minute until a tempo event

struct TempoChange {
    uint64_t tick = 0;
    double microsPerQuarter = kDefaultMicrosPerQuarter;
};

class CTrackReader {
  public:
    explicit CTrackReader(std::span<const uint8_t> track) : track_(track) {}

    bool AtEnd() const { return at_ >= track_.size(); }
    uint8_t Byte() { return AtEnd() ? 0 : track_[at_++]; }
    void Skip(uint64_t count) { at_ += static_cast<size_t>(std::min<uint64_t>(count, track_.size() - at_)); }
    // A variable-length quantity: seven bits a byte, at most four bytes.
    uint32_t Number() {
        uint32_t value = 0;
        for (int i = 0; i < 4 && !AtEnd(); ++i) {
            const uint8_t b = Byte();
            value = (value << 7) | (b & 0x7Fu);
            if (!(b & 0x80u)) break;
        }
        return value;
    }

  private:
    std::span<const uint8_t> track_;
    size_t at_ = 0;
};

// Walks one track's events; returns the tick of its last event and adds its tempo changes.
uint64_t ReadTrack(std::span<const uint8_t> track, std::vector<TempoChange>& tempos) {
    CTrackReader reader(track);
    uint64_t tick = 0;
    uint8_t status = 0;
    while (!reader.AtEnd()) {
        tick += reader.Number();
        uint8_t first = reader.Byte();
        if (first >= 0x80) {
            status = first;
            if (status < 0xF0) first = reader.Byte();
        }
        if (status == 0xFF) {
            const uint8_t type = first >= 0x80 ? reader.Byte() : first;
            const uint32_t length = reader.Number();
            status = 0;               // running status does not carry past a meta event
            if (type == 0x2F) break;  // end of track
            if (type == 0x51 && length == 3) {
                const uint32_t micros =
                    (uint32_t{reader.Byte()} << 16) | (uint32_t{reader.Byte()} << 8) | reader.Byte();
                tempos.push_back({tick, micros > 0 ? static_cast<double>(micros) : kDefaultMicrosPerQuarter});
            } else {
                reader.Skip(length);
            }
        } else if (status == 0xF0 || status == 0xF7) {
            reader.Skip(reader.Number());
            status = 0;  // system exclusive cancels running status
        } else if (status >= 0x80) {
            const uint8_t kind = status & 0xF0;
            if (kind != 0xC0 && kind != 0xD0) reader.Byte();  // the second data byte
        }
    }
    return tick;
}

double TicksToSeconds(uint64_t end, std::vector<TempoChange> tempos, uint16_t division) {
    if (division & 0x8000u) {
        // SMPTE time: frames a second times ticks a frame.
        const int fps = -static_cast<int8_t>(division >> 8);
        const int perFrame = division & 0xFF;
        return fps > 0 && perFrame > 0 ? static_cast<double>(end) / (fps * perFrame) : 0.0;
    }
    if (division == 0) return 0.0;
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    double seconds = 0.0;
    TempoChange current;
    for (const TempoChange& change : tempos) {
        if (change.tick >= end) break;
        seconds +=
            static_cast<double>(change.tick - current.tick) * current.microsPerQuarter / division / 1e6;
        current = change;
    }
    return seconds + static_cast<double>(end - current.tick) * current.microsPerQuarter / division / 1e6;
}

uint32_t ReadBe(std::span<const uint8_t> bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
}

}  // namespace

std::optional<double> MidiLengthSeconds(std::span<const uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return std::nullopt;
    const uint32_t headerSize = ReadBe(bytes, 4, 4);
    if (headerSize < 6 || headerSize > bytes.size() - 8) return std::nullopt;
    const uint16_t division = static_cast<uint16_t>(ReadBe(bytes, 12, 2));
    std::vector<TempoChange> tempos;
    uint64_t end = 0;
    size_t at = 8 + headerSize;
    // Chunks other than tracks are skipped; a chunk longer than the file ends at the file's end.
    while (at + 8 <= bytes.size()) {
        const size_t remaining = bytes.size() - at - 8;
        const size_t size = std::min<size_t>(ReadBe(bytes, at + 4, 4), remaining);
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) {
            end = std::max(end, ReadTrack(bytes.subspan(at + 8, size), tempos));
        }
        at += 8 + size;
    }
    return TicksToSeconds(end, std::move(tempos), division);
}

}  // namespace zepa
