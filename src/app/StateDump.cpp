#include "app/StateDump.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/GameSystem.h"
#include "core/MessageBoxes.h"
#include "platform/Cp932.h"
#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneMain.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"
#include "windows/MessageTyping.h"

namespace zepa {
namespace {

nlohmann::json DumpVariables(const CVariableStore& variables) {
    nlohmann::json ints = nlohmann::json::object();
    for (int n = 0; n < CVariableStore::kIntCount; ++n) {
        if (variables.GetInt(n) != 0) ints[std::to_string(n)] = variables.GetInt(n);
    }
    nlohmann::json flags = nlohmann::json::array();
    for (int n = 0; n < CVariableStore::kFlagCount; ++n) {
        if (variables.GetFlag(n)) flags.push_back(n);
    }
    nlohmann::json strings = nlohmann::json::object();
    for (int n = 0; n < CVariableStore::kStringCount; ++n) {
        if (!variables.GetString(n).empty())
            strings[std::to_string(n)] = Cp932ToJsonText(variables.GetString(n));
    }
    return {{"ints", ints}, {"flags", flags}, {"strings", strings}};
}

// The running script of the main scene; null in other scenes.
nlohmann::json DumpScript(const CSceneBase* scene) {
    const auto* main = dynamic_cast<const CSceneMain*>(scene);
    if (!main) return nullptr;
    const CScriptRunner& runner = main->runner();
    const CScriptReader& innermost = runner.reader().Innermost();
    return {{"file", Cp932ToJsonText(innermost.fileName())},
            {"depth", innermost.depth()},
            {"waitCounter", runner.waitCounter},
            {"waitForOk", runner.waitForOk}};
}

// The picture set of the main scene or of the key configuration scene; null in other scenes.
const CPictureSet* ScenePictures(const CSceneBase* scene) {
    if (const auto* main = dynamic_cast<const CSceneMain*>(scene)) return &main->pictures();
    if (const auto* keyConfig = dynamic_cast<const CSceneKeyConfig*>(scene)) return &keyConfig->pictures();
    return nullptr;
}

// The scene's pictures, text pictures and visible sprites; null in scenes without a picture set.
nlohmann::json DumpPictures(const CSceneBase* scene) {
    const CPictureSet* scenePictures = ScenePictures(scene);
    if (!scenePictures) return nullptr;
    const CPictureSet& set = *scenePictures;
    nlohmann::json pictures = nlohmann::json::object();
    nlohmann::json textPictures = nlohmann::json::array();
    for (int n = 0; n < CPictureSet::kPictureCount; ++n) {
        if (set.picture(n).texture) pictures[std::to_string(n)] = Cp932ToJsonText(set.picture(n).fileName);
        if (set.textPicture(n)) textPictures.push_back(n);
    }
    nlohmann::json sprites = nlohmann::json::object();
    for (int n = 0; n < CPictureSet::kSpriteCount; ++n) {
        const SpriteState& sprite = set.sprite(n);
        if (!sprite.visible) continue;
        sprites[std::to_string(n)] = {{"x", sprite.x},
                                      {"y", sprite.y},
                                      {"scale", {sprite.scaleX, sprite.scaleY}},
                                      {"color", sprite.Argb()},
                                      {"shown", sprite.source && *sprite.source}};
    }
    return {{"pictures", pictures}, {"textPictures", textPictures}, {"sprites", sprites}};
}

// The main scene's windows; null in other scenes.
nlohmann::json DumpMessageWindows(const CSceneBase* scene) {
    const auto* main = dynamic_cast<const CSceneMain*>(scene);
    if (!main) return nullptr;
    nlohmann::json windows = nlohmann::json::array();
    for (int n = 0; n < CWindowSet::kWindowCount; ++n) {
        const CWindowMessage& window = main->windows().message(n);
        windows.push_back(
            {{"open", window.isOpen()}, {"visible", window.visible()}, {"typing", window.typing()}});
    }
    return windows;
}

nlohmann::json DumpSelectWindows(const CSceneBase* scene) {
    const auto* main = dynamic_cast<const CSceneMain*>(scene);
    if (!main) return nullptr;
    nlohmann::json windows = nlohmann::json::array();
    for (int n = 0; n < CWindowSet::kWindowCount; ++n) {
        const CWindowSelectable& window = main->windows().selection(n);
        windows.push_back({{"open", window.isOpen()},
                           {"active", window.active()},
                           {"cursor", window.cursor()},
                           {"items", window.itemCount()}});
    }
    return windows;
}

nlohmann::json DumpSelection(const CWindowSelectable& window) {
    return {{"open", window.isOpen()},
            {"active", window.active()},
            {"cursor", window.cursor()},
            {"items", window.itemCount()}};
}

// The options scene's menu (with the descriptions it shows) and its four pickers; null in other
// scenes.
nlohmann::json DumpOptionScene(const CSceneBase* scene) {
    const auto* option = dynamic_cast<const CSceneOption*>(scene);
    if (!option) return nullptr;
    nlohmann::json descriptions = nlohmann::json::array();
    for (int item = 0; item < CSceneOption::kMenuItems; ++item)
        descriptions.push_back(Cp932ToJsonText(option->description(item)));
    nlohmann::json pickers = nlohmann::json::array();
    for (int which = 0; which < CSceneOption::kPickerCount; ++which)
        pickers.push_back(DumpSelection(option->picker(which)));
    return {
        {"menu", DumpSelection(option->mainMenu())}, {"descriptions", descriptions}, {"pickers", pickers}};
}

nlohmann::json DumpAudio(const CAudioChannels& audio) {
    nlohmann::json dump;
    dump["bgm"] = Cp932ToJsonText(audio.bgmName());
    dump["bgs"] = Cp932ToJsonText(audio.bgsName());
    dump["volumes"] = {{"bgm", audio.bgmVolume()}, {"bgs", audio.bgsVolume()}, {"se", audio.seVolume()}};
    dump["playing"] = {
        {"bgm", audio.BgmPlaying()}, {"bgs", audio.BgsPlaying()}, {"se", audio.SePlayingCount()}};
    dump["silent"] = audio.silent();
    dump["driver"] = audio.driverName();
    return dump;
}

nlohmann::json DumpBackground(const CBackGround& background) {
    return {{"name", Cp932ToJsonText(background.name())},
            {"transition", CBackGround::TransitionName(background.transitionKind())},
            {"shaking", background.shaking()},
            {"colorTone", background.ToneColor()}};
}

nlohmann::json DumpCharacters(const CCharaGraphics& characters) {
    nlohmann::json slots = nlohmann::json::array();
    for (int i = 0; i < CCharaGraphics::kSlotCount; ++i) {
        const CCharaGraphics::Slot& slot = characters.slot(i);
        slots.push_back({{"name", Cp932ToJsonText(slot.current.name)},
                         {"x", slot.position.x},
                         {"y", slot.position.y},
                         {"visible", slot.visible},
                         {"mirrored", slot.mirrored},
                         {"focus", characters.focus() == CCharaGraphics::kNoFocus || characters.focus() == i},
                         {"alpha", slot.current.color >> 24},
                         {"transitioning", slot.kind != CCharaGraphics::kIdle}});
    }
    return slots;
}

// The item texts and which can be chosen, listed while the window is open.
nlohmann::json DumpTitleWindow(const CWindowSelectable& window, const std::string* texts, int count) {
    nlohmann::json items = nlohmann::json::array();
    nlohmann::json enabled = nlohmann::json::array();
    for (int i = 0; window.isOpen() && i < count && i < window.itemCount(); ++i) {
        items.push_back(Cp932ToJsonText(texts[i]));
        enabled.push_back(window.itemEnabled(i));
    }
    return {{"open", window.isOpen()},
            {"active", window.active()},
            {"cursor", window.cursor()},
            {"items", items},
            {"enabled", enabled}};
}

// The title scene's menu and pickers; null in other scenes.
nlohmann::json DumpTitleScene(const CSceneBase* scene) {
    const auto* title = dynamic_cast<const CSceneTitle*>(scene);
    if (!title) return nullptr;
    static constexpr const char* kShowing[] = {"", "menu", "load", "newGame"};
    const CWindowMessage& prompt = title->prompt();
    return {{"showing", kShowing[static_cast<int>(title->showing())]},
            {"menu",
             DumpTitleWindow(title->menu(), CSceneTitle::MenuItemTexts().data(), CSceneTitle::kMenuItems)},
            {"loadPicker",
             DumpTitleWindow(title->loadPicker(), title->loadItemTexts().data(), CSceneTitle::kSlots)},
            {"newGamePicker",
             DumpTitleWindow(title->newGamePicker(), title->newGameItemTexts().data(), CSceneTitle::kSlots)},
            {"prompt", {{"open", prompt.isOpen()}, {"text", Cp932ToJsonText(prompt.pendingText().text())}}}};
}

}  // namespace

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
    state["background"] = DumpBackground(game.stage().background);
    state["characters"] = DumpCharacters(game.stage().characters);
    state["audio"] = DumpAudio(game.stage().audio);
    nlohmann::json textures = nlohmann::json::array();
    for (const auto& entry : game.textureStore().textures()) textures.push_back(Cp932ToJsonText(entry.first));
    state["textures"] = textures;
    nlohmann::json messages = nlohmann::json::array();
    for (const std::string& text : game.messageBoxes().shown()) messages.push_back(Cp932ToJsonText(text));
    state["messages"] = messages;
    state["vars"] = DumpVariables(game.variables());
    state["quickSaveSlot"] = game.variables().quickSaveSlot();
    state["script"] = DumpScript(game.currentScene());
    state["pictures"] = DumpPictures(game.currentScene());
    state["messageWindows"] = DumpMessageWindows(game.currentScene());
    state["selectWindows"] = DumpSelectWindows(game.currentScene());
    state["titleScene"] = DumpTitleScene(game.currentScene());
    state["optionScene"] = DumpOptionScene(game.currentScene());
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
