#include "support/EngineProcess.h"

namespace zepa::test {

ProcessResult RunZepa(const std::vector<std::string>& args) {
    std::string command = "SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy " + zepa::testing::Quote(ZEPA_BINARY);
    for (const std::string& arg : args) command += " " + zepa::testing::Quote(arg);
    return zepa::testing::RunCommand(command);
}

}  // namespace zepa::test
