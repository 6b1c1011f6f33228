// Generates the demo game: its pictures and sounds are drawn and synthesised here, and its scripts
// (kept in UTF-8 in demo/scripts) are converted to Shift-JIS with CR LF line ends, as a game author
// on Windows would save them.
//
//   zepa-demo-assets OUT_DIR SCRIPTS_DIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "Painter.h"
#include "SoundWriters.h"
#include "platform/Cp932.h"

namespace fs = std::filesystem;
using namespace zepa::assetgen;

namespace {

bool g_ok = true;

void Check(bool ok, const fs::path& path) {
    if (!ok) {
        std::fprintf(stderr, "zepa-demo-assets: cannot write %s\n", path.string().c_str());
        g_ok = false;
    }
}

void Save(const CPainter& painter, const fs::path& path) {
    fs::create_directories(path.parent_path());
    Check(painter.WritePng(path.string()), path);
}

// ---- pictures -------------------------------------------------------------------------------

CPainter TitlePicture() {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 480, Argb(255, 16, 20, 60), Argb(255, 120, 60, 120));
    p.Scatter(220, Argb(255, 255, 255, 230), 7);
    p.FillEllipse(500, 110, 60, 60, Argb(255, 250, 240, 200));  // moon
    p.FillEllipse(528, 92, 56, 56, Argb(255, 22, 26, 68));      // its shadow: a crescent
    p.FillRect(0, 400, 640, 80, Argb(255, 20, 16, 30));         // hills
    p.FillEllipse(160, 420, 240, 60, Argb(255, 26, 20, 40));
    p.FillEllipse(480, 430, 260, 50, Argb(255, 24, 18, 36));
    p.FillRect(120, 180, 400, 4, Argb(200, 255, 255, 255));  // a title rule
    return p;
}

CPainter RoomPicture() {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 330, Argb(255, 230, 214, 180), Argb(255, 200, 180, 150));  // wall
    p.VerticalGradient(0, 330, 640, 150, Argb(255, 140, 100, 70), Argb(255, 100, 70, 50));   // floor
    p.FillRect(380, 60, 200, 160, Argb(255, 120, 170, 220));                                 // window
    p.Frame(380, 60, 200, 160, 8, Argb(255, 250, 250, 250));
    p.FillRect(476, 60, 8, 160, Argb(255, 250, 250, 250));
    p.FillRect(60, 250, 220, 20, Argb(255, 90, 60, 40));  // shelf
    return p;
}

CPainter SkyPicture() {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 480, Argb(255, 70, 130, 210), Argb(255, 200, 230, 250));
    p.FillEllipse(150, 120, 90, 30, Argb(230, 255, 255, 255));
    p.FillEllipse(200, 105, 70, 35, Argb(230, 255, 255, 255));
    p.FillEllipse(470, 200, 110, 30, Argb(220, 255, 255, 255));
    p.FillRect(0, 420, 640, 60, Argb(255, 90, 150, 80));
    return p;
}

CPainter StreetPicture() {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 300, Argb(255, 250, 170, 110), Argb(255, 250, 210, 160));  // evening
    for (int i = 0; i < 6; ++i) {
        const int h = 120 + (i * 53) % 110;
        p.FillRect(i * 110, 300 - h, 96, h, Argb(255, 80 + i * 10, 70, 90));
    }
    p.FillRect(0, 300, 640, 180, Argb(255, 70, 70, 80));
    for (int x = 20; x < 640; x += 80) p.FillRect(x, 386, 40, 8, Argb(255, 230, 230, 200));
    return p;
}

// A simple figure: head, hair, body. The background is fully transparent.
CPainter Character(uint32_t hair, uint32_t clothes, bool smiling) {
    CPainter p(300, 480);
    p.FillEllipse(150, 420, 110, 140, clothes);                           // body
    p.FillRect(130, 230, 40, 50, Argb(255, 250, 220, 200));               // neck
    p.FillEllipse(150, 170, 78, 90, Argb(255, 250, 224, 206));            // face
    p.FillEllipse(150, 100, 86, 46, hair);                                // hair
    p.FillEllipse(120, 175, 8, smiling ? 4 : 10, Argb(255, 40, 40, 60));  // eyes
    p.FillEllipse(180, 175, 8, smiling ? 4 : 10, Argb(255, 40, 40, 60));
    p.FillEllipse(150, 220, smiling ? 20 : 12, smiling ? 8 : 3, Argb(255, 200, 80, 90));  // mouth
    return p;
}

// Pictures use opaque pure green as their transparent colour.
CPainter SunPicture() {
    CPainter p(128, 128, Argb(255, 0, 255, 0));
    p.FillRect(0, 0, 128, 128, Argb(255, 0, 255, 0));
    for (int i = 0; i < 12; ++i) {
        const double angle = i * std::numbers::pi / 6;
        p.FillEllipse(64 + 50 * std::cos(angle), 64 + 50 * std::sin(angle), 8, 8, Argb(255, 250, 160, 40));
    }
    p.FillEllipse(64, 64, 36, 36, Argb(255, 250, 210, 60));
    return p;
}

// Four 64 x 64 frames of a turning star, side by side.
CPainter StarAtlas() {
    CPainter p(256, 64);
    for (int frame = 0; frame < 4; ++frame) {
        const double turn = frame * std::numbers::pi / 10;
        for (int arm = 0; arm < 5; ++arm) {
            const double angle = turn + arm * 2 * std::numbers::pi / 5;
            for (double r = 0; r < 28; r += 2) {
                p.FillEllipse(frame * 64 + 32 + r * std::cos(angle), 32 + r * std::sin(angle), 6 - r / 6,
                              6 - r / 6, Argb(255, 255, 230, 90));
            }
        }
    }
    return p;
}

// The window skin: a 96 x 96 frame (12-pixel corners and edges around a 72 x 72 centre) and a
// 96 x 96 picture beside it for stretched windows.
CPainter WindowSkin() {
    CPainter p(192, 96);
    p.FillRect(0, 0, 96, 96, Argb(200, 20, 30, 70));     // translucent centre
    p.Frame(0, 0, 96, 96, 12, Argb(230, 60, 80, 150));   // edges
    p.Frame(4, 4, 88, 88, 2, Argb(255, 220, 230, 255));  // a light inner rule along the edges
    for (int cx : {0, 84}) {
        for (int cy : {0, 84}) p.FillRect(cx + 3, cy + 3, 6, 6, Argb(255, 255, 240, 200));  // corner studs
    }
    p.VerticalGradient(96, 0, 96, 96, Argb(210, 40, 50, 110), Argb(210, 10, 10, 40));
    p.Frame(96, 0, 96, 96, 3, Argb(255, 220, 230, 255));
    return p;
}

CPainter Cursor() {
    CPainter p(24, 24);
    p.FillRect(0, 0, 24, 24, Argb(110, 150, 190, 255));
    p.Frame(0, 0, 24, 24, 1, Argb(220, 230, 240, 255));
    return p;
}

// Up arrow at (0, 0, 16, 16), down arrow at (0, 16, 16, 32).
CPainter Arrows() {
    CPainter p(16, 32);
    for (int row = 0; row < 8; ++row) {
        p.FillRect(8 - row - 1, 4 + row, 2 * row + 2, 1, Argb(255, 255, 255, 255));
        p.FillRect(8 - row - 1, 27 - row, 2 * row + 2, 1, Argb(255, 255, 255, 255));
    }
    return p;
}

CPainter QuickSaveIcon() {
    CPainter p(64, 16);
    p.FillRect(0, 0, 64, 16, Argb(200, 30, 60, 120));
    p.Frame(0, 0, 64, 16, 1, Argb(255, 200, 220, 255));
    // A floppy-disk mark.
    p.FillRect(4, 3, 10, 10, Argb(255, 230, 230, 240));
    p.FillRect(6, 3, 6, 4, Argb(255, 60, 80, 140));
    for (int i = 0; i < 5; ++i) p.FillRect(20 + i * 8, 6, 5, 4, Argb(255, 230, 230, 240));
    return p;
}

// ---- sounds ---------------------------------------------------------------------------------

std::vector<float> Envelope(std::vector<float> samples, double attack, double release) {
    const double n = static_cast<double>(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = i / static_cast<double>(kSampleRate);
        const double remaining = (n - i) / kSampleRate;
        samples[i] *= static_cast<float>(std::min({1.0, t / attack, remaining / release}));
    }
    return samples;
}

std::vector<float> Chirp(double from, double to, double seconds, double amplitude) {
    std::vector<float> out(static_cast<size_t>(seconds * kSampleRate));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double f = from + (to - from) * i / out.size();
        phase += 2 * std::numbers::pi * f / kSampleRate;
        out[i] = static_cast<float>(amplitude * std::sin(phase));
    }
    return Envelope(out, 0.005, 0.03);
}

std::vector<float> Noise(double seconds, double amplitude, double smoothing, uint32_t seed) {
    std::vector<float> out(static_cast<size_t>(seconds * kSampleRate));
    uint32_t state = seed;
    double value = 0;
    for (float& sample : out) {
        state = state * 1664525u + 1013904223u;
        const double white = (state >> 8) / 8388608.0 - 1.0;
        value = value * smoothing + white * (1 - smoothing);
        sample = static_cast<float>(amplitude * value);
    }
    return out;
}

std::vector<float> Chord(const std::vector<double>& frequencies, double seconds, double amplitude) {
    std::vector<float> out(static_cast<size_t>(seconds * kSampleRate), 0.0f);
    for (double f : frequencies) {
        const std::vector<float> tone = Sine(f, seconds, amplitude / frequencies.size());
        for (size_t i = 0; i < out.size(); ++i) out[i] += tone[i];
    }
    return out;
}

// A four-bar loop in C major: melody on a flute, chords on strings.
std::vector<MidiNote> ThemeNotes() {
    std::vector<MidiNote> notes;
    const uint8_t melody[] = {72, 74, 76, 79, 76, 74, 72, 67, 69, 72, 74, 76, 74, 72, 74, 72};
    for (int i = 0; i < 16; ++i) notes.push_back({static_cast<uint32_t>(i * 480), 440, melody[i], 96, 0});
    const uint8_t roots[] = {48, 53, 55, 48};
    for (int bar = 0; bar < 4; ++bar) {
        for (int step : {0, 4, 7})
            notes.push_back(
                {static_cast<uint32_t>(bar * 1920), 1900, static_cast<uint8_t>(roots[bar] + step), 70, 1});
    }
    return notes;
}

void WriteSounds(const fs::path& music) {
    fs::create_directories(music / "bgm");
    fs::create_directories(music / "bgs");
    fs::create_directories(music / "se");
    Check(WriteMidi((music / "bgm/theme.mid").string(), ThemeNotes(), {73, 48}, 100),
          music / "bgm/theme.mid");
    Check(WriteOgg((music / "bgm/calm.ogg").string(),
                   Envelope(Chord({220, 277.18, 329.63}, 4.0, 0.5), 0.2, 0.2)),
          music / "bgm/calm.ogg");
    Check(WriteWav((music / "bgm/pulse.wav").string(),
                   Envelope(Chord({196, 246.94, 293.66}, 2.0, 0.4), 0.05, 0.05)),
          music / "bgm/pulse.wav");
    Check(WriteOgg((music / "bgs/rain.ogg").string(), Noise(3.0, 0.35, 0.6, 11)), music / "bgs/rain.ogg");
    Check(WriteWav((music / "bgs/wind.wav").string(), Noise(3.0, 0.5, 0.97, 23)), music / "bgs/wind.wav");
    Check(WriteWav((music / "se/cursor8.wav").string(), Chirp(1200, 1500, 0.06, 0.4)),
          music / "se/cursor8.wav");
    Check(WriteWav((music / "se/mokin.wav").string(), Chirp(660, 990, 0.15, 0.5)), music / "se/mokin.wav");
    Check(WriteWav((music / "se/bahu.wav").string(), Chirp(400, 200, 0.18, 0.5)), music / "se/bahu.wav");
    Check(WriteOgg((music / "se/chime.ogg").string(), Envelope(Chord({880, 1318.5}, 0.8, 0.5), 0.005, 0.6)),
          music / "se/chime.ogg");
    Check(WriteWav((music / "se/knock.wav").string(), Envelope(Noise(0.12, 0.8, 0.9, 5), 0.002, 0.08)),
          music / "se/knock.wav");
    Check(WriteMidi((music / "se/bell.mid").string(), {{0, 960, 84, 110, 0}}, {14}), music / "se/bell.mid");
}

// ---- scripts --------------------------------------------------------------------------------

void ConvertScripts(const fs::path& from, const fs::path& to) {
    if (!fs::is_directory(from)) return;
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        if (entry.path().extension() != ".txt") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::string cp932;
        if (!zepa::Utf8ToCp932(text.str(), cp932)) {
            std::fprintf(stderr, "zepa-demo-assets: %s has characters without a Shift-JIS form\n",
                         entry.path().string().c_str());
            g_ok = false;
            continue;
        }
        std::string crlf;
        for (char c : cp932) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        const fs::path target = to / entry.path().filename();
        std::ofstream out(target, std::ios::binary);
        out << crlf;
        Check(static_cast<bool>(out), target);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zepa-demo-assets OUT_DIR SCRIPTS_DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path graphics = out / "Graphics";
    Save(TitlePicture(), graphics / "BG/Title.png");
    Save(RoomPicture(), graphics / "BG/room.png");
    Save(SkyPicture(), graphics / "BG/sky.png");
    Save(StreetPicture(), graphics / "BG/street.png");
    Save(Character(Argb(255, 120, 60, 40), Argb(255, 200, 80, 110), false), graphics / "Char/aoi.png");
    Save(Character(Argb(255, 120, 60, 40), Argb(255, 200, 80, 110), true), graphics / "Char/aoi_smile.png");
    Save(Character(Argb(255, 30, 30, 40), Argb(255, 60, 110, 190), false), graphics / "Char/ren.png");
    Save(SunPicture(), graphics / "Picture/sun.png");
    Save(StarAtlas(), graphics / "Picture/star.png");
    Save(WindowSkin(), graphics / "System/WindowBase.png");
    Save(Cursor(), graphics / "System/カーソルベース.png");
    Save(Arrows(), graphics / "System/Triangle1.png");
    Save(QuickSaveIcon(), graphics / "System/QuickSave.png");
    WriteSounds(out / "Music");
    ConvertScripts(argv[2], out / "Script");
    if (g_ok) std::printf("zepa-demo-assets: demo game written to %s\n", out.string().c_str());
    return g_ok ? 0 : 1;
}
