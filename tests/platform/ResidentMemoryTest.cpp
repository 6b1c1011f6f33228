#include "platform/ResidentMemory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <atomic>
#include <thread>

namespace zepa {
namespace {

// A library loaded and unloaded over and over while the loaded code is read: a reading must
// never meet a page unmapped under it, so a library once seen stays loaded.
TEST(ResidentMemory, ALibraryUnloadedWhileTheCodeIsReadStaysMapped) {
    std::atomic<bool> done{false};
    std::thread churn([&] {
        while (!done) {
            if (void* library = dlopen(ZEPA_UNLOADABLE_LIBRARY, RTLD_NOW)) dlclose(library);
        }
    });
    size_t pages = 0;
    for (int reading = 0; reading < 100; ++reading) pages = ReadLoadedCodePages();
    done = true;
    churn.join();
    EXPECT_GT(pages, 100u);  // the test program's own code at least

    void* library = dlopen(ZEPA_UNLOADABLE_LIBRARY, RTLD_NOW);
    ASSERT_NE(library, nullptr);
    ReadLoadedCodePages();
    dlclose(library);
    EXPECT_NE(dlopen(ZEPA_UNLOADABLE_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

// The engine names pixels that may be freed before they are read: those pages are passed over.
TEST(ResidentMemory, DataFreedBeforeItIsReadIsPassedOver) {
    constexpr size_t kPage = 4096;
    auto* mapped = static_cast<unsigned char*>(
        mmap(nullptr, 8 * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(mapped, MAP_FAILED);
    munmap(mapped + 2 * kPage, 3 * kPage);  // pages 2 to 4 are gone
    const std::vector<MemoryRange> ranges{{mapped, 8 * kPage}, {mapped + kPage, 10}};
    EXPECT_EQ(ReadDataPages(ranges), 5u + 1u);
    munmap(mapped, 2 * kPage);
    munmap(mapped + 5 * kPage, 3 * kPage);
    EXPECT_EQ(ReadDataPages(ranges), 0u);
}

}  // namespace
}  // namespace zepa
