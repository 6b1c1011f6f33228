#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/LibraryVersions.h"

namespace zepa {

std::optional<FrameFile> ParseFrameFile(const std::string& value) {
    const size_t colon = value.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= value.size()) return std::nullopt;
    FrameFile result;
    for (size_t i = 0; i < colon; ++i) {
        const char c = value[i];
        if (c < '0' || c > '9' || result.frame > 100000000000LL) return std::nullopt;
        result.frame = result.frame * 10 + (c - '0');
    }
    result.path = value.substr(colon + 1);
    return result;
}

namespace {

bool CollectFrameFiles(const std::vector<std::string>& values, const char* option,
                       std::vector<FrameFile>& out, std::string& error) {
    for (const std::string& value : values) {
        auto parsed = ParseFrameFile(value);
        if (!parsed) {
            error = std::string(option) + ": expected FRAME:FILE, got '" + value + "'";
            return false;
        }
        out.push_back(*parsed);
    }
    return true;
}

bool IsArchiveName(const std::string& path) {
    constexpr std::string_view kArchive = "gamedata.pac";
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() != kArchive.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kArchive[i]) return false;
    }
    return true;
}

// Sets the game folder from the positional argument; false (with the reason) when it cannot be one.
bool TakeGameArgument(const std::string& argument, bool gameOptionGiven, CommandLineOptions& options,
                      std::string& error) {
    if (gameOptionGiven) {
        error = "give the game folder once, either as --game DIR or as DIR";
        return false;
    }
    if (!IsRegularFile(argument)) {
        options.gameDir = argument;
        return true;
    }
    if (!IsArchiveName(argument)) {
        error = "'" + argument + "' is neither a game folder nor a GameData.pac";
        return false;
    }
    const size_t slash = argument.rfind('/');
    options.gameDir = slash == std::string::npos ? "." : slash == 0 ? "/" : argument.substr(0, slash);
    return true;
}

std::string VersionText() {
    return std::string("zepa ") + ZEPA_VERSION + "\n" + RuntimeLibraryVersions();
}

}  // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv) {
    CommandLineResult result;
    CommandLineOptions& options = result.options;
    CLI::App app{"zepa: a visual novel and adventure game engine", "zepa"};
    app.set_version_flag("--version", "zepa " ZEPA_VERSION,
                         "Show the engine's version and those of its libraries");

    std::string gameArgument, gameDir, scene, inputFile, recordFile, dumpAtExit, warp, statsFile;
    long long frames = -1;
    long long seed = -1;
    int loadSlot = -1;
    std::vector<std::string> shots, dumps;
    app.add_option("GAME", gameArgument, "Game folder, or the GameData.pac inside it (the same as --game)");
    app.add_option("--game", gameDir, "Game folder (the working directory of the game)");
    app.add_flag("--headless", options.headless, "No window: virtual clock, message boxes on stderr");
    app.add_flag("--paced", options.paced,
                 "With --headless: each frame waits for its due time on the real clock, as in a window")
        ->needs("--headless");
    app.add_option("--frames", frames, "End the run after frame N")->check(CLI::NonNegativeNumber);
    app.add_option("--seed", seed, "Seed of the random generator")->check(CLI::Range(0LL, 4294967295LL));
    app.add_option("--scene", scene, "First scene instead of Title (Title, Main, Option, KeyConfig)");
    app.add_option("--load", loadSlot, "Load this save slot, then start Main")->check(CLI::NonNegativeNumber);
    app.add_option("--input", inputFile, "Replay the input events of FILE");
    app.add_option("--record", recordFile, "Record the player's input into FILE");
    app.add_option("--shot", shots, "FRAME:FILE.png: write the back buffer after frame FRAME is drawn");
    app.add_option("--dump", dumps, "FRAME:FILE.json: write the engine state after frame FRAME");
    app.add_option("--dump-at-exit", dumpAtExit, "Write the engine state when the run ends");
    app.add_option("--warp", warp,
                   "FILE[:LABEL]: start a new game at LABEL of Script/FILE (after Initialize.txt)");
    app.add_option("--stats", statsFile, "Write each frame's update, draw and present times to FILE (CSV)");
    app.add_option("--window-scale", options.windowScale, "Client size as a multiple of 640 x 480")
        ->check(CLI::Range(1, 16));
    app.add_flag("--fullscreen", options.fullscreen, "Start in fullscreen");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        result.action = CommandLineResult::Action::ShowText;
        result.text = app.help();
        return result;
    } catch (const CLI::CallForVersion&) {
        result.action = CommandLineResult::Action::ShowText;
        result.text = VersionText();
        return result;
    } catch (const CLI::ParseError& error) {
        result.action = CommandLineResult::Action::Error;
        result.text = error.what();
        return result;
    }

    if (app.count("--game")) options.gameDir = gameDir;
    std::string error;
    if (app.count("GAME") && !TakeGameArgument(gameArgument, app.count("--game") > 0, options, error)) {
        result.action = CommandLineResult::Action::Error;
        result.text = error;
        return result;
    }
    if (frames >= 0) options.frames = frames;
    if (seed >= 0) options.seed = static_cast<unsigned>(seed);
    if (app.count("--scene")) options.scene = scene;
    if (loadSlot >= 0) options.loadSlot = loadSlot;
    if (app.count("--input")) options.inputFile = inputFile;
    if (app.count("--record")) options.recordFile = recordFile;
    if (app.count("--dump-at-exit")) options.dumpAtExit = dumpAtExit;
    if (app.count("--warp")) options.warp = warp;
    if (app.count("--stats")) options.statsFile = statsFile;
    if (!CollectFrameFiles(shots, "--shot", options.shots, error) ||
        !CollectFrameFiles(dumps, "--dump", options.dumps, error)) {
        result.action = CommandLineResult::Action::Error;
        result.text = error;
    }
    return result;
}

}  // namespace zepa
