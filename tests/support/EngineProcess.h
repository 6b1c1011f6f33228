// Runs the built engine as a separate process for end-to-end tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace zepa::test {

using ProcessResult = zepa::testing::CommandResult;
using zepa::testing::ReadFileBytes;

// Runs `zepa` with the arguments (each quoted for the shell) and SDL's dummy drivers.
ProcessResult RunZepa(const std::vector<std::string>& args);

// A fresh temporary folder, removed when the object goes.
class TempDir {
public:
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file (creating folders) with the given bytes.
    void Write(const std::string& relative, const std::string& bytes) const {
        zepa::testing::WriteFileBytes(*this / relative, bytes);
    }

private:
    zepa::testing::TempFolder folder_;
    std::filesystem::path path_{folder_.path()};
};

}  // namespace zepa::test
