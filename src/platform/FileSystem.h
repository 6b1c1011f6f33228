// Small file-system queries used by engine code (which includes no POSIX headers).
#pragma once

#include <string>
#include <vector>

namespace zepa {

bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// The names in a folder in the order the file system returns them ("." and ".." included, as a
// directory listing gives them); empty when the folder cannot be read.
std::vector<std::string> ListDirectory(const std::string& path);

}  // namespace zepa
