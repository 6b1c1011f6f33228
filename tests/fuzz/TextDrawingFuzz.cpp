// Random CP932 bytes drawn into a text canvas with the real glyph source: the first bytes choose
// the font size, the canvas size, the pen, the glyph form and the shade; the rest is the text.
// Every pixel written must stay inside the canvas (ASan watches the texels) and the pen must stay
// where saturating arithmetic puts it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "text/TextCanvasStore.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    int Int16() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
};

// One real glyph source for the whole run, as the engine keeps one for its whole life.
zepa::IGlyphSource& Glyphs() {
    static zepa::CStderrLog log;
    static const std::unique_ptr<zepa::IGlyphSource> glyphs = zepa::CreateGlyphSource(log);
    return *glyphs;
}

}  // namespace

// fontconfig keeps its configuration cache until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    // Sizes up to 96 keep the run fast; the store clamps larger heights itself (unit tests).
    const int fontHeight = static_cast<int>(in.Byte() % 97) - (in.Byte() & 1 ? 8 : 0);
    const int width = 1 + in.Byte() % 200;
    const int height = 1 + in.Byte() % 100;
    const int penX = in.Int16() % 300;
    const int penY = in.Int16() % 150;
    const uint8_t flags = in.Byte();

    zepa::CTextCanvasStore store(Glyphs());
    if (!store.CreateCanvas(0, width, height)) __builtin_trap();
    if (flags & 1) store.ClearCanvas();
    zepa::TextCanvas& canvas = *store.Current();
    canvas.antialiased = (flags & 2) != 0;
    canvas.shaded = (flags & 4) != 0;
    canvas.textAlpha = in.Byte();
    canvas.textColor = 0xFFFFFF;
    canvas.shadeColor = 0x000000;
    if (!store.BeginFont(
            0, flags & 8 ? "IPAGothic" : "\x82\x6c\x82\x72\x81\x40\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e",
            fontHeight))
        __builtin_trap();
    const std::string text(reinterpret_cast<const char*>(in.data), in.size);
    store.DrawStringAt(penX, penY, text);
    store.DrawString(text);  // again from where the pen stopped
    store.EndFont();
    if (store.GetCanvasTexture(0)->pitch() < width) __builtin_trap();
    return 0;
}
