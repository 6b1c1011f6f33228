// Keeps the memory a scene change needs at hand. Some systems set aside memory that has not been
// read for a while (compressed, or taken back by the host of a virtual machine): the frame that
// next reads it then waits for each of its pages. On a cloud machine, pages idle for a second took
// 10 to 50 us each to read again, and a scene change (the code of its statements, its decoders and
// the music's start; the pictures it shows) waited 10 to 30 ms in all.
//
// A low-priority thread reads one byte of each page of the code and of the data the engine names
// every 50 ms: for the first ten seconds, which run much code for the first time, and then for a
// minute after each check that finds this system sets memory aside. One code page in 16 is left
// out: once a second the check reads those, unread since the last check, twice, and compares the
// times. Where the first reading is not markedly slower, the thread only checks. The code is
// that of the program and of the libraries loaded (kept loaded from then on, so that none can be
// unmapped under the reading); the data is read through the kernel, which answers for memory freed
// meanwhile instead of faulting.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace zepa {

struct MemoryRange {
    const void* start = nullptr;
    size_t bytes = 0;
};

class CResidentMemoryKeeper {
  public:
    CResidentMemoryKeeper();   // starts the thread where the build has threads
    ~CResidentMemoryKeeper();  // stops it within a few milliseconds
    CResidentMemoryKeeper(const CResidentMemoryKeeper&) = delete;
    CResidentMemoryKeeper& operator=(const CResidentMemoryKeeper&) = delete;

    // The data to keep at hand from now on, in place of the ranges named before. The memory may
    // be freed at any time after the call.
    void KeepData(const std::vector<MemoryRange>& ranges);

    struct Worker;

  private:
    std::unique_ptr<Worker> worker_;
};

// One reading: one byte of each page of the code and read-only data of the program and of every
// library it has loaded (those are kept loaded from now on). Returns the pages read.
size_t ReadLoadedCodePages();
// One reading of one byte of each page of `ranges`, through the kernel: a range freed or never
// mapped is passed over. Returns the pages read.
size_t ReadDataPages(const std::vector<MemoryRange>& ranges);

}  // namespace zepa
