// The desktop's font finder: fontconfig's match for the family with the Japanese language.
#include <fontconfig/fontconfig.h>

#include "platform/freetype/FontFinder.h"

namespace zepa {
namespace {

constexpr uint32_t kHiraganaA = 0x3042;

const FcChar8* FcText(const std::string& text) {
    return reinterpret_cast<const FcChar8*>(text.c_str());
}

class CFontconfigFinder : public IFontFinder {
  public:
    CFontconfigFinder() {
        FcInit();
        config_ = FcConfigGetCurrent();
    }

    FontLocation Match(const std::string& family) override {
        FontLocation location;
        FcPattern* pattern = FcPatternCreate();
        if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, FcText(family));
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        FcConfigSubstitute(config_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* found = FcFontMatch(config_, pattern, &result);
        FcPatternDestroy(pattern);
        if (!found) return location;
        if (IsJapanese(found)) location = LocationOf(found, family);
        FcPatternDestroy(found);
        return location;
    }

    bool AddFile(const std::string& path) override {
        return FcConfigAppFontAddFile(config_, FcText(path)) == FcTrue;
    }

    bool SameFamily(const std::string& a, const std::string& b) const override {
        return FcStrCmpIgnoreCase(FcText(a), FcText(b)) == 0;
    }

  private:
    static bool IsJapanese(FcPattern* found) {
        FcCharSet* charset = nullptr;
        return FcPatternGetCharSet(found, FC_CHARSET, 0, &charset) == FcResultMatch &&
               FcCharSetHasChar(charset, kHiraganaA);
    }

    static FontLocation LocationOf(FcPattern* found, const std::string& family) {
        FontLocation location;
        FcChar8* file = nullptr;
        if (FcPatternGetString(found, FC_FILE, 0, &file) != FcResultMatch) return location;
        location.file = reinterpret_cast<const char*>(file);
        int index = 0;
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        location.index = index;
        // A font has a family name per language; keep the one asked for when it is among them.
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            if (i == 0 || FcStrCmpIgnoreCase(name, FcText(family)) == 0)
                location.family = reinterpret_cast<const char*>(name);
        }
        return location;
    }

    FcConfig* config_ = nullptr;
};

}  // namespace

std::unique_ptr<IFontFinder> CreateFontFinder() {
    return std::make_unique<CFontconfigFinder>();
}

}  // namespace zepa
