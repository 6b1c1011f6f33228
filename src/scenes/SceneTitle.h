// The "Title" scene: the title picture and a four-item menu (START, LOAD, OPTION, SHUT DOWN).
// START and LOAD each go through a picker of the six save slots, with a one-line prompt above
// it; cancelling a picker returns to the menu. Everything shown is built from the shared stage
// layers and from windows; the scene has no pictures of its own.
#pragma once

#include <array>
#include <string>

#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"
#include "windows/WindowMessage.h"
#include "windows/WindowSelectable.h"

namespace zepa {

class CSceneTitle : public CSceneBase {
  public:
    static constexpr int kMenuItems = 4;
    static constexpr int kSlots = 6;
    static constexpr const char* kCursorMoveSe = "Music/se/mokin.wav";
    static constexpr const char* kSelectSe = "Music/se/cursor8.wav";
    static constexpr const char* kCancelSe = "Music/se/bahu.wav";

    // Which of the three menus takes the player's input.
    enum class Showing { kNothing, kMenu, kLoadPicker, kNewGamePicker };

    explicit CSceneTitle(const SceneServices& services);
    ~CSceneTitle() override { Exit(); }
    bool Init() override;
    void Update(const ButtonState& buttons) override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override;
    void DescribeState(nlohmann::json& state) const override;

    // What the player sees, for state dumps and tests.
    Showing showing() const;
    const CWindowSelectable& menu() const { return menu_; }
    const CWindowSelectable& loadPicker() const { return loadPicker_; }
    const CWindowSelectable& newGamePicker() const { return newGamePicker_; }
    const CWindowMessage& prompt() const { return prompt_; }
    // The item texts (CP932) of the menu and of each picker as last shown.
    static const std::array<std::string, kMenuItems>& MenuItemTexts();
    const std::array<std::string, kSlots>& loadItemTexts() const { return loadItems_; }
    const std::array<std::string, kSlots>& newGameItemTexts() const { return newGameItems_; }

    // "%d > " and the save-point name of the slot's file, or "NO DATA" without a readable file;
    // `exists` tells which.
    static std::string SlotItemText(int slot, bool& exists, const std::string& writableFolder = {});

  private:
    void ShowMainMenu();
    void ShowPicker(CWindowSelectable& picker, CWindowSelectable& other, bool onlyExisting,
                    std::array<std::string, kSlots>& texts, const std::string& question);
    void HandleMenuChoice(int32_t choice);
    void HandleLoadChoice(int32_t choice);
    void HandleNewGameChoice(int32_t choice);

    SceneServices services_;
    CWindowSelectable menu_;
    CWindowSelectable loadPicker_;
    CWindowSelectable newGamePicker_;
    CWindowMessage prompt_;
    std::array<std::string, kSlots> loadItems_;
    std::array<std::string, kSlots> newGameItems_;
};

}  // namespace zepa
