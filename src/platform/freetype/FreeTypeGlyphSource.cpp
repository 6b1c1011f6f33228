#include "platform/freetype/FreeTypeGlyphSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "platform/Cp932.h"
#include "platform/Log.h"

namespace zepa {
namespace {

// The Windows face names games ask for, and the installed Japanese fonts that stand in for them.
// The proportional IPA faces draw Latin letters much wider than the Windows faces do (at 24 pixels
// "SHUT DOWN" is 136 pixels wide instead of fitting the title menu's 128), so their single-byte
// characters come from the fixed-pitch sister face, whose narrow half-width letters match the
// Windows faces' widths. Double-byte characters keep the proportional face.
struct FaceSubstitute {
    const char* windowsName;  // UTF-8
    const char* substitute;
    const char* singleByteSubstitute;  // null: the substitute draws every character
};

constexpr const char* kGothic = "IPAGothic";
constexpr const char* kMincho = "IPAMincho";
constexpr FaceSubstitute kFaceSubstitutes[] = {
    {"MS PGothic", "IPAPGothic", kGothic},   {"ＭＳ Ｐゴシック", "IPAPGothic", kGothic},
    {"MS Gothic", kGothic, nullptr},         {"ＭＳ ゴシック", kGothic, nullptr},
    {"MS PMincho", "IPAPMincho", kMincho},   {"ＭＳ Ｐ明朝", "IPAPMincho", kMincho},
    {"MS Mincho", kMincho, nullptr},         {"ＭＳ 明朝", kMincho, nullptr},
    {"MS UI Gothic", "IPAPGothic", kGothic}, {"Meiryo", "IPAPGothic", kGothic},
    {"メイリオ", "IPAPGothic", kGothic},
};

// Folds the ideographic space to an ASCII one and trims, so "ＭＳ　Ｐゴシック" and "ＭＳ Ｐゴシック"
// name the same face.
std::string NormaliseFaceName(std::string utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8.compare(i, 3, "\u3000") == 0) {
            out += ' ';
            i += 2;
        } else {
            out += utf8[i];
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    return out;
}

const FaceSubstitute* FindSubstitute(const std::string& normalised) {
    for (const FaceSubstitute& s : kFaceSubstitutes) {
        if (normalised == s.windowsName) return &s;
    }
    return nullptr;
}

std::string SubstituteFace(const std::string& normalised) {
    const FaceSubstitute* substitute = FindSubstitute(normalised);
    return substitute ? substitute->substitute : normalised;
}

std::string SingleByteSubstituteFace(const std::string& normalised) {
    const FaceSubstitute* substitute = FindSubstitute(normalised);
    return substitute && substitute->singleByteSubstitute ? substitute->singleByteSubstitute : "";
}

// Decodes the first code point of a UTF-8 string; 0 when there is none.
uint32_t FirstCodePoint(const std::string& utf8) {
    if (utf8.empty()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    if (p[0] < 0x80) return p[0];
    int length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : 2;
    if (static_cast<int>(utf8.size()) < length) return 0;
    uint32_t code = p[0] & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) code = (code << 6) | (p[i] & 0x3F);
    return code;
}

// The Unicode character of a CP932 code, 0 when the code is no character.
uint32_t UnicodeOf(uint32_t code) {
    std::string bytes;
    if (code > 0xFF) bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    const std::string converted = Cp932ToUtf8(bytes);
    if (converted.find("\xEF\xBF\xBD") != std::string::npos) return 0;
    return FirstCodePoint(converted);
}

// A face and, optionally, a second face its single-byte characters are drawn from.
class CFreeTypeFont : public IFont {
  public:
    CFreeTypeFont(FT_Face face, FT_Face singleByteFace, int height)
        : face_(face), singleByteFace_(singleByteFace), cellHeight_(height) {
        SetSize(height);
    }
    ~CFreeTypeFont() override {
        if (singleByteFace_) FT_Done_Face(singleByteFace_);
        FT_Done_Face(face_);
    }
    CFreeTypeFont(const CFreeTypeFont&) = delete;
    CFreeTypeFont& operator=(const CFreeTypeFont&) = delete;

    int Ascent() const override { return ascent_; }
    int CellHeight() const override { return cellHeight_; }

    bool RenderGlyph(uint32_t code, bool antialiased, GlyphBitmap& out) override {
        const uint64_t key = (uint64_t{code} << 1) | (antialiased ? 1 : 0);
        auto cached = cache_.find(key);
        if (cached == cache_.end()) {
            CachedGlyph glyph;
            glyph.ok = Render(code, antialiased, glyph.bitmap);
            const size_t bytes = glyph.bitmap.data.size() + kGlyphOverheadBytes;
            // Scripts choose sizes and text freely: start over rather than grow without bound.
            if (cacheBytes_ + bytes > kGlyphCacheBytes) {
                cache_.clear();
                cacheBytes_ = 0;
            }
            cacheBytes_ += bytes;
            cached = cache_.emplace(key, std::move(glyph)).first;
        }
        out = cached->second.bitmap;
        return cached->second.ok;
    }

    size_t CachedGlyphBytes() const override { return cacheBytes_; }

  private:
    // A font's glyph cache holds at most this much; a page of text at any size fits with room.
    static constexpr size_t kGlyphCacheBytes = 4 << 20;
    static constexpr size_t kGlyphOverheadBytes = sizeof(GlyphBitmap) + 32;

    struct CachedGlyph {
        bool ok = false;
        GlyphBitmap bitmap;
    };

    // A positive height is a cell height: the Windows ascent + descent scale to it. A negative
    // height is the em size.
    void SetSize(int height) {
        double winAscent = face_->ascender;
        double winDescent = -face_->descender;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2))) {
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                winAscent = os2->usWinAscent;
                winDescent = os2->usWinDescent;
            }
        }
        const double unitsPerEm = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
        double emPixels;
        double scale;  // pixels per font unit
        if (height > 0 && winAscent + winDescent > 0) {
            scale = height / (winAscent + winDescent);
            emPixels = unitsPerEm * scale;
        } else {
            emPixels = height == 0 ? 16 : std::abs(height);
            scale = emPixels / unitsPerEm;
            if (height == 0) cellHeight_ = static_cast<int>(std::lround((winAscent + winDescent) * scale));
        }
        // Both faces share the em, so their glyphs stand on one baseline at one size.
        const auto em = static_cast<FT_F26Dot6>(std::lround(emPixels * 64));
        FT_Set_Char_Size(face_, 0, em, 72, 72);
        if (singleByteFace_) FT_Set_Char_Size(singleByteFace_, 0, em, 72, 72);
        ascent_ = static_cast<int>(std::lround(winAscent * scale));
    }

    bool Render(uint32_t code, bool antialiased, GlyphBitmap& out) {
        const uint32_t unicode = UnicodeOf(code);
        if (unicode == 0) return false;
        FT_Face face = code <= 0xFF && singleByteFace_ ? singleByteFace_ : face_;
        FT_UInt index = FT_Get_Char_Index(face, unicode);
        if (index == 0 && face != face_) {
            face = face_;
            index = FT_Get_Char_Index(face, unicode);
        }
        if (index == 0) return false;
        const FT_Int32 flags = antialiased ? FT_LOAD_DEFAULT : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
        if (FT_Load_Glyph(face, index, flags) != 0) return false;
        const FT_Render_Mode mode = antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
        if (FT_Render_Glyph(face->glyph, mode) != 0) return false;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        out.originX = face->glyph->bitmap_left;
        out.originY = face->glyph->bitmap_top;
        if (bitmap.width == 0 || bitmap.rows == 0) {
            // No ink (a blank character): a 1 x 1 box with no pixels, as the outline API reports.
            out.blackBoxX = 1;
            out.blackBoxY = 1;
            out.stride = 0;
            out.data.clear();
            return true;
        }
        out.blackBoxX = static_cast<int>(bitmap.width);
        out.blackBoxY = static_cast<int>(bitmap.rows);
        if (antialiased) {
            out.stride = (out.blackBoxX + 3) / 4 * 4;
        } else {
            out.stride = (out.blackBoxX + 31) / 32 * 4;
        }
        out.data.assign(static_cast<size_t>(out.stride) * out.blackBoxY, 0);
        for (int row = 0; row < out.blackBoxY; ++row) {
            const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* target = out.data.data() + static_cast<size_t>(row) * out.stride;
            if (antialiased) {
                // FreeType's 256 grey levels onto the 65 levels of the outline API.
                for (int col = 0; col < out.blackBoxX; ++col)
                    target[col] = static_cast<uint8_t>((source[col] * 64 + 127) / 255);
            } else {
                const int bytes = (out.blackBoxX + 7) / 8;
                for (int b = 0; b < bytes; ++b) target[b] = source[b];
            }
        }
        return true;
    }

    FT_Face face_;
    FT_Face singleByteFace_;  // may be null
    int cellHeight_;
    int ascent_ = 0;
    std::unordered_map<uint64_t, CachedGlyph> cache_;
    size_t cacheBytes_ = 0;
};

// Stands in when no font at all can be opened: every code fails, so text advances without ink.
class CNullFont : public IFont {
  public:
    explicit CNullFont(int height) : height_(height > 0 ? height : -height) {}
    int Ascent() const override { return height_ * 7 / 8; }
    int CellHeight() const override { return height_; }
    bool RenderGlyph(uint32_t, bool, GlyphBitmap& out) override {
        out = GlyphBitmap{};
        return false;
    }

  private:
    int height_;
};

}  // namespace

struct CFreeTypeGlyphSource::Library {
    FT_Library freetype = nullptr;
};

CFreeTypeGlyphSource::CFreeTypeGlyphSource(ILog& log)
    : log_(log), library_(std::make_unique<Library>()), finder_(CreateFontFinder()) {
    if (FT_Init_FreeType(&library_->freetype) != 0) library_->freetype = nullptr;
}

CFreeTypeGlyphSource::~CFreeTypeGlyphSource() {
    fonts_.clear();
    if (library_->freetype) FT_Done_FreeType(library_->freetype);
}

bool CFreeTypeGlyphSource::RegisterFontFile(const std::string& path) {
    return finder_->AddFile(path);
}

// The finder answers with its best guess; this tells whether it is the family asked for (any of
// its names).
bool CFreeTypeGlyphSource::IsFamily(const FontLocation& location, const std::string& family) const {
    return !location.file.empty() && !family.empty() && finder_->SameFamily(location.family, family);
}

CFreeTypeGlyphSource::FontLocation CFreeTypeGlyphSource::Resolve(const std::string& faceNameCp932) {
    const std::string requested = NormaliseFaceName(Cp932ToUtf8(faceNameCp932));
    const std::string family = SubstituteFace(requested);
    FontLocation location = finder_->Match(family);
    if (!IsFamily(location, family)) {
        if (warnedFaces_.insert(faceNameCp932).second) {
            log_.Warning("zepa: font '" + requested + "' is not installed; using a Japanese font instead");
        }
        if (location.file.empty()) location = finder_->Match("");
    }
    return location;
}

CFreeTypeGlyphSource::FontLocation CFreeTypeGlyphSource::ResolveSingleByte(const std::string& faceNameCp932) {
    const std::string family = SingleByteSubstituteFace(NormaliseFaceName(Cp932ToUtf8(faceNameCp932)));
    if (family.empty()) return {};
    FontLocation location = finder_->Match(family);
    return IsFamily(location, family) ? location : FontLocation{};
}

FT_FaceRec_* CFreeTypeGlyphSource::OpenFace(const FontLocation& location) {
    FT_Face face = nullptr;
    if (!library_->freetype || location.file.empty() ||
        FT_New_Face(library_->freetype, location.file.c_str(), location.index, &face) != 0)
        return nullptr;
    return face;
}

std::shared_ptr<IFont> CFreeTypeGlyphSource::OpenFont(const std::string& faceNameCp932, int height) {
    const auto key = std::make_pair(faceNameCp932, height);
    if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    if (fonts_.size() >= kMaxKeptFonts) ForgetUnusedFonts();
    std::shared_ptr<IFont> font;
    if (FT_Face face = OpenFace(Resolve(faceNameCp932))) {
        font = std::make_shared<CFreeTypeFont>(face, OpenFace(ResolveSingleByte(faceNameCp932)), height);
    } else {
        font = std::make_shared<CNullFont>(height);
    }
    fonts_.emplace(key, font);
    return font;
}

void CFreeTypeGlyphSource::ForgetUnusedFonts() {
    std::erase_if(fonts_, [](const auto& entry) { return entry.second.use_count() == 1; });
}

std::unique_ptr<IGlyphSource> CreateGlyphSource(ILog& log) {
    return std::make_unique<CFreeTypeGlyphSource>(log);
}

}  // namespace zepa
