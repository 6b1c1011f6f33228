// The engine's command line. Parsing never exits the process: the result says what to do.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zepa {

struct FrameFile {
    long long frame = 0;
    std::string path;
};

struct CommandLineOptions {
    std::optional<std::string> gameDir;
    bool headless = false;
    bool paced = false;  // headless frames at 60 per second on the real clock
    std::optional<long long> frames;
    std::optional<unsigned> seed;
    std::optional<std::string> scene;
    std::optional<int> loadSlot;
    std::optional<std::string> inputFile;
    std::optional<std::string> recordFile;
    std::vector<FrameFile> shots;
    std::vector<FrameFile> dumps;
    std::optional<std::string> dumpAtExit;
    std::optional<std::string> warp;  // FILE or FILE:LABEL, as typed
    std::optional<std::string> statsFile;
    int windowScale = 0;  // 0: choose from the desktop
    bool fullscreen = false;
};

struct CommandLineResult {
    enum class Action { Run, ShowText, Error };
    Action action = Action::Run;
    CommandLineOptions options;
    std::string text;  // help or version text, or the error line
};

CommandLineResult ParseCommandLine(int argc, const char* const* argv);

// Parses "FRAME:PATH" (FRAME a non-negative integer, PATH non-empty).
std::optional<FrameFile> ParseFrameFile(const std::string& value);

}  // namespace zepa
