#include "app/StateDump.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/GameSystem.h"
#include "app/MessageBox.h"
#include "platform/Cp932.h"

namespace zepa {

nlohmann::json DumpState(const CGameSystem& game, long long frame) {
    nlohmann::json state;
    state["frame"] = frame;
    state["scene"] = game.currentSceneName();
    state["title"] = Cp932ToJsonText(game.windowTitle());
    state["clientSize"] = {game.clientWidth, game.clientHeight};
    nlohmann::json settings = nlohmann::json::object();
    for (const SettingsField& field : kSettingsFields) settings[field.key] = game.settings().*field.member;
    state["settings"] = settings;
    nlohmann::json messages = nlohmann::json::array();
    for (const std::string& text : ShownMessages()) messages.push_back(Cp932ToJsonText(text));
    state["messages"] = messages;
    return state;
}

bool WriteJsonFile(const std::string& path, const nlohmann::json& value) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "zepa: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const std::string text = value.dump(2) + "\n";
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed) std::fprintf(stderr, "zepa: cannot write %s\n", path.c_str());
    return ok && closed;
}

}  // namespace zepa
