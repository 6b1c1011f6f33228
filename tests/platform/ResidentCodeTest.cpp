#include "platform/ResidentCode.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zepa {
namespace {

// A library loaded and unloaded over and over while the loaded code is read: a reading must
// never meet a page unmapped under it, so a library once seen stays loaded.
TEST(ResidentCode, ALibraryUnloadedWhileTheCodeIsReadStaysMapped) {
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

}  // namespace
}  // namespace zepa
