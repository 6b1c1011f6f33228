#include "scenes/SceneOption.h"

#include <utility>

#include "core/SceneRequests.h"
#include "platform/Cp932.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

constexpr const char* kEffect = "expand";
constexpr int32_t kRowHeight = 26;
constexpr int32_t kPickerFontSize = 24;

// The menus' sounds, the same as the title scene's.
constexpr const char* kCursorMoveSe = "Music/se/mokin.wav";
constexpr const char* kSelectSe = "Music/se/cursor8.wav";
constexpr const char* kCancelSe = "Music/se/bahu.wav";

struct Layout {
    int32_t x, y, width, height;
};
constexpr Layout kMenuLayout{0, 48, 320, 180};
constexpr int32_t kMenuMargin = 16;
constexpr Layout kDescriptionLayout{0, 0, 640, 48};
constexpr Layout kSpeedLayout{320, 48, 320, 48};
constexpr Layout kVolumeLayout{320, 48, 320, 80};
constexpr int32_t kPickerMargin = 11;
constexpr int32_t kSpeedColumns = 5;
constexpr int32_t kVolumeColumns = 6;
constexpr int32_t kVolumeStep = 10;

constexpr std::array<const char*, CSceneOption::kMenuItems> kMenuItemTexts{
    "MESSAGE SPEED", "BGM VOLUME", "BGS VOLUME", "SE VOLUME", "FINISH"};
const char* const kSpeedItemTexts[CSceneOption::kSpeedItems] = {"   １", "   ２", "   ３", "   ４", "   ５"};

// The description of a setting: its label and the value in decimal (values outside the pickers'
// range are shown as they are).
std::string DescribeValue(const char* labelUtf8, int value) {
    return Cp932(labelUtf8) + std::to_string(value);
}

int VolumeForItem(int32_t item) {
    return 100 - kVolumeStep * item;
}

}  // namespace

const std::array<const char*, CSceneOption::kMenuItems>& CSceneOption::MenuItemTexts() {
    return kMenuItemTexts;
}

CSceneOption::CSceneOption(const SceneServices& services, std::string settingsPath)
    : services_(services),
      settings_(services.settings),
      settingsPath_(std::move(settingsPath)),
      mainMenu_(services.windows),
      pickers_{CWindowSelectable(services.windows), CWindowSelectable(services.windows),
               CWindowSelectable(services.windows), CWindowSelectable(services.windows)} {}

bool CSceneOption::Init() {
    SetUpMainMenu();
    if (!mainMenu_.active()) mainMenu_.Select(true);
    auto giveSounds = [](CWindowSelectable& window) {
        window.CursorMoveSeFile(kCursorMoveSe);
        window.SelectSeFile(kSelectSe);
        window.CancelSeFile(kCancelSe);
    };
    giveSounds(mainMenu_);
    for (CWindowSelectable& picker : pickers_) {
        giveSounds(picker);
        picker.ContentsHeight(kRowHeight);
        picker.FontSize(kPickerFontSize);
    }
    // The background and the characters stay as the previous scene left them.
    return true;
}

void CSceneOption::SetUpMainMenu() {
    mainMenu_.SetColumn(1);
    mainMenu_.ContentsNum(kMenuItems);
    mainMenu_.SkinType(kSkinTiled);
    mainMenu_.DescriptionSkinType(kSkinStretched);
    mainMenu_.ContentsHeight(kRowHeight);
    mainMenu_.Open(kEffect, kMenuLayout.x, kMenuLayout.y, kMenuLayout.width, kMenuLayout.height, kMenuMargin,
                   true, true);
    mainMenu_.OpenDescription(kEffect, kDescriptionLayout.x, kDescriptionLayout.y, kDescriptionLayout.width,
                              kDescriptionLayout.height, true, true);
    for (int item = 0; item < kMenuItems; ++item) {
        mainMenu_.SetContents(item, kMenuItemTexts[item]);
        RefreshDescription(item);
    }
}

// Builds an item's description from the current settings and hands it to the menu.
void CSceneOption::RefreshDescription(int item) {
    std::string& text = descriptions_[item];
    switch (item) {
        case kSpeedPicker:
            text = DescribeValue("メッセージの表示速度設定・現在値＝", settings_.messageSpeed);
            break;
        case kBgmPicker:
            text = DescribeValue("BGMの音量設定・現在値＝", settings_.bgmVolume);
            break;
        case kBgsPicker:
            text = DescribeValue("BGSの音量設定・現在値＝", settings_.bgsVolume);
            break;
        case kSePicker:
            text = seChanged_ ? DescribeValue("SEの音量設定・現在値＝", settings_.seVolume)
                              : DescribeValue("効果音（SE）の音量設定・現在値＝", settings_.seVolume);
            break;
        default:
            text = Cp932("終了");
            break;
    }
    mainMenu_.SetDescription(item, text);
}

// The main menu stays on screen without a selection while a picker runs; the picker's cursor
// starts on its first item, not on the current value.
void CSceneOption::OpenPicker(int which) {
    mainMenu_.Select(false);
    CWindowSelectable& picker = pickers_[which];
    if (picker.isOpen()) picker.Close();
    const bool speed = which == kSpeedPicker;
    picker.SetColumn(speed ? kSpeedColumns : kVolumeColumns);
    picker.ContentsNum(speed ? kSpeedItems : kVolumeItems);
    const Layout& layout = speed ? kSpeedLayout : kVolumeLayout;
    picker.Open(kEffect, layout.x, layout.y, layout.width, layout.height, kPickerMargin, true, true);
    if (speed) {
        for (int item = 0; item < kSpeedItems; ++item) picker.SetContents(item, Cp932(kSpeedItemTexts[item]));
    } else {
        for (int item = 0; item < kVolumeItems; ++item)
            picker.SetContents(item, std::to_string(VolumeForItem(item)));
    }
    if (!picker.active()) picker.Select(true);
}

void CSceneOption::Update(const ButtonState& buttons) {
    mainMenu_.Update(buttons);
    int32_t result = 0;
    if (mainMenu_.active() && mainMenu_.TakeResult(result)) {
        if (result >= 0 && result < kPickerCount) {
            OpenPicker(result);
        } else if (result == kFinishItem || result == -1) {
            services_.sceneRequests.Request("Title");
        }
    }
    for (int which = 0; which < kPickerCount; ++which) UpdatePicker(which, buttons);
    services_.stage.background.Update();
    services_.stage.characters.Update();
}

// A decided picker closes; a valid choice is stored first. Either way the menu takes the
// selection back with its cursor on the first item.
void CSceneOption::UpdatePicker(int which, const ButtonState& buttons) {
    CWindowSelectable& picker = pickers_[which];
    picker.Update(buttons);
    int32_t result = 0;
    if (!picker.active() || !picker.TakeResult(result)) return;
    if (result >= 0 && result < picker.itemCount()) StoreChoice(which, result);
    picker.Select(false);
    picker.Close();
    ReturnToMenu();
}

void CSceneOption::StoreChoice(int which, int32_t item) {
    switch (which) {
        case kSpeedPicker:
            settings_.messageSpeed = item + 1;
            break;
        case kBgmPicker:
            settings_.bgmVolume = VolumeForItem(item);
            break;
        case kBgsPicker:
            settings_.bgsVolume = VolumeForItem(item);
            break;
        default:
            settings_.seVolume = VolumeForItem(item);
            seChanged_ = true;
            break;
    }
    RefreshDescription(which);
}

void CSceneOption::ReturnToMenu() {
    if (!mainMenu_.active()) mainMenu_.Select(true);
}

// The character layer is not drawn in this scene.
void CSceneOption::Draw(CSpriteBatch& batch) {
    services_.stage.background.Draw(batch);
    mainMenu_.Draw(batch);
    for (CWindowSelectable& picker : pickers_) picker.Draw(batch);
}

void CSceneOption::Exit() {
    mainMenu_.Close();
    for (CWindowSelectable& picker : pickers_) picker.Close();
    if (saved_) return;
    saved_ = true;
    // A file that cannot be written leaves the chosen values in effect for this run.
    SaveSettings(settings_, services_.script.log, settingsPath_);
}

}  // namespace zepa
