#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zepa {

CInstanceLock::CInstanceLock(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        path_ = std::string(runtime && *runtime ? runtime : "/tmp") + "/zepa-engine.lock";
    }
}

CInstanceLock::~CInstanceLock() {
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
    }
}

bool CInstanceLock::TryAcquire() {
    if (fd_ >= 0) return true;
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return errno != EWOULDBLOCK;
    }
    fd_ = fd;
    return true;
}

}  // namespace zepa
