// The glyph source on FreeType (rendering) and the build's font finder (face names to font files:
// fontconfig on the desktop, the page's fonts in the browser).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/GlyphSource.h"
#include "platform/freetype/FontFinder.h"

struct FT_FaceRec_;

namespace zepa {

class CFreeTypeGlyphSource : public IGlyphSource {
  public:
    explicit CFreeTypeGlyphSource(ILog& log);
    ~CFreeTypeGlyphSource() override;
    CFreeTypeGlyphSource(const CFreeTypeGlyphSource&) = delete;
    CFreeTypeGlyphSource& operator=(const CFreeTypeGlyphSource&) = delete;

    std::shared_ptr<IFont> OpenFont(const std::string& faceNameCp932, int height) override;
    bool RegisterFontFile(const std::string& path) override;

    // The font file and face index that a face name resolves to (tests, diagnostics).
    using FontLocation = zepa::FontLocation;
    FontLocation Resolve(const std::string& faceNameCp932);
    // The font the face's single-byte characters are drawn from when it is not the face itself
    // (the proportional Windows faces); an empty file otherwise.
    FontLocation ResolveSingleByte(const std::string& faceNameCp932);

    // Fonts kept open for reuse (diagnostics and tests).
    size_t KeptFontCount() const { return fonts_.size(); }

    // Fonts are kept for reuse by face name and height; past this many, those no canvas holds are
    // closed, so a script cycling through sizes and names cannot grow the set without bound.
    static constexpr size_t kMaxKeptFonts = 64;

  private:
    bool IsFamily(const FontLocation& location, const std::string& family) const;
    // Null when the file cannot be opened.
    FT_FaceRec_* OpenFace(const FontLocation& location);
    void ForgetUnusedFonts();

    struct Library;
    ILog& log_;
    std::unique_ptr<Library> library_;
    std::unique_ptr<IFontFinder> finder_;
    std::map<std::pair<std::string, int>, std::shared_ptr<IFont>> fonts_;
    std::set<std::string> warnedFaces_;
};

}  // namespace zepa
