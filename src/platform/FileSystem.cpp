#include "platform/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/AtomicFile.h"
#include "platform/FileOperations.h"
#include "platform/FileReader.h"

namespace zepa {

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    return names;
}

std::optional<FolderStamp> StampOfFolder(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    return FolderStamp{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                       static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileStamp{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                     static_cast<int64_t>(info.st_size),
                     static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    return errno == EEXIST && IsDirectory(path);
}

bool MakeDirectories(const std::string& path) {
    if (IsDirectory(path)) return true;
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!IsDirectory(part) && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) && IsDirectory(path);
}

bool IsWritableFolder(const std::string& path) {
    return IsDirectory(path) && access(path.c_str(), W_OK | X_OK) == 0;
}

std::string CurrentFolder() {
    std::string path(4096, '\0');
    if (!getcwd(path.data(), path.size())) return std::string();
    path.resize(path.find('\0'));
    return path;
}

bool RemoveFile(const std::string& path, IFileOperations& files) {
    return files.Unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool KeepFileCopy(const std::string& original, const std::string& copy, IFileOperations& files) {
    if (!RemoveFile(copy, files)) return false;
    if (files.Link(original.c_str(), copy.c_str()) == 0) return true;
    std::string bytes;
    if (ReadWholeFile(original, bytes) != FileReadResult::Ok) return false;
    return WriteFileAtomically(copy, bytes, files);
}

}  // namespace zepa
