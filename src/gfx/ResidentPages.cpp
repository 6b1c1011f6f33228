#include "gfx/ResidentPages.h"

namespace zepa {
namespace {
// The smallest page size in use; where pages are larger, some reads fall in the same page.
constexpr size_t kPageBytes = 4096;
}  // namespace

void TouchPageSlice(const void* data, size_t bytes, unsigned slice) {
    if (!data) return;
    const volatile uint8_t* bytesRead = static_cast<const uint8_t*>(data);
    const size_t stride = kPageBytes * kResidentSlices;
    for (size_t offset = (slice % kResidentSlices) * kPageBytes; offset < bytes; offset += stride)
        (void)bytesRead[offset];
}

}  // namespace zepa
