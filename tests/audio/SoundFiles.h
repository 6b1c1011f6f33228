// Small real sound files for the audio tests: a sine tone as WAV or Ogg Vorbis, and a MIDI file
// that holds one note. Plus the analysis of captured output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zepa::test {

// 16-bit PCM, mono, 44100 Hz.
bool WriteSineWav(const std::string& path, double frequency, double seconds, double amplitude = 0.5);
// Ogg Vorbis, mono, 44100 Hz (libvorbisenc).
bool WriteSineOgg(const std::string& path, double frequency, double seconds, double amplitude = 0.5);
// A format-0 MIDI file: program 0 (piano), one middle-C note of `seconds`.
bool WriteOneNoteMidi(const std::string& path, double seconds);

// Power of `frequency` in interleaved stereo 16-bit samples (left + right mixed), normalised
// so that a full-scale sine gives about 0.25; Goertzel filter.
double TonePower(const std::vector<int16_t>& stereo, int sampleRate, double frequency);
// Root mean square of the samples, 0..32768.
double Rms(const std::vector<int16_t>& samples);

}  // namespace zepa::test
