// The Background and Character statements run through the script runner onto the stage:
// argument defaults decided by the first empty argument, ignored slots, and the grammar error boxes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "StageTestSupport.h"
#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/Cp932.h"
#include "script/ScriptRandom.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"
#include "stage/BackGround.h"
#include "stage/CharaGraphics.h"
#include "stage/StageRecord.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

// `Keyword.Sub("a", "b", ...)`, every argument quoted so that signs and empty ones arrive as written.
std::string Statement(const std::string& keyword, const std::string& subCommand,
                      std::initializer_list<std::string> args) {
    std::string text = keyword + (subCommand.empty() ? "" : "." + subCommand) + "(";
    for (const std::string& arg : args) text += (text.back() == '(' ? "\"" : ", \"") + arg + "\"";
    return text + ")\n";
}

class StageLayerCommandsTest : public testing::StageTest {
  protected:
    void SetUp() override {
        StageTest::SetUp();
        WriteSolid("Graphics/BG/a", 640, 480, 0xFF102030u);
        WriteSolid("Graphics/Char/b", 10, 10, 0xFFFFFFFFu);
    }
    void Run(const std::string& text) { Run(runner, text); }
    static void Run(CScriptRunner& runner, const std::string& text) {
        runner.reader().SetText("Script/Script.txt", text + "WaitOK\n");
        runner.StepScript();
        runner.waitForOk = false;
    }
    void Background(const std::string& sub, std::initializer_list<std::string> args) {
        Run(Statement("Background", sub, args));
    }
    void Character(const std::string& sub, std::initializer_list<std::string> args) {
        Run(Statement("Character", sub, args));
    }

    CVariableStore variables;
    CScriptRandom random;
    ButtonState buttons;
    CMessageBoxes boxes{testing::TestLog()};
    StageRecord stage{&store, testing::TestLog()};
    CScriptRunner runner{testing::MakeScriptServices(variables, random, buttons, boxes, nullptr, &stage)};
    CBackGround& background = stage.background;
    CCharaGraphics& characters = stage.characters;
};

TEST_F(StageLayerCommandsTest, BackgroundSetDefaultsToACutOverThirtyFrames) {
    background.SetBackground("", "", 5);
    Background("Set", {"a"});
    EXPECT_EQ(background.name(), "Graphics/BG/a");
    EXPECT_EQ(background.transitionKind(), CBackGround::kCut);
    EXPECT_EQ(background.transitionLength(), 30);
    Background("Set", {"", "fade"});
    EXPECT_EQ(background.transitionKind(), CBackGround::kFade);
    EXPECT_EQ(background.transitionLength(), 30);
    Background("Set", {"a", "", "12"});
    EXPECT_EQ(background.transitionKind(), CBackGround::kCut);
    EXPECT_EQ(background.transitionLength(), 30) << "an empty transition decides the length too";
    variables.SetInt(4, 17);
    Background("Set", {"", "crossfade", "$num[4]"});
    EXPECT_EQ(background.transitionLength(), 17);
}

TEST_F(StageLayerCommandsTest, BackgroundEffectAndColorTone) {
    Background("Set", {"a"});
    background.Update();
    Background("Effect", {"shake_h"});
    EXPECT_TRUE(background.shaking());
    EXPECT_EQ(background.shakeLength(), 10);
    for (int i = 0; i <= 10; ++i) background.Update();
    Background("Effect", {"shake_v", "4"});
    EXPECT_EQ(background.shakeLength(), 4);
    Background("ColorTone", {"128", "-1", "999", "7"});
    EXPECT_EQ(background.ToneColor(), 0x8000FF07u);
}

TEST_F(StageLayerCommandsTest, SetGraphDefaultsAreDecidedByTheFirstEmptyArgument) {
    Character("SetGraph", {"0", "b", "fade", "10", "50"});
    const CCharaGraphics::Slot& slot = characters.slot(0);
    EXPECT_EQ(slot.current.name, "Graphics/Char/b");
    EXPECT_EQ(slot.kind, CCharaGraphics::kFade);
    EXPECT_EQ(slot.transitionLength, 10);
    EXPECT_EQ(slot.targetX, 50);
    EXPECT_EQ(slot.targetY, 0) << "y was left to the layer";
    EXPECT_EQ(slot.moveMode, CCharaGraphics::kMoveJump);
    EXPECT_EQ(slot.moveFrames, 30);

    // An empty frame count throws away the position and movement written after it.
    Character("SetGraph", {"1", "b", "crossfade", "", "70", "80", "linear", "0"});
    EXPECT_EQ(characters.slot(1).transitionLength, 30);
    EXPECT_EQ(characters.slot(1).targetX, 0);
    EXPECT_EQ(characters.slot(1).moveMode, CCharaGraphics::kMoveJump);

    Character("SetGraph", {"2", "b", "crossfade2", "6", "70", "80", "linear", "0"});
    EXPECT_EQ(characters.slot(2).targetY, 80);
    EXPECT_EQ(characters.slot(2).moveMode, CCharaGraphics::kMoveLinear);
    EXPECT_EQ(characters.slot(2).position.x, 70.0f) << "0 move frames place it at once";

    Character("SetGraph", {"3", "b", "", "6", "70"});
    EXPECT_EQ(characters.slot(3).transitionLength, 30);
    EXPECT_EQ(characters.slot(3).targetX, 0);
}

TEST_F(StageLayerCommandsTest, MovePosDefaultsAndSlotChecks) {
    Character("MovePos", {"4", "100", "20"});
    EXPECT_EQ(characters.slot(4).moveMode, CCharaGraphics::kMoveJump);
    EXPECT_EQ(characters.slot(4).moveFrames, 30);
    Character("MovePos", {"4", "300", "20", "linear"});
    EXPECT_EQ(characters.slot(4).moveMode, CCharaGraphics::kMoveLinear);
    EXPECT_EQ(characters.slot(4).moveFrames, 30);
    Character("MovePos", {"4", "300", "20", "", "5"});
    EXPECT_EQ(characters.slot(4).moveMode, CCharaGraphics::kMoveJump);
    EXPECT_EQ(characters.slot(4).moveFrames, 30);

    Character("SetVisible", {"6", "false"});
    Character("SetReverse", {"-1", "true"});
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(characters.slot(i).visible);
        EXPECT_FALSE(characters.slot(i).mirrored);
    }
    Character("SetVisible", {"5", "false"});
    Character("SetReverse", {"5", "true"});
    EXPECT_FALSE(characters.slot(5).visible);
    EXPECT_TRUE(characters.slot(5).mirrored);
    Character("SetFocus", {"3"});
    EXPECT_EQ(characters.focus(), 3);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StageLayerCommandsTest, EraseAllReadsItsFirstArgumentAsTheTransition) {
    for (int i = 0; i < 6; ++i) characters.SetCharacter(i, "b", "", 30, 0, 0, "default", 0);
    characters.Update();
    Character("EraseAll", {});
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(characters.slot(i).current.name.empty()) << i;
        EXPECT_EQ(characters.slot(i).kind, CCharaGraphics::kCut);
        EXPECT_EQ(characters.slot(i).transitionLength, 30);
    }
    Character("EraseAll", {"fade", "20"});
    EXPECT_EQ(characters.slot(5).kind, CCharaGraphics::kFade);
    EXPECT_EQ(characters.slot(5).transitionLength, 20);
}

TEST_F(StageLayerCommandsTest, UnknownSubCommandsShowTheGroupsErrorBoxAndEmptyOnesNothing) {
    Background("", {});
    Character("", {});
    EXPECT_TRUE(boxes.shown().empty());
    Background("Shake", {"shake_h"});
    Character("Erase", {});
    Character("setgraph", {"0", "b"});
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0], Cp932("Backgroundについて文法ミス？"));
    EXPECT_EQ(boxes.shown()[1], Cp932("Characterについて文法ミス？"));
    EXPECT_TRUE(characters.slot(0).current.name.empty());
    // Without a stage the known statements do nothing and the unknown ones still complain.
    CScriptRunner withoutStage{testing::MakeScriptServices(variables, random, buttons, boxes)};
    Run(withoutStage, Statement("Background", "Set", {"a"}));
    Run(withoutStage, Statement("Character", "Bad", {}));
    EXPECT_EQ(boxes.shown().size(), 4u);
}

}  // namespace
}  // namespace zepa
