// What the state dump shows of each scene: the main scene's script, pictures and windows, the key
// configuration scene's pictures, the title's menu and pickers, the options scene's menu and
// pickers.
#include <nlohmann/json.hpp>

#include "platform/Cp932.h"
#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneMain.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"

namespace zepa {
namespace {

// The item texts and which can be chosen, listed while the window is open.
nlohmann::json DescribeTitleWindow(const CWindowSelectable& window, const std::string* texts, int count) {
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

}  // namespace

void CSceneMain::DescribeState(nlohmann::json& state) const {
    state["script"] = runner_.DescribeState();
    state["position"] = runner_.DescribePosition();
    state["pictures"] = pictures_.DescribeState();
    state["messageWindows"] = windows_.DescribeMessages();
    state["selectWindows"] = windows_.DescribeSelections();
    nlohmann::json history = nlohmann::json::array();
    for (const CMessageHistory::Entry& entry : windows_.history().entries())
        history.push_back(Cp932ToJsonText(entry.text));
    state["history"] = history;
    state["historyOpen"] = historyView_.isOpen();
    state["autoAdvance"] = autoAdvance_;
    state["windowsHidden"] = windowsHidden_;
}

void CSceneKeyConfig::DescribeState(nlohmann::json& state) const {
    state["pictures"] = pictures_.DescribeState();
}

void CSceneTitle::DescribeState(nlohmann::json& state) const {
    static constexpr const char* kShowing[] = {"", "menu", "load", "newGame"};
    state["titleScene"] = {
        {"showing", kShowing[static_cast<int>(showing())]},
        {"menu", DescribeTitleWindow(menu_, MenuItemTexts().data(), kMenuItems)},
        {"loadPicker", DescribeTitleWindow(loadPicker_, loadItems_.data(), kSlots)},
        {"newGamePicker", DescribeTitleWindow(newGamePicker_, newGameItems_.data(), kSlots)},
        {"prompt", {{"open", prompt_.isOpen()}, {"text", Cp932ToJsonText(prompt_.pendingText().text())}}}};
}

// The menu with the descriptions it shows, and the four pickers.
void CSceneOption::DescribeState(nlohmann::json& state) const {
    nlohmann::json descriptions = nlohmann::json::array();
    for (int item = 0; item < kMenuItems; ++item)
        descriptions.push_back(Cp932ToJsonText(descriptions_[item]));
    nlohmann::json pickers = nlohmann::json::array();
    for (int which = 0; which < kPickerCount; ++which) pickers.push_back(pickers_[which].DescribeState());
    state["optionScene"] = {
        {"menu", mainMenu_.DescribeState()}, {"descriptions", descriptions}, {"pickers", pickers}};
}

}  // namespace zepa
