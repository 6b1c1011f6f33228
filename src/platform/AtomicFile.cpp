#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace zepa {
namespace {

// The file a write should replace: the target of a symbolic link, else the path itself.
std::string ResolveTarget(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a new, empty temporary file next to `target`; -1 when the folder does not allow it.
// The name carries the process id and a clock reading; O_EXCL makes a clash with another
// writer's file fail, and the next attempt takes another name.
int CreateTemporaryFile(IFileOperations& files, const std::string& target, std::string& tempPath) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(stamp) + "-" +
                   std::to_string(attempt);
        // 0666 and the process's umask give the permissions a newly created file would have.
        // O_EXCL and O_NOFOLLOW: a file or link planted under the temporary name is never
        // written through.
        const int fd =
            files.Open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(IFileOperations& files, int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = files.Write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// Keeps the permissions of the file being replaced (a player may have made it read-only for
// others, or writable for a group).
void CopyPermissions(const std::string& from, int toFd) {
    struct stat info;
    if (stat(from.c_str(), &info) == 0) fchmod(toFd, info.st_mode & 07777);
}

// Makes the rename itself durable. Some file systems refuse fsync on a folder; the new content
// is already complete then, so that is not treated as a failure.
void SyncFolder(IFileOperations& files, const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    files.Fsync(fd);
    close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, IFileOperations& files) {
    if (path.empty()) return false;
    const std::string target = ResolveTarget(path);
    std::string tempPath;
    const int fd = CreateTemporaryFile(files, target, tempPath);
    if (fd < 0) return false;
    CopyPermissions(target, fd);
    bool ok = WriteAll(files, fd, bytes) && files.Fsync(fd) == 0;
    ok = (files.Close(fd) == 0) && ok;
    if (ok) ok = files.Rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        files.Unlink(tempPath.c_str());
        return false;
    }
    SyncFolder(files, FolderOf(target));
    return true;
}

}  // namespace zepa
