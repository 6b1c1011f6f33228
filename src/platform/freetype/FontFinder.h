// Where the glyph source's fonts come from: face names to font files. On the desktop fontconfig
// answers (FontconfigFinder.cpp); in the browser, the fonts shipped with the page
// (web/FontFolderFinder.cpp). Each build links one and creates it with CreateFontFinder().
#pragma once

#include <memory>
#include <string>

namespace zepa {

// A font file and face index, and the family name it was found under.
struct FontLocation {
    std::string file;
    int index = 0;
    std::string family;
};

class IFontFinder {
  public:
    virtual ~IFontFinder() = default;
    // The best match for a family with Japanese coverage ("" asks for any such font); an empty
    // file when there is no Japanese font at all. The best match need not be the family asked for.
    virtual FontLocation Match(const std::string& family) = 0;
    // Makes a font file's families available by name. False if the file is not a font.
    virtual bool AddFile(const std::string& path) = 0;
    // Whether two family names name the same family (case is ignored).
    virtual bool SameFamily(const std::string& a, const std::string& b) const = 0;
};

std::unique_ptr<IFontFinder> CreateFontFinder();

}  // namespace zepa
