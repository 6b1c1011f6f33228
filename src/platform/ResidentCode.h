// Keeps the program's code at hand. Some systems set aside memory that has not been read for a
// while (compressed, or taken back by the host of a virtual machine), code included: the frame
// that next runs code used only at scene changes (a script command, a decoder, the music start)
// then waits for each of those pages. On a cloud machine, pages idle for a second took 10 to 50 us
// each to read again, several milliseconds for one scene change.
//
// A low-priority thread first checks whether this system does so: it lets the code sit unread for
// a second, then reads one byte of each page and compares the time with a second reading right
// after. Where the first is markedly slower, it reads them every 50 ms for the next minute, then
// checks again; elsewhere it only checks, once a second. Read are the code and read-only data of
// the program and of the libraries loaded, which are kept loaded from then on so that they cannot
// be unmapped under the reading.
#pragma once

#include <cstddef>
#include <memory>

namespace zepa {

class CResidentCodeKeeper {
  public:
    CResidentCodeKeeper();  // starts the thread where the build has threads
    ~CResidentCodeKeeper();  // stops it within a few milliseconds
    CResidentCodeKeeper(const CResidentCodeKeeper&) = delete;
    CResidentCodeKeeper& operator=(const CResidentCodeKeeper&) = delete;

    struct Worker;

  private:
    std::unique_ptr<Worker> worker_;
};

// One reading: one byte of each page of the code and read-only data of the program and of every
// library it has loaded (those are kept loaded from now on). Returns the pages read.
size_t ReadLoadedCodePages();

}  // namespace zepa
