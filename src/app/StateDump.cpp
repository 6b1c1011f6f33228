#include "app/StateDump.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/GameSystem.h"
#include "core/MessageBoxes.h"
#include "platform/Cp932.h"
#include "platform/Log.h"

namespace zepa {

nlohmann::json DumpState(const CGameSystem& game, long long frame) {
    nlohmann::json state;
    state["frame"] = frame;
    state["scene"] = game.currentSceneName();
    state["title"] = Cp932ToJsonText(game.windowTitle());
    state["clientSize"] = {game.inputDevices().clientWidth(), game.inputDevices().clientHeight()};
    nlohmann::json settings = nlohmann::json::object();
    for (const SettingsField& field : kSettingsFields) settings[field.key] = game.settings().*field.member;
    state["settings"] = settings;
    state["messageSpeed"] = std::max(game.windowEnvironment().messageSpeed, 1);
    state["background"] = game.stage().background.DescribeState();
    state["characters"] = game.stage().characters.DescribeState();
    state["audio"] = game.stage().audio.DescribeState();
    nlohmann::json textures = nlohmann::json::array();
    for (const auto& entry : game.textureStore().textures()) textures.push_back(Cp932ToJsonText(entry.first));
    state["textures"] = textures;
    nlohmann::json messages = nlohmann::json::array();
    for (const std::string& text : game.messageBoxes().shown()) messages.push_back(Cp932ToJsonText(text));
    state["messages"] = messages;
    state["vars"] = game.variables().DescribeState();
    state["quickSaveSlot"] = game.variables().quickSaveSlot();
    // Null unless the current scene has them; each scene fills in its own.
    for (const char* key : {"script", "position", "pictures", "messageWindows", "selectWindows", "titleScene",
                            "optionScene", "history", "historyOpen", "autoAdvance", "windowsHidden"})
        state[key] = nullptr;
    if (const CSceneBase* scene = game.currentScene()) scene->DescribeState(state);
    return state;
}

bool WriteJsonFile(const std::string& path, const nlohmann::json& value, ILog& log) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        log.Warning(FormatLine("zepa: cannot write %s: %s", path.c_str(), std::strerror(errno)));
        return false;
    }
    const std::string text = value.dump(2) + "\n";
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed) log.Warning(FormatLine("zepa: cannot write %s", path.c_str()));
    return ok && closed;
}

}  // namespace zepa
