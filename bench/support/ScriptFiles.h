// Writes the benches' generated game scripts as a game keeps them: CP932 with CR LF line ends.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/Cp932.h"

namespace zepa::bench {

inline void WriteCp932Script(const std::filesystem::path& path, const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::ofstream(path, std::ios::binary) << Cp932(crlf);
}

// Makes `folder` a game of the demo's graphics and the two given scripts (UTF-8 text, written as
// CP932). Says why on stderr and returns false when the graphics cannot be copied.
inline bool WriteBenchGame(const std::filesystem::path& folder, const std::filesystem::path& demo,
                           const std::string& initialize, const std::string& script) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder / "Script", error);
    fs::copy(demo / "Graphics", folder / "Graphics", fs::copy_options::recursive, error);
    if (error) {
        std::fprintf(stderr, "bench: cannot copy %s: %s\n", (demo / "Graphics").c_str(),
                     error.message().c_str());
        return false;
    }
    WriteCp932Script(folder / "Script" / "Initialize.txt", initialize);
    WriteCp932Script(folder / "Script" / "Script.txt", script);
    return true;
}

}  // namespace zepa::bench
