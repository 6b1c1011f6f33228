// Single-instance guard: an advisory lock on a file in $XDG_RUNTIME_DIR (else /tmp), held for the
// life of the object.
#pragma once

#include <string>

namespace zepa {

class CInstanceLock {
  public:
    // `path` empty: the default lock file "zepa-engine.lock" in the runtime folder.
    explicit CInstanceLock(std::string path = {});
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // True when this object now holds the lock; false when another process holds it.
    // A lock file that cannot be created at all does not stop the engine (true).
    bool TryAcquire();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace zepa
