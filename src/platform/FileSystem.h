// Small file-system queries used by engine code (which includes no POSIX headers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileOperations.h"

namespace zepa {

bool IsRegularFile(const std::string& path);
// True when anything has the name `path`: a file of any kind, a folder, a link (even dangling).
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// The names in a folder in the order the file system returns them ("." and ".." included, as a
// directory listing gives them); empty when the folder cannot be read.
std::vector<std::string> ListDirectory(const std::string& path);

// What tells whether a folder changed since it was listed: adding, removing or renaming an entry
// updates the folder's modification time; device and inode tell a replaced folder apart.
struct FolderStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FolderStamp&) const = default;
};
// The stamp of the folder `path`; nullopt when it is not a folder.
std::optional<FolderStamp> StampOfFolder(const std::string& path);

// What tells whether a file changed since it was read: a writer that replaces it (by renaming)
// changes the inode, one that writes into it the size or modification time.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the regular file `path`; nullopt when it is not one.
std::optional<FileStamp> StampOfFile(const std::string& path);

// Creates the folder `path` (its parent must exist); true when it exists afterwards.
bool MakeDirectory(const std::string& path);
// Creates the folder `path` and every missing folder above it, the new ones readable only by their
// owner (the rule for a user's data folders); true when it exists afterwards.
bool MakeDirectories(const std::string& path);
// Whether this process may create files in the folder `path` (asked of the system, so that
// read-only mounts and access rules count, not only the permission bits).
bool IsWritableFolder(const std::string& path);
// The absolute path of the working folder; empty when it cannot be told.
std::string CurrentFolder();
// Removes the file `path`; true when it is gone afterwards (also when it never existed).
bool RemoveFile(const std::string& path, IFileOperations& files = RealFileOperations());
// Makes `copy` hold the current content of `original`, replacing any old `copy`: a hard link when
// the file system allows one (cheap, and the content cannot change under it, because writers
// replace files by renaming), else a byte copy. False when neither works.
bool KeepFileCopy(const std::string& original, const std::string& copy,
                  IFileOperations& files = RealFileOperations());

}  // namespace zepa
