#include "scenes/SceneTitle.h"

#include <cstdio>

#include "core/SceneRequests.h"
#include "platform/Cp932.h"
#include "scenes/SaveResume.h"
#include "script/SaveFile.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

constexpr int kRowHeight = 26;
constexpr int kMargin = 16;
constexpr int kWindowSkin = 1;
constexpr int kPromptSkin = 0;
constexpr const char* kOpenEffect = "expand";

const std::array<std::string, CSceneTitle::kMenuItems>& MenuDescriptions() {
    static const std::array<std::string, CSceneTitle::kMenuItems> descriptions{
        Cp932("\n　最初からゲームを始めます。"), Cp932("\n　続きからゲームを始めます。"),
        Cp932("\n　設定を変更できます。"), Cp932("\n　ゲームを終了します。")};
    return descriptions;
}

const std::string& LoadQuestion() {
    static const std::string text = Cp932("どのデータをロードしますか？");
    return text;
}

const std::string& NewGameQuestion() {
    static const std::string text = Cp932("どれをセーブ用に使いますか？");
    return text;
}

// One column of rows 26 pixels high, the stretched skin for the window and its description.
void ShapeAsMenu(CWindowSelectable& window, int32_t items) {
    window.SetColumn(1);
    window.ContentsNum(items);
    window.SkinType(kWindowSkin);
    window.DescriptionSkinType(kWindowSkin);
    window.ContentsHeight(kRowHeight);
}

void EndSelection(CWindowSelectable& window) {
    window.Select(false);
    window.Close();
}

}  // namespace

CSceneTitle::CSceneTitle(const SceneServices& services)
    : services_(services),
      menu_(services.windows),
      loadPicker_(services.windows),
      newGamePicker_(services.windows),
      prompt_(services.windows) {}

const std::array<std::string, CSceneTitle::kMenuItems>& CSceneTitle::MenuItemTexts() {
    static const std::array<std::string, kMenuItems> items{"START", "LOAD", "OPTION", "SHUT DOWN"};
    return items;
}

std::string CSceneTitle::SlotItemText(int slot, bool& exists, const std::string& writableFolder) {
    char number[16];
    std::snprintf(number, sizeof number, "%d > ", slot);
    SavePointRecord record;
    exists = ReadSaveRecord(slot, record, writableFolder);
    return std::string(number) + (exists ? record.savePointName : std::string("NO DATA"));
}

bool CSceneTitle::Init() {
    // A request raised while the previous scene was exiting, or while this one was being made,
    // is dropped.
    services_.sceneRequests.Cancel();
    services_.stage.background.SetBackground("Title.png", "crossfade", 30);
    services_.stage.characters.EraseAll("", 30);
    for (CWindowSelectable* window : {&menu_, &loadPicker_, &newGamePicker_}) {
        window->CursorMoveSeFile(kCursorMoveSe);
        window->SelectSeFile(kSelectSe);
        window->CancelSeFile(kCancelSe);
    }
    prompt_.SkinType(kPromptSkin);
    ShowMainMenu();
    return true;
}

void CSceneTitle::ShowMainMenu() {
    EndSelection(loadPicker_);
    EndSelection(newGamePicker_);
    prompt_.Close();
    ShapeAsMenu(menu_, kMenuItems);
    menu_.Open(kOpenEffect, 448, 160, 160, 150, kMargin, true, true);
    menu_.OpenDescription(kOpenEffect, 0, 160, 320, 150, true, true);
    for (int i = 0; i < kMenuItems; ++i) {
        menu_.SetContents(i, MenuItemTexts()[i]);
        menu_.SetDescription(i, MenuDescriptions()[i]);
    }
    if (!menu_.active()) menu_.Select(true);
}

void CSceneTitle::ShowPicker(CWindowSelectable& picker, CWindowSelectable& other, bool onlyExisting,
                             std::array<std::string, kSlots>& texts, const std::string& question) {
    prompt_.Close();
    EndSelection(menu_);
    EndSelection(other);
    ShapeAsMenu(picker, kSlots);
    picker.Open(kOpenEffect, 160, 120, 320, 240, kMargin, true, true);
    for (int slot = 0; slot < kSlots; ++slot) {
        bool exists = false;
        texts[slot] = SlotItemText(slot, exists, services_.script.writableFolder);
        picker.SetContents(slot, texts[slot], exists || !onlyExisting);
    }
    if (!picker.active()) picker.Select(true);
    prompt_.Open(kOpenEffect, 0, 0, 640, 40, true, true);
    prompt_.PrintText(question);
}

void CSceneTitle::Update(const ButtonState& buttons) {
    int32_t choice = 0;
    menu_.Update(buttons);
    if (menu_.active() && menu_.TakeResult(choice)) HandleMenuChoice(choice);
    loadPicker_.Update(buttons);
    if (loadPicker_.active() && loadPicker_.TakeResult(choice)) HandleLoadChoice(choice);
    newGamePicker_.Update(buttons);
    if (newGamePicker_.active() && newGamePicker_.TakeResult(choice)) HandleNewGameChoice(choice);
    prompt_.Update();
    services_.stage.background.Update();
    services_.stage.characters.Update();
}

void CSceneTitle::HandleMenuChoice(int32_t choice) {
    switch (choice) {
        case 0:
            ShowPicker(newGamePicker_, loadPicker_, false, newGameItems_, NewGameQuestion());
            break;
        case 1:
            ShowPicker(loadPicker_, newGamePicker_, true, loadItems_, LoadQuestion());
            break;
        case 2:
            services_.sceneRequests.Request("Option");
            break;
        case 3:
            services_.sceneRequests.Request("");  // no scene of that name: the next switch ends the program
            break;
        default:
            break;  // cancelled: the menu stays
    }
}

// A slot whose file vanished or turned out unreadable since the picker was built starts
// nothing (the previous game's snapshot must not be resumed in its place): the item is
// disabled and the picker stays.
void CSceneTitle::HandleLoadChoice(int32_t choice) {
    if (choice < 0) {
        ShowMainMenu();
        return;
    }
    const ScriptServices& script = services_.script;
    if (StartLoadedGame(script.variables, choice, services_.sceneRequests, script.log, script.writableFolder))
        return;
    loadPicker_.SetContentsEnable(choice, false);
    services_.stage.audio.PlaySE(kCancelSe);
}

// The slot's file is not touched; it is written by the first save of the new game.
void CSceneTitle::HandleNewGameChoice(int32_t choice) {
    if (choice < 0) {
        ShowMainMenu();
        return;
    }
    StartNewGame(services_.script.variables, choice, services_.sceneRequests);
}

void CSceneTitle::Draw(CSpriteBatch& batch) {
    services_.stage.background.Draw(batch);
    services_.stage.characters.Draw(batch);
    menu_.Draw(batch);
    loadPicker_.Draw(batch);
    newGamePicker_.Draw(batch);
    prompt_.Draw(batch);
}

void CSceneTitle::Exit() {
    menu_.Close();
    loadPicker_.Close();
    newGamePicker_.Close();
    prompt_.Close();
}

CSceneTitle::Showing CSceneTitle::showing() const {
    if (loadPicker_.isOpen() && loadPicker_.active()) return Showing::kLoadPicker;
    if (newGamePicker_.isOpen() && newGamePicker_.active()) return Showing::kNewGamePicker;
    if (menu_.isOpen() && menu_.active()) return Showing::kMenu;
    return Showing::kNothing;
}

}  // namespace zepa
