// The glyph source on FreeType (rendering) and fontconfig (face names to font files).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/GlyphSource.h"

namespace zepa {

class CFreeTypeGlyphSource : public IGlyphSource {
  public:
    CFreeTypeGlyphSource();
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

  private:
    struct Library;
    std::unique_ptr<Library> library_;
    std::map<std::pair<std::string, int>, std::shared_ptr<IFont>> fonts_;
    std::set<std::string> warnedFaces_;
};

}  // namespace zepa
