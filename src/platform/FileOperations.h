// The system calls a crash-safe file replacement makes, behind an interface. Production code always
// uses the real calls; tests install their own to make any single call fail (an I/O error, a full
// disk) or to end the process at that point, and check that no save or settings file is lost or
// torn. Every call answers as the POSIX call does: -1 (and errno) on failure.
#pragma once

#include <sys/types.h>
#include <cstddef>

namespace zepa {

class IFileOperations {
  public:
    virtual ~IFileOperations() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Link(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The real calls (the base class is stateless; one shared instance serves every caller).
IFileOperations& RealFileOperations();

}  // namespace zepa
