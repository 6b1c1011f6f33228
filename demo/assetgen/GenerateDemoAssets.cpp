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
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "Painter.h"
#include "SoundWriters.h"
#include "platform/Cp932.h"
#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "text/TextCanvasStore.h"

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

// The engine's glyph source, opened once for every text drawn (its warnings go to stderr).
zepa::IGlyphSource& Glyphs() {
    static zepa::CStderrLog log;
    static const std::unique_ptr<zepa::IGlyphSource> glyphs = zepa::CreateGlyphSource(log);
    return *glyphs;
}

void Save(const CPainter& painter, const fs::path& path) {
    fs::create_directories(path.parent_path());
    Check(painter.WritePng(path.string()), path);
}

// ---- pictures -------------------------------------------------------------------------------

// Draws a line of text with the engine's own glyph rasteriser (so the demo needs no font files of
// its own) and blends it onto the picture with its top-left corner at (x, y); a negative x centres
// it. Returns the text's width, 0 when no font could be opened.
int DrawText(CPainter& picture, int x, int y, const char* utf8, const char* faceUtf8, int size,
             uint32_t rgb) {
    zepa::CTextCanvasStore store(Glyphs());
    if (!store.CreateCanvas(0, picture.width(), size * 2)) return 0;
    zepa::TextCanvas* canvas = store.Current();
    canvas->antialiased = true;
    canvas->textAlpha = 255;
    canvas->textColor = rgb & 0xFFFFFFu;
    canvas->shaded = true;
    canvas->shadeColor = 0x101030u;
    if (!store.BeginFont(0, zepa::Cp932(faceUtf8), size)) return 0;
    store.DrawStringAt(0, 0, zepa::Cp932(utf8));
    const int width = canvas->penX;
    store.EndFont();
    const zepa::CTexture* text = store.GetCanvasTexture(0);
    if (!text) return 0;
    if (x < 0) x = (picture.width() - width) / 2;
    // The canvas holds colours already weighted by their coverage: out = text + picture * (1 - a).
    for (int row = 0; row < size * 2 && y + row < picture.height(); ++row) {
        for (int col = 0; col < picture.width() && x + col < picture.width(); ++col) {
            const uint32_t t = text->TexelAt(col, row);
            const uint32_t a = t >> 24;
            if (a == 0) continue;
            const uint32_t d = picture.At(x + col, y + row);
            auto channel = [&](int shift) {
                const uint32_t value = ((t >> shift) & 0xFF) + ((d >> shift) & 0xFF) * (255 - a) / 255;
                return std::min<uint32_t>(value, 255) << shift;
            };
            picture.Set(x + col, y + row, 0xFF000000u | channel(16) | channel(8) | channel(0));
        }
    }
    return width;
}

// A starry night over the hills; the title picture adds the game's name to it.
CPainter NightPicture(bool withTitle) {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 480, Argb(255, 16, 20, 60), Argb(255, 120, 60, 120));
    p.Scatter(220, Argb(255, 255, 255, 230), 7);
    p.FillEllipse(540, 96, 56, 56, Argb(255, 250, 240, 200));  // moon
    // The moon's shadow is painted in the sky's own colour, row by row, leaving a crescent.
    for (int y = 28; y <= 132; ++y) {
        const uint32_t sky = Argb(255, 16 + 104 * y / 480, 20 + 40 * y / 480, 60 + 60 * y / 480);
        for (int x = 514; x <= 618; ++x) {
            if ((x - 566) * (x - 566) + (y - 80) * (y - 80) <= 52 * 52) p.Set(x, y, sky);
        }
    }
    p.FillRect(0, 400, 640, 80, Argb(255, 20, 16, 30));  // hills
    p.FillEllipse(160, 420, 240, 60, Argb(255, 26, 20, 40));
    p.FillEllipse(480, 430, 260, 50, Argb(255, 24, 18, 36));
    if (withTitle) {
        DrawText(p, 48, 36, "丘の上の星", "ＭＳ　Ｐ明朝", 60, 0xFFF4E0);
        DrawText(p, 52, 108, "The Star on the Hill", "ＭＳ　Ｐ明朝", 26, 0xDDE4FF);
        p.FillRect(48, 146, 380, 2, Argb(200, 255, 255, 255));  // a title rule
        DrawText(p, -1, 446, "zepa demo game", "ＭＳ　Ｐゴシック", 16, 0xB0B0D0);
    }
    return p;
}

CPainter RoomPicture() {
    CPainter p(640, 480);
    p.VerticalGradient(0, 0, 640, 330, Argb(255, 230, 214, 180), Argb(255, 200, 180, 150));     // wall
    p.VerticalGradient(0, 330, 640, 150, Argb(255, 140, 100, 70), Argb(255, 100, 70, 50));      // floor
    p.VerticalGradient(380, 60, 200, 160, Argb(255, 120, 130, 150), Argb(255, 160, 170, 185));  // grey sky
    for (int i = 0; i < 40; ++i) {  // rain on the panes
        const int x = 384 + (i * 37) % 192;
        const int y = 64 + (i * 53) % 140;
        for (int j = 0; j < 10; ++j) p.Set(x - j / 3, y + j, Argb(200, 225, 235, 250));
    }
    p.Frame(380, 60, 200, 160, 8, Argb(255, 250, 250, 250));
    p.FillRect(476, 60, 8, 160, Argb(255, 250, 250, 250));
    p.FillRect(60, 250, 220, 20, Argb(255, 90, 60, 40));   // shelf
    p.FillRect(90, 214, 36, 36, Argb(255, 200, 110, 70));  // a flower pot
    p.FillEllipse(108, 200, 26, 20, Argb(255, 90, 150, 80));
    p.FillEllipse(104, 192, 6, 6, Argb(255, 250, 200, 90));
    p.FillRect(170, 206, 16, 44, Argb(255, 70, 100, 160));  // books
    p.FillRect(188, 212, 14, 38, Argb(255, 170, 60, 70));
    p.FillRect(204, 202, 18, 48, Argb(255, 220, 190, 110));
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

// A simple figure: head, hair, body. The background is fully transparent. The figures are not
// symmetric (a side ponytail, a fringe swept to one side), so that mirroring them shows.
struct Figure {
    uint32_t hair;
    uint32_t clothes;
    uint32_t accent;  // hair clip or scarf
    bool ponytail;    // else a swept fringe and a scarf
};

CPainter Character(const Figure& figure, bool smiling) {
    // Drawn on a 300 x 480 plan and scaled to 240 x 384, so that a figure leaves room for the sky
    // above it and for the dialogue box below its face.
    constexpr double k = 0.8;
    CPainter p(240, 384);
    auto ellipse = [&](double cx, double cy, double rx, double ry, uint32_t argb) {
        p.FillEllipse(cx * k, cy * k, rx * k, ry * k, argb);
    };
    auto rect = [&](double x, double y, double w, double h, uint32_t argb) {
        p.FillRect(static_cast<int>(x * k), static_cast<int>(y * k), static_cast<int>(w * k),
                   static_cast<int>(h * k), argb);
    };
    const uint32_t skin = Argb(255, 250, 224, 206);
    if (figure.ponytail) ellipse(236, 175, 30, 80, figure.hair);  // behind the head
    ellipse(150, 440, 118, 150, figure.clothes);                  // body
    ellipse(150, 300, 46, 16, Argb(255, 250, 250, 245));          // collar
    rect(130, 230, 40, 60, Argb(255, 244, 214, 196));             // neck
    ellipse(150, 170, 78, 90, skin);                              // face
    ellipse(150, 102, 90, 52, figure.hair);                       // hair
    ellipse(76, 160, 16, 56, figure.hair);
    ellipse(224, 160, 16, 56, figure.hair);
    if (figure.ponytail) {
        ellipse(120, 122, 44, 20, figure.hair);  // a short fringe
        ellipse(206, 112, 10, 10, figure.accent);
    } else {
        ellipse(112, 128, 62, 26, figure.hair);  // a fringe swept to one side
        rect(100, 280, 100, 22, figure.accent);  // a scarf with one loose end
        rect(168, 290, 24, 70, figure.accent);
    }
    const uint32_t eye = Argb(255, 40, 40, 60);
    ellipse(118, 182, 8, smiling ? 4 : 10, eye);
    ellipse(182, 182, 8, smiling ? 4 : 10, eye);
    if (smiling) {
        ellipse(104, 208, 12, 6, Argb(110, 255, 110, 130));  // blush
        ellipse(196, 208, 12, 6, Argb(110, 255, 110, 130));
    }
    ellipse(150, 226, smiling ? 18 : 10, smiling ? 7 : 3, Argb(255, 200, 80, 90));  // mouth
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
// 96 x 96 picture beside it for stretched windows. Tiled windows repeat the 72-pixel edge and
// centre pieces, and a remainder piece is their first columns or rows, so those pieces are
// uniform along their length; the border lines stay in the outer 3 pixels because text starts
// 5 pixels inside the window.
CPainter WindowSkin() {
    CPainter p(192, 96);
    p.FillRect(0, 0, 96, 96, Argb(212, 14, 22, 60));     // translucent navy
    p.Frame(0, 0, 96, 96, 2, Argb(255, 196, 212, 255));  // light outer line
    p.Frame(2, 2, 92, 92, 1, Argb(200, 60, 80, 150));    // darker inner line
    for (int x : {0, 95}) {
        for (int y : {0, 95}) p.Set(x, y, 0);  // slightly rounded corners
    }
    p.VerticalGradient(96, 0, 96, 96, Argb(200, 50, 60, 120), Argb(210, 12, 12, 44));
    p.Frame(96, 0, 96, 96, 1, Argb(255, 196, 212, 255));
    return p;
}

// Stretched over the cell of the item under the cursor: a soft highlight that fades towards its
// edges, so it looks the same at any cell size.
CPainter Cursor() {
    CPainter p(24, 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const double dx = std::abs(x - 11.5) / 12.0;
            const double dy = std::abs(y - 11.5) / 12.0;
            const double a = 170.0 * (1 - std::pow(dx, 6)) * (1 - std::pow(dy, 3));
            p.Set(x, y, Argb(static_cast<uint32_t>(a), 160, 200, 255));
        }
    }
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

// fontconfig keeps its configuration cache until the process ends (seen in sanitizer builds).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zepa-demo-assets OUT_DIR SCRIPTS_DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path graphics = out / "Graphics";
    Save(NightPicture(true), graphics / "BG/Title.png");
    Save(NightPicture(false), graphics / "BG/night.png");
    Save(RoomPicture(), graphics / "BG/room.png");
    Save(SkyPicture(), graphics / "BG/sky.png");
    Save(StreetPicture(), graphics / "BG/street.png");
    const Figure aoi{Argb(255, 120, 60, 40), Argb(255, 200, 80, 110), Argb(255, 255, 220, 80), true};
    const Figure ren{Argb(255, 30, 30, 40), Argb(255, 60, 110, 190), Argb(255, 220, 70, 60), false};
    Save(Character(aoi, false), graphics / "Char/aoi.png");
    Save(Character(aoi, true), graphics / "Char/aoi_smile.png");
    Save(Character(ren, false), graphics / "Char/ren.png");
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
