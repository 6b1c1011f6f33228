#include "platform/ResidentMemory.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/BackgroundThread.h"

namespace zepa {
namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kPageBytes = 4096;
// One code page in kProbeEvery is never kept: the check reads those after they sat unread for
// kCheckInterval. How often what is kept is read, and for how long after a check found pages set
// aside.
constexpr size_t kProbeEvery = 16;
constexpr auto kCheckInterval = std::chrono::seconds(1);
constexpr auto kReadInterval = std::chrono::milliseconds(50);
constexpr auto kKeepFor = std::chrono::seconds(60);
constexpr auto kKeepAtStart = std::chrono::seconds(10);
// A page read after the idle second costing this much more than right after counts as set aside
// (a page that is only out of the processor's caches costs well under a microsecond).
constexpr double kSetAsideMicrosecondsPerPage = 1.0;

struct Segment {
    const unsigned char* start;
    size_t bytes;
};

bool IsReadOnlyLoad(const ElfW(Phdr)& header) {
    return header.p_type == PT_LOAD && (header.p_flags & PF_R) && !(header.p_flags & PF_W);
}

int CollectName(dl_phdr_info* info, size_t, void* names) {
    if (info->dlpi_name && info->dlpi_name[0]) static_cast<std::set<std::string>*>(names)->insert(info->dlpi_name);
    return 0;
}

struct SegmentSearch {
    const std::set<std::string>* pinned;
    std::vector<Segment>* segments;
};

// The program itself (no name) is never unloaded; a library only once it is pinned.
int CollectSegments(dl_phdr_info* info, size_t, void* data) {
    auto& search = *static_cast<SegmentSearch*>(data);
    const bool program = !info->dlpi_name || !info->dlpi_name[0];
    if (!program && !search.pinned->count(info->dlpi_name)) return 0;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (!IsReadOnlyLoad(header) || header.p_memsz == 0) continue;
        search.segments->push_back(
            {reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr), header.p_memsz});
    }
    return 0;
}

// The code and read-only data of the program and of its libraries, each library marked never to
// be unloaded first (a reading must not meet an unmapped page).
class CLoadedCode {
  public:
    void Refresh() {
        std::set<std::string> loaded;
        dl_iterate_phdr(CollectName, &loaded);
        for (const std::string& name : loaded) {
            if (pinned_.count(name) || refused_.count(name)) continue;
            // NOLOAD: only a library already loaded; NODELETE: dlclose never unloads it again.
            if (void* handle = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) {
                dlclose(handle);
                pinned_.insert(name);
            } else {
                refused_.insert(name);  // the kernel's vDSO, say: not a file dlopen knows
            }
        }
        segments_.clear();
        SegmentSearch search{&pinned_, &segments_};
        dl_iterate_phdr(CollectSegments, &search);
        pages_ = 0;
        for (const Segment& segment : segments_) pages_ += (segment.bytes + kPageBytes - 1) / kPageBytes;
    }

    enum class Pages { All, Kept, Probes };
    // Reads one byte of each of those pages; the bytes are code and constants, never written.
    __attribute__((no_sanitize("address", "thread"))) void Read(Pages which) const {
        size_t page = 0;
        for (const Segment& segment : segments_) {
            const volatile unsigned char* bytes = segment.start;
            for (size_t offset = 0; offset < segment.bytes; offset += kPageBytes, ++page) {
                const bool probe = page % kProbeEvery == 0;
                if (which == Pages::All || (which == Pages::Probes) == probe) (void)bytes[offset];
            }
        }
    }

    // The probes, unread since the last check, are read twice: a system that set them aside
    // meanwhile makes the first reading markedly slower.
    bool ProbesWereSetAside() const {
        const double afterIdle = TimedReadMicroseconds(Pages::Probes);
        const double rightAfter = TimedReadMicroseconds(Pages::Probes);
        return afterIdle - rightAfter > kSetAsideMicrosecondsPerPage * static_cast<double>(pages_ / kProbeEvery + 1);
    }

    size_t pages() const { return pages_; }

  private:
    double TimedReadMicroseconds(Pages which) const {
        const auto start = Clock::now();
        Read(which);
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }

    std::set<std::string> pinned_;
    std::set<std::string> refused_;
    std::vector<Segment> segments_;
    size_t pages_ = 0;
};

// Reads one byte of each page of the ranges through the kernel, a batch of pages a call. A page
// the kernel cannot read (the memory was freed) is passed over. False when the kernel refuses the
// call itself (a sandbox may forbid it): then no data can be read this way.
class CDataReader {
  public:
    bool Read(const std::vector<MemoryRange>& ranges, size_t& pagesRead) {
        for (const MemoryRange& range : ranges) {
            const auto* start = static_cast<const unsigned char*>(range.start);
            for (size_t offset = 0; offset < range.bytes; offset += kPageBytes) {
                remote_.push_back({const_cast<unsigned char*>(start + offset), 1});
                if (remote_.size() == kBatch && !Flush(pagesRead)) return false;
            }
        }
        return Flush(pagesRead);
    }

  private:
    static constexpr size_t kBatch = 512;  // below the kernel's limit of 1024 pieces a call

    bool Flush(size_t& pagesRead) {
        size_t next = 0;
        while (next < remote_.size()) {
            iovec local{sink_, remote_.size() - next};
            const ssize_t read = process_vm_readv(getpid(), &local, 1, remote_.data() + next, remote_.size() - next, 0);
            if (read < 0 && errno != EFAULT) {
                remote_.clear();
                return false;
            }
            const size_t pieces = read > 0 ? static_cast<size_t>(read) : 0;
            pagesRead += pieces;
            next += pieces + 1;  // the piece after those read could not be read
        }
        remote_.clear();
        return true;
    }

    std::vector<iovec> remote_;
    unsigned char sink_[kBatch];
};

}  // namespace

struct CResidentMemoryKeeper::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::vector<MemoryRange> data;
    std::thread thread;

    // True when asked to stop meanwhile.
    template <typename Duration>
    bool Idle(Duration duration) {
        std::unique_lock lock(mutex);
        return wake.wait_for(lock, duration, [this] { return stopping; });
    }

    // A game's first seconds run much code for the first time: they are kept whatever the system.
    void Run() {
        LowerThisThreadsPriority();
        CLoadedCode code;
        code.Refresh();
        code.Read(CLoadedCode::Pages::All);  // maps every page, so that the first check compares like with like
        auto keepUntil = Clock::now() + kKeepAtStart;
        auto nextCheck = Clock::now() + kCheckInterval;
        while (true) {
            const auto now = Clock::now();
            const bool keeping = now < keepUntil;
            if (Idle(keeping ? std::min<Clock::duration>(kReadInterval, nextCheck - now) : nextCheck - now)) return;
            if (Clock::now() >= nextCheck) {
                code.Refresh();  // libraries loaded since
                if (code.ProbesWereSetAside()) keepUntil = Clock::now() + kKeepFor;
                nextCheck = Clock::now() + kCheckInterval;
            }
            if (Clock::now() < keepUntil) ReadKept(code);
        }
    }

    void ReadKept(const CLoadedCode& code) {
        code.Read(CLoadedCode::Pages::Kept);
        {
            std::lock_guard lock(mutex);
            ranges = data;
        }
        size_t pages = 0;
        if (dataReadable) dataReadable = dataReader.Read(ranges, pages);
    }

    CDataReader dataReader;
    bool dataReadable = true;
    std::vector<MemoryRange> ranges;  // a copy of `data`, read without the lock
};

CResidentMemoryKeeper::CResidentMemoryKeeper() : worker_(std::make_unique<Worker>()) {
    try {
        worker_->thread = std::thread([worker = worker_.get()] { worker->Run(); });
    } catch (const std::system_error&) {
        // Without a thread the code is simply not kept at hand.
    }
}

CResidentMemoryKeeper::~CResidentMemoryKeeper() {
    {
        std::lock_guard lock(worker_->mutex);
        worker_->stopping = true;
    }
    worker_->wake.notify_all();
    if (worker_->thread.joinable()) worker_->thread.join();
}

void CResidentMemoryKeeper::KeepData(const std::vector<MemoryRange>& ranges) {
    std::lock_guard lock(worker_->mutex);
    worker_->data = ranges;
}

size_t ReadLoadedCodePages() {
    CLoadedCode code;
    code.Refresh();
    code.Read(CLoadedCode::Pages::All);
    return code.pages();
}

size_t ReadDataPages(const std::vector<MemoryRange>& ranges) {
    CDataReader reader;
    size_t pages = 0;
    reader.Read(ranges, pages);
    return pages;
}

}  // namespace zepa
