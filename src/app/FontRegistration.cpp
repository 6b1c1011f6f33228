#include "app/FontRegistration.h"

#include <cctype>

#include "platform/FileSystem.h"
#include "platform/GlyphSource.h"

namespace zepa {
namespace {

bool HasExtension(const std::string& name, const char* extension) {
    const std::string ext(extension);
    if (name.size() <= ext.size()) return false;
    for (size_t i = 0; i < ext.size(); ++i) {
        const char c = name[name.size() - ext.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != ext[i]) return false;
    }
    return true;
}

}  // namespace

int RegisterGameFonts(IGlyphSource& glyphs, const std::string& partsFolder) {
    const std::vector<std::string> names = ListDirectory(partsFolder);
    int registered = 0;
    for (const char* extension : {".ttf", ".ttc"}) {
        for (const std::string& name : names) {
            const std::string path = partsFolder + "/" + name;
            if (HasExtension(name, extension) && IsRegularFile(path) && glyphs.RegisterFontFile(path))
                ++registered;
        }
    }
    return registered;
}

}  // namespace zepa
