// Runs the built engine as a separate process for end-to-end tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zepa::test {

struct ProcessResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

// Runs `zepa` with the arguments (each quoted for the shell) and SDL's dummy drivers.
ProcessResult RunZepa(const std::vector<std::string>& args);

// A fresh temporary folder, removed when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file (creating folders) with the given bytes.
    void Write(const std::string& relative, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace zepa::test
