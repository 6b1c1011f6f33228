#include "platform/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace zepa {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Only whole huge pages inside a block are asked for: the rest of the block stays on ordinary
// pages, so a block just over a huge page (a 640 x 480 picture, 1.2 MB) does not hold 2 MB.
constexpr std::size_t kHugePageThreshold = kHugePage;

bool UsesHugePages(std::size_t bytes) {
    return bytes >= kHugePageThreshold;
}

std::size_t RoundedToHugePages(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* AllocatePixelMemory(std::size_t bytes) {
    if (!UsesHugePages(bytes)) return ::operator new(bytes);
    if (bytes > static_cast<std::size_t>(-1) - kHugePage) throw std::bad_alloc();
    const std::size_t rounded = RoundedToHugePages(bytes);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (!block) throw std::bad_alloc();
    // Only advice: where the kernel has no huge pages to give, the block works as it is. The
    // rounded-up end beyond `bytes` is never touched and takes no memory.
    madvise(block, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
    return block;
}

void FreePixelMemory(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (UsesHugePages(bytes)) {
        std::free(block);
    } else {
        ::operator delete(block);
    }
}

}  // namespace zepa
