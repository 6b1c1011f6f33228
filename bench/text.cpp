// Text rasterisation: glyphs drawn per second into a text canvas for a long Japanese text at size
// 24, with fresh fonts (every glyph rendered by FreeType) and with warm glyph caches; and the cost
// of one frame of a typing message window: two new characters rasterised, then the canvas drawn.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/SpriteBatch.h"
#include "platform/Cp932.h"
#include "platform/Log.h"
#include "platform/freetype/FreeTypeGlyphSource.h"
#include "text/TextCanvasStore.h"

namespace {

// Where the glyph sources warn (the installed fonts give them nothing to warn about).
zepa::ILog& Log() {
    static zepa::CStderrLog log;
    return log;
}

// One glyph source for the benches that measure warm caches.
zepa::IGlyphSource& SharedGlyphs() {
    static zepa::CFreeTypeGlyphSource glyphs(Log());
    return glyphs;
}

constexpr int kFontSize = 24;
const char* const kFaceUtf8 = "ＭＳ　Ｐゴシック";

// A long Japanese text (CP932), cut into draw calls of whole characters below 255 bytes, one line
// each.
const std::vector<std::string>& TextLines() {
    static const std::vector<std::string> lines = [] {
        const std::string paragraph = zepa::Cp932(
            "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
            "ニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて人間というものを見た。しかもあとで"
            "聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。この書生というのは時々我々を捕えて"
            "煮て食うという話である。しかしその当時は何という考もなかったから別段恐しいとも思わなかった。");
        std::vector<std::string> result;
        std::string line;
        for (size_t i = 0; i < paragraph.size();) {
            const size_t length = zepa::IsCp932LeadByte(static_cast<unsigned char>(paragraph[i])) ? 2 : 1;
            line += paragraph.substr(i, length);
            i += length;
            if (line.size() >= 40) {
                result.push_back(line);
                line.clear();
            }
        }
        if (!line.empty()) result.push_back(line);
        return result;
    }();
    return lines;
}

int64_t CharacterCount(const std::vector<std::string>& lines) {
    int64_t count = 0;
    for (const std::string& line : lines)
        for (size_t i = 0; i < line.size();
             i += zepa::IsCp932LeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1)
            ++count;
    return count;
}

void DrawAll(zepa::CTextCanvasStore& store) {
    store.ClearCanvas();
    zepa::TextCanvas& canvas = *store.Current();
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = true;
    int y = 0;
    for (const std::string& line : TextLines()) {
        store.DrawStringAt(0, y, line);
        y = (y + kFontSize) % 1000;
    }
}

void BM_LongTextFirstTime(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto glyphs = std::make_unique<zepa::CFreeTypeGlyphSource>(Log());
        zepa::CTextCanvasStore store(*glyphs);
        store.CreateCanvas(0, 1024, 1024);
        state.ResumeTiming();
        store.BeginFont(0, zepa::Cp932(kFaceUtf8), kFontSize);
        DrawAll(store);
        store.EndFont();
        state.PauseTiming();
        glyphs.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * CharacterCount(TextLines()));
}
BENCHMARK(BM_LongTextFirstTime)->Unit(benchmark::kMillisecond);

void BM_LongTextCached(benchmark::State& state) {
    zepa::CTextCanvasStore store(SharedGlyphs());
    store.CreateCanvas(0, 1024, 1024);
    store.BeginFont(0, zepa::Cp932(kFaceUtf8), kFontSize);
    DrawAll(store);  // warms the glyph cache
    for (auto _ : state) DrawAll(store);
    store.EndFont();
    state.SetItemsProcessed(state.iterations() * CharacterCount(TextLines()));
}
BENCHMARK(BM_LongTextCached)->Unit(benchmark::kMillisecond);

// One frame of a message window typing: open the font, two characters at the pen, close the font,
// then draw the 512 x 128 canvas onto the back buffer. The canvas is cleared when full.
void BM_TypingFrame(benchmark::State& state) {
    const std::string text = zepa::Cp932(
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で");
    zepa::CTextCanvasStore store(SharedGlyphs());
    store.CreateCanvas(0, 512, 128);
    zepa::CSpriteBatch batch;
    zepa::TextCanvas& canvas = *store.Current();
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = true;
    size_t offset = 0;
    const zepa::Rect rect{0, 0, 512, 128};
    const zepa::Vector3 position{64, 340, 0};
    for (auto _ : state) {
        if (offset + 4 > text.size()) {
            offset = 0;
            store.SelectCanvas(0);
            store.ClearCanvas();
            canvas.penX = canvas.penY = 0;
        }
        store.BeginFont(0, zepa::Cp932(kFaceUtf8), kFontSize);
        store.DrawString(std::string_view(text).substr(offset, 4));
        store.EndFont();
        offset += 4;
        if (canvas.penX > 480) {
            canvas.penX = 0;
            canvas.penY = (canvas.penY + kFontSize) % 96;
        }
        batch.Begin();
        batch.Draw(store.GetCanvasTexture(0), &rect, &position, 0xFFFFFFFFu);
        batch.End();
        benchmark::DoNotOptimize(batch.BackBuffer().Pixels());
    }
}
BENCHMARK(BM_TypingFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
