// The glyph source on FreeType (rendering) and fontconfig (face names to font files).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/GlyphSource.h"

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
    struct FontLocation {
        std::string file;
        int index = 0;
        std::string family;
    };
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
    // fontconfig's best match for a family with Japanese coverage ("" asks for any such font).
    FontLocation Match(const std::string& family);
    // Null when the file cannot be opened.
    FT_FaceRec_* OpenFace(const FontLocation& location);
    void ForgetUnusedFonts();

    struct Library;
    ILog& log_;
    std::unique_ptr<Library> library_;
    std::map<std::pair<std::string, int>, std::shared_ptr<IFont>> fonts_;
    std::set<std::string> warnedFaces_;
};

}  // namespace zepa
