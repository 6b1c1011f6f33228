// Writes the benches' generated game scripts as a game keeps them: CP932 with CR LF line ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace zepa::bench
