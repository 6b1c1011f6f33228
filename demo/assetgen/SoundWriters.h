// Writers of small real sound files (WAV, Ogg Vorbis, Standard MIDI), used to generate the demo
// game's music and effects and the sound files of the audio tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zepa::assetgen {

inline constexpr int kSampleRate = 44100;

// Mono samples in -1..1 as 16-bit PCM WAV.
bool WriteWav(const std::string& path, const std::vector<float>& mono, int sampleRate = kSampleRate);
// Mono samples in -1..1 as Ogg Vorbis (libvorbisenc, quality 0.4).
bool WriteOgg(const std::string& path, const std::vector<float>& mono, int sampleRate = kSampleRate);

struct MidiNote {
    uint32_t startTick = 0;
    uint32_t lengthTicks = 0;
    uint8_t key = 60;
    uint8_t velocity = 100;
    uint8_t channel = 0;
};

// A format-0 MIDI file at 480 ticks per quarter note and `beatsPerMinute`, with one General MIDI
// program per channel (programs[c] for channel c; channels beyond the list keep program 0).
bool WriteMidi(const std::string& path, const std::vector<MidiNote>& notes,
               const std::vector<uint8_t>& programs, int beatsPerMinute = 120);

// A sine tone.
std::vector<float> Sine(double frequency, double seconds, double amplitude, int sampleRate = kSampleRate);

}  // namespace zepa::assetgen
