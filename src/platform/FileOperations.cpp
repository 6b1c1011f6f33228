#include "platform/FileOperations.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace zepa {

int IFileOperations::Open(const char* path, int flags, mode_t mode) {
    return open(path, flags, mode);
}
ssize_t IFileOperations::Write(int fd, const void* data, size_t size) {
    return write(fd, data, size);
}
int IFileOperations::Fsync(int fd) {
    return fsync(fd);
}
int IFileOperations::Close(int fd) {
    return close(fd);
}
int IFileOperations::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}
int IFileOperations::Link(const char* from, const char* to) {
    return link(from, to);
}
int IFileOperations::Unlink(const char* path) {
    return unlink(path);
}

IFileOperations& RealFileOperations() {
    static IFileOperations real;
    return real;
}

}  // namespace zepa
