#include "platform/ResidentMemory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <atomic>
#include <chrono>
#include <memory>
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

// The keeper reads the ranges it was last given every 50 ms from its start; the engine may free
// them meanwhile, and stopping the keeper does not wait out its pauses.
TEST(ResidentMemory, AKeeperWhoseRangesAreFreedGoesOnAndStopsPromptly) {
    constexpr size_t kBytes = 64 * 4096;
    auto* mapped = static_cast<unsigned char*>(
        mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(mapped, MAP_FAILED);
    auto keeper = std::make_unique<CResidentMemoryKeeper>();
    keeper->KeepData({{mapped, kBytes}});
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    munmap(mapped, kBytes);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const auto stop = std::chrono::steady_clock::now();
    keeper.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace zepa
