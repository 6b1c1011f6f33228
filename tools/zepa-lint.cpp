// zepa-lint [DIR]: checks the scripts of the game in DIR (default: the current folder) and prints
// "file:line: message" for each problem. Exit status: 0 clean, 1 problems found, 2 cannot read.
#include <cstdio>
#include <cstring>
#include <string>

#include "lint/GameLint.h"

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage: zepa-lint [DIR]\n"
        "Checks every script of the game in DIR (default: the current folder), loose and in\n"
        "GameData.pac, and prints file:line: message for each problem.\n"
        "Exit status: 0 clean, 1 problems found, 2 the game cannot be read.\n"
        "Options:\n"
        "  -h, --help  show this text and exit\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    const std::string folder = argc == 2 ? argv[1] : ".";
    const zepa::LintReport report = zepa::LintGame(folder);
    if (!report.readable) {
        std::fprintf(stderr, "zepa-lint: %s\n", report.error.c_str());
        return 2;
    }
    if (report.scriptCount == 0) std::fprintf(stderr, "zepa-lint: %s holds no scripts\n", folder.c_str());
    const std::string text = zepa::FormatFindings(report.findings);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return zepa::LintExitCode(report);
}
