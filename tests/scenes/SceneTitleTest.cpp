// The title scene run in-process: its menu, the two slot pickers, their prompts, what choosing
// and cancelling do, and F12.
#include <gtest/gtest.h>

#include "support/TestServices.h"

#include "core/SceneRequests.h"
#include "platform/FileSystem.h"
#include "scenes/SceneTitle.h"
#include "script/SaveFile.h"
#include "stage/StageRecord.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;

// Long enough for any window's opening animation to end.
constexpr int kOpening = CWindowBase::kOpeningFrames + 2;

void WriteSlot(const std::string& folder, int slot, const std::string& savePointName, int32_t marker) {
    CVariableStore variables;
    SavePointRecord record;
    record.scriptFile = "Script/Script.txt";
    record.savePointName = savePointName;
    variables.SetInt(7, marker);
    variables.TakeSnapshot(record);
    testing::WriteFileBytes(folder + "/" + SaveFilePath(slot),
                            EncodeSaveFile(variables, zepa::testing::TestLog()));
}

class SceneTitleTest : public ::testing::Test {
  protected:
    SceneTitleTest() {
        test::WriteSolidPng(folder_ / "Graphics/BG/Title.png", 640, 480, 0xFF204060u);
        test::WriteScriptFile(folder_.path(), "Initialize.txt", "");
        test::WriteScriptFile(folder_.path(), "Script.txt", "WaitOK\n");
    }

    // Starts the game object and lets the title's menu finish opening.
    GameHarness& Start() {
        harness_ = std::make_unique<GameHarness>(folder_.path());
        EXPECT_TRUE(harness_->initialized());
        harness_->Frames(kOpening);
        return *harness_;
    }
    CSceneTitle& Title() {
        auto* title = dynamic_cast<CSceneTitle*>(harness_->game().currentScene());
        EXPECT_NE(title, nullptr) << harness_->game().currentSceneName();
        return *title;
    }
    // Moves the cursor of the menu shown down `steps` rows and chooses the item.
    void Choose(int steps) {
        for (int i = 0; i < steps; ++i) harness_->Press(vk::kDown);
        harness_->Press('Z');
    }

    TempFolder folder_;
    std::unique_ptr<GameHarness> harness_;
};

TEST_F(SceneTitleTest, OpensWithTheTitlePictureAndTheFourItemMenuOnItsFirstItem) {
    Start();
    CSceneTitle& title = Title();
    EXPECT_EQ(harness_->game().stage().background.name(), "Graphics/BG/Title.png");
    EXPECT_EQ(title.showing(), CSceneTitle::Showing::kMenu);
    const CWindowSelectable& menu = title.menu();
    EXPECT_EQ(menu.itemCount(), 4);
    EXPECT_EQ(menu.cursor(), 0);
    EXPECT_EQ(menu.itemsPerPage(), 4);
    EXPECT_EQ(menu.x(), 448);
    EXPECT_EQ(menu.y(), 160);
    EXPECT_EQ(menu.skinType(), 1);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(menu.itemEnabled(i));
    EXPECT_FALSE(title.prompt().isOpen());
    EXPECT_FALSE(title.loadPicker().isOpen());
    // The description window shows the first item's text.
    auto& description = *const_cast<CWindowSelectable&>(menu).descriptionWindow();
    EXPECT_EQ(description.pendingText().text(), Cp932("\n　最初からゲームを始めます。"));
    EXPECT_EQ(description.x(), 0);
    EXPECT_EQ(description.width(), 320);
    harness_->Press(vk::kDown);
    EXPECT_EQ(description.pendingText().text(), Cp932("\n　続きからゲームを始めます。"));
}

TEST_F(SceneTitleTest, TheLoadPickerListsEverySlotAndOffersOnlyTheExistingFile) {
    WriteSlot(folder_.path(), 1, Cp932("夜明け"), 11);
    Start();
    Choose(1);  // LOAD
    CSceneTitle& title = Title();
    ASSERT_EQ(title.showing(), CSceneTitle::Showing::kLoadPicker);
    const CWindowSelectable& picker = title.loadPicker();
    EXPECT_FALSE(title.menu().isOpen());
    EXPECT_EQ(picker.itemCount(), 6);
    EXPECT_EQ(picker.itemsPerPage(), 8);
    EXPECT_EQ(picker.cursor(), 0);
    EXPECT_EQ(picker.x(), 160);
    EXPECT_EQ(picker.height(), 240);
    const std::array<std::string, 6> expected{
        "0 > NO DATA", "1 > " + Cp932("夜明け"), "2 > NO DATA", "3 > NO DATA", "4 > NO DATA", "5 > NO DATA"};
    EXPECT_EQ(title.loadItemTexts(), expected);
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(picker.itemEnabled(slot), slot == 1) << slot;
    EXPECT_TRUE(title.prompt().isOpen());
    EXPECT_EQ(title.prompt().width(), 640);
    EXPECT_EQ(title.prompt().height(), 40);
    EXPECT_EQ(title.prompt().pendingText().text(), Cp932("どのデータをロードしますか？"));

    // Choosing a slot without a file does nothing; the existing one loads and starts the game.
    harness_->Frames(kOpening);
    harness_->Press('Z');
    EXPECT_EQ(harness_->game().currentSceneName(), "Title");
    EXPECT_FALSE(harness_->game().sceneRequests().pending());
    Choose(1);
    EXPECT_EQ(harness_->game().variables().GetInt(7), 11);
    EXPECT_EQ(harness_->game().variables().quickSaveSlot(), 1);
    harness_->Frames(1);
    EXPECT_EQ(harness_->game().currentSceneName(), "Main");
}

TEST_F(SceneTitleTest, CancellingAPickerReturnsToTheMenuOnItsFirstItem) {
    Start();
    Choose(0);  // START
    ASSERT_EQ(Title().showing(), CSceneTitle::Showing::kNewGamePicker);
    EXPECT_EQ(Title().prompt().pendingText().text(), Cp932("どれをセーブ用に使いますか？"));
    for (int slot = 0; slot < 6; ++slot) EXPECT_TRUE(Title().newGamePicker().itemEnabled(slot));
    harness_->Frames(kOpening);
    harness_->Press(vk::kDown);
    harness_->Press('X');
    CSceneTitle& title = Title();
    EXPECT_EQ(title.showing(), CSceneTitle::Showing::kMenu);
    EXPECT_FALSE(title.newGamePicker().isOpen());
    EXPECT_FALSE(title.prompt().isOpen());
    EXPECT_TRUE(title.menu().isOpen());
    EXPECT_EQ(title.menu().cursor(), 0);
    auto& description = *const_cast<CWindowSelectable&>(title.menu()).descriptionWindow();
    EXPECT_TRUE(description.isOpen());
    EXPECT_EQ(description.pendingText().text(), Cp932("\n　最初からゲームを始めます。"));
}

TEST_F(SceneTitleTest, ANewGameOnSlotFourResetsTheGameAndTheQuickSaveWritesSlotFour) {
    Start();
    harness_->game().variables().SetInt(3, 99);
    Choose(0);
    harness_->Frames(kOpening);
    Choose(4);
    EXPECT_EQ(harness_->game().variables().GetInt(3), 0);
    EXPECT_EQ(harness_->game().variables().quickSaveSlot(), 4);
    EXPECT_FALSE(IsRegularFile(folder_ / "Save/Save4.dat"));  // choosing a slot writes nothing
    harness_->Frames(1);
    ASSERT_EQ(harness_->game().currentSceneName(), "Main");
    harness_->Press('S');  // the script waits for OK
    EXPECT_TRUE(IsRegularFile(folder_ / "Save/Save4.dat"));
}

TEST_F(SceneTitleTest, OptionAndShutDownRequestTheirScenes) {
    Start();
    Choose(2);  // the request is carried out in the frame after the choice
    EXPECT_EQ(harness_->game().currentSceneName(), "Option");
    harness_->game().sceneRequests().Request("Title");
    harness_->Frames(kOpening);
    harness_->Press(vk::kDown);
    harness_->Press(vk::kDown);
    harness_->Press(vk::kDown);
    harness_->KeyDown('Z');
    harness_->Frames(1);
    EXPECT_TRUE(harness_->game().sceneRequests().pending());
    EXPECT_EQ(harness_->game().sceneRequests().name(), "");
    harness_->Frames(1);
    EXPECT_TRUE(harness_->game().closeRequested());
}

TEST_F(SceneTitleTest, F12MakesTheTitleAnewAndDropsRequestsRaisedBeforeItsInit) {
    Start();
    harness_->Press(vk::kDown);
    ASSERT_EQ(Title().menu().cursor(), 1);
    harness_->KeyDown(vk::kF12);
    harness_->KeyUp(vk::kF12);
    harness_->Frames(1);
    EXPECT_EQ(Title().menu().cursor(), 0);
    EXPECT_EQ(harness_->game().stage().background.name(), "Graphics/BG/Title.png");
    // Init drops what was requested while the previous scene went away.
    harness_->game().sceneRequests().Request("Main");
    harness_->game().SwitchScene();
    EXPECT_FALSE(harness_->game().sceneRequests().pending());
}

// The file went away after the picker listed it: the previous game's snapshot must not be
// resumed in its place, so nothing starts and the slot can no longer be chosen.
TEST_F(SceneTitleTest, ASlotWhoseFileVanishedStartsNothing) {
    WriteSlot(folder_.path(), 0, "Gone", 5);
    Start();
    harness_->game().variables().SetInt(7, 42);
    Choose(1);
    harness_->Frames(kOpening);
    ASSERT_TRUE(Title().loadPicker().itemEnabled(0));
    RemoveFile(folder_ / SaveFilePath(0));
    harness_->Press('Z');
    EXPECT_EQ(harness_->game().currentSceneName(), "Title");
    EXPECT_FALSE(harness_->game().sceneRequests().pending());
    EXPECT_EQ(Title().showing(), CSceneTitle::Showing::kLoadPicker);
    EXPECT_FALSE(Title().loadPicker().itemEnabled(0));
    EXPECT_EQ(harness_->game().variables().GetInt(7), 42);
}

TEST(SceneTitle, SlotTextsFormatTheNumberAndFallBackToNoData) {
    TempFolder folder;
    testing::ScopedWorkingDirectory inFolder(folder.path());
    bool exists = true;
    EXPECT_EQ(CSceneTitle::SlotItemText(2, exists), "2 > NO DATA");
    EXPECT_FALSE(exists);
    WriteSlot(folder.path(), 5, "", 1);
    EXPECT_EQ(CSceneTitle::SlotItemText(5, exists), "5 > ");
    EXPECT_TRUE(exists);
}

}  // namespace
}  // namespace zepa
