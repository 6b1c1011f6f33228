// The browser build's fonts: those the page unpacks into /fonts (scripts/pack-web).
#include <memory>

#include "platform/web/FontFolderFinder.h"

namespace zepa {

std::unique_ptr<IFontFinder> CreateFontFinder() {
    return std::make_unique<CFontFolderFinder>("/fonts");
}

}  // namespace zepa
