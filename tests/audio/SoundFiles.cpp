#include "audio/SoundFiles.h"

#include "SoundWriters.h"

#include <cmath>
#include <numbers>

namespace zepa::test {

bool WriteSineWav(const std::string& path, double frequency, double seconds, double amplitude) {
    return assetgen::WriteWav(path, assetgen::Sine(frequency, seconds, amplitude));
}

bool WriteSineOgg(const std::string& path, double frequency, double seconds, double amplitude) {
    return assetgen::WriteOgg(path, assetgen::Sine(frequency, seconds, amplitude));
}

bool WriteOneNoteMidi(const std::string& path, double seconds) {
    // At 120 bpm and 480 ticks per quarter note a second is 960 ticks; program 0 is the piano.
    const assetgen::MidiNote middleC{0, static_cast<uint32_t>(seconds * 960), 60, 100, 0};
    return assetgen::WriteMidi(path, {middleC}, {0});
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
