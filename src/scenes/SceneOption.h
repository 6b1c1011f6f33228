// The "Option" scene: a five-item menu (message speed, BGM, BGS and SE volume, finish) whose
// descriptions show the current values, and one picker per setting. It edits the game object's
// settings record in place; "option.ini" is written when the scene exits, and the engine takes the
// new values in at the scene switch that leaves the scene.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/Settings.h"
#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"
#include "windows/WindowSelectable.h"

namespace zepa {

class CAudioChannels;

class CSceneOption : public CSceneBase {
  public:
    // The pickers, in the order their Update runs (and menu items 0..3 open them).
    enum Picker : int { kSpeedPicker = 0, kBgmPicker = 1, kBgsPicker = 2, kSePicker = 3, kPickerCount = 4 };
    static constexpr int kFinishItem = 4;
    static constexpr int kMenuItems = 5;
    static constexpr int kSpeedItems = 5;
    static constexpr int kVolumeItems = 11;
    static const std::array<const char*, kMenuItems>& MenuItemTexts();

    // Edits the services' settings record in place; `settingsPath` is where Exit writes.
    explicit CSceneOption(const SceneServices& services, std::string settingsPath = kSettingsFileName);
    ~CSceneOption() override { Exit(); }
    bool Init() override;
    void Update(const ButtonState& buttons) override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override;
    void DescribeState(nlohmann::json& state) const override;

    const CWindowSelectable& mainMenu() const { return mainMenu_; }
    const CWindowSelectable& picker(int which) const { return pickers_[which]; }
    // The description the menu shows for an item (CP932).
    const std::string& description(int item) const { return descriptions_[item]; }

  private:
    void SetUpMainMenu();
    void RefreshDescription(int item);
    void OpenPicker(int which);
    void UpdatePicker(int which, const ButtonState& buttons);
    void StoreChoice(int which, int32_t item);
    void ReturnToMenu();

    SceneServices services_;
    SettingsRecord& settings_;
    std::string settingsPath_;
    CWindowSelectable mainMenu_;
    std::array<CWindowSelectable, kPickerCount> pickers_;
    std::array<std::string, kMenuItems> descriptions_;
    // The SE item is described in shorter words once its value was changed here.
    bool seChanged_ = false;
    // Exit runs again from the destructor; the file is written once.
    bool saved_ = false;
};

}  // namespace zepa
