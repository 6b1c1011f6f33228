// zepa-lint [--format plain|gcc] [DIR]: checks the scripts of the game in DIR (default: the current
// folder) and prints one line for each problem. Exit status: 0 clean, 1 problems found, 2 cannot
// read (or a wrong command line).
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "lint/GameLint.h"

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage: zepa-lint [--format plain|gcc] [DIR]\n"
        "Checks every script of the game in DIR (default: the current folder), loose and in\n"
        "GameData.pac, and prints file:line: message for each problem\n"
        "(--format gcc: file:line:col: warning: message, with DIR before each file name).\n"
        "Exit status: 0 clean, 1 problems found, 2 the game cannot be read.\n"
        "Options:\n"
        "  --format plain|gcc  how each problem is printed (default plain)\n"
        "  -h, --help  show this text and exit\n",
        to);
}

struct Options {
    std::string folder = ".";
    zepa::LintFormat format = zepa::LintFormat::Plain;
    bool help = false;
};

std::optional<zepa::LintFormat> ParseFormat(const char* name) {
    if (std::strcmp(name, "plain") == 0) return zepa::LintFormat::Plain;
    if (std::strcmp(name, "gcc") == 0) return zepa::LintFormat::Gcc;
    return std::nullopt;
}

// Nullopt for a command line that cannot be understood.
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(arg, "--format") == 0 || std::strncmp(arg, "--format=", 9) == 0) {
            const char* name = arg[8] == '=' ? arg + 9 : (i + 1 < argc ? argv[++i] : "");
            const std::optional<zepa::LintFormat> format = ParseFormat(name);
            if (!format) return std::nullopt;
            options.format = *format;
        } else if (!folderGiven) {
            options.folder = arg;
            folderGiven = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        PrintUsage(stderr);
        return 2;
    }
    if (options->help) {
        PrintUsage(stdout);
        return 0;
    }
    const zepa::LintReport report = zepa::LintGame(options->folder);
    if (!report.readable) {
        std::fprintf(stderr, "zepa-lint: %s\n", report.error.c_str());
        return 2;
    }
    if (report.scriptCount == 0)
        std::fprintf(stderr, "zepa-lint: %s holds no scripts\n", options->folder.c_str());
    const std::string text = zepa::FormatFindings(report.findings, options->format, options->folder);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return zepa::LintExitCode(report);
}
