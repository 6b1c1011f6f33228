#include "gfx/PixelBudget.h"

#include "platform/Log.h"

namespace zepa {

bool CPixelBudget::Reserve(uint64_t pixels, const std::string& what) {
    if (pixels <= limit_ - used_) {
        used_ += pixels;
        return true;
    }
    log_.Warning(
        FormatLine("zepa: %s was not made: the game's pictures would hold more than %llu MB of pixels",
                   what.c_str(), static_cast<unsigned long long>(limit_ * 4 >> 20)));
    return false;
}

}  // namespace zepa
