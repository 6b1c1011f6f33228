// Cutting CP932 text is byte arithmetic, shared by the desktop and the browser conversions.
#include "platform/Cp932.h"

namespace zepa {

std::string CutCp932(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = 0;
    while (end < text.size()) {
        const size_t length = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + length > limit) break;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace zepa
