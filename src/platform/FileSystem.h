// Small file-system queries used by engine code (which includes no POSIX headers).
#pragma once

#include <string>
#include <vector>

#include "platform/FileOperations.h"

namespace zepa {

bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// The names in a folder in the order the file system returns them ("." and ".." included, as a
// directory listing gives them); empty when the folder cannot be read.
std::vector<std::string> ListDirectory(const std::string& path);

// Creates the folder `path` (its parent must exist); true when it exists afterwards.
bool MakeDirectory(const std::string& path);
// Removes the file `path`; true when it is gone afterwards (also when it never existed).
bool RemoveFile(const std::string& path, IFileOperations& files = RealFileOperations());
// Makes `copy` hold the current content of `original`, replacing any old `copy`: a hard link when
// the file system allows one (cheap, and the content cannot change under it, because writers
// replace files by renaming), else a byte copy. False when neither works.
bool KeepFileCopy(const std::string& original, const std::string& copy,
                  IFileOperations& files = RealFileOperations());

}  // namespace zepa
