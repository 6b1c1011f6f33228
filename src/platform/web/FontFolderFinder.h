// A font finder over the font files of one folder, for the browser, which has no fontconfig: the
// page ships the IPA fonts the desktop build finds installed. Families are matched by any of their
// names (case ignored); a family not found gets IPAGothic, as fontconfig gives a Japanese
// request for an unknown family on a system with the IPA fonts. Fonts without Japanese
// characters are never matched.
#pragma once

#include <string>
#include <vector>

#include "platform/freetype/FontFinder.h"

struct FT_LibraryRec_;

namespace zepa {

class CFontFolderFinder : public IFontFinder {
  public:
    explicit CFontFolderFinder(const std::string& folder);
    ~CFontFolderFinder() override;
    CFontFolderFinder(const CFontFolderFinder&) = delete;
    CFontFolderFinder& operator=(const CFontFolderFinder&) = delete;

    FontLocation Match(const std::string& family) override;
    bool AddFile(const std::string& path) override;
    bool SameFamily(const std::string& a, const std::string& b) const override;

    // Fonts kept at most: a game's font folder cannot grow the list without bound.
    static constexpr size_t kMaxFonts = 256;

  private:
    struct Font {
        std::string file;
        int index = 0;
        std::vector<std::string> families;  // the first is the font's main name
    };
    // Adds each face of the file that has Japanese characters; false when none could be read.
    bool AddFaces(const std::string& path);
    const Font* Find(const std::string& family) const;

    FT_LibraryRec_* library_ = nullptr;
    std::vector<Font> fonts_;
};

}  // namespace zepa
