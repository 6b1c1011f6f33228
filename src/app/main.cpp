// The zepa engine: runs the game in the current folder (or --game DIR, DIR, DIR/GameData.pac).
#include <cstdio>

#include "app/CommandLine.h"
#include "app/EngineRunner.h"

int main(int argc, char** argv) {
    const zepa::CommandLineResult parsed = zepa::ParseCommandLine(argc, argv);
    switch (parsed.action) {
        case zepa::CommandLineResult::Action::ShowText:
            std::fputs(parsed.text.c_str(), stdout);
            return 0;
        case zepa::CommandLineResult::Action::Error:
            std::fprintf(stderr, "zepa: %s (see zepa --help)\n", parsed.text.c_str());
            return 2;
        case zepa::CommandLineResult::Action::Run:
            break;
    }
    return zepa::RunEngine(parsed.options);
}
