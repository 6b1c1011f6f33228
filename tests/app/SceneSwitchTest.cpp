#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/GameSystem.h"
#include "core/SceneRequests.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

// A scene that logs its life and can raise a request from Init.
class LoggingScene : public CSceneBase {
  public:
    LoggingScene(std::string name, std::vector<std::string>& log, std::string requestFromInit,
                 CSceneRequests& requests)
        : name_(std::move(name)),
          log_(log),
          requestFromInit_(std::move(requestFromInit)),
          requests_(requests) {}
    ~LoggingScene() override { log_.push_back(name_ + ".delete"); }
    bool Init() override {
        log_.push_back(name_ + ".Init");
        if (!requestFromInit_.empty()) requests_.Request(requestFromInit_);
        return name_ != "Refuses";
    }
    void Update(const ButtonState&) override { log_.push_back(name_ + ".Update"); }
    void Draw(CSpriteBatch&) override {}
    void Exit() override { log_.push_back(name_ + ".Exit"); }

  private:
    std::string name_;
    std::vector<std::string>& log_;
    std::string requestFromInit_;
    CSceneRequests& requests_;
};

class SceneSwitchTest : public ::testing::Test {
  protected:
    SceneSwitchTest() {
        game_.SetSceneCreator(
            [this](const std::string& name, const SceneServices& services) -> std::unique_ptr<CSceneBase> {
                if (name != "Title" && name != "Main" && name != "Option" && name != "KeyConfig" &&
                    name != "Refuses") {
                    return nullptr;
                }
                return std::make_unique<LoggingScene>(name, log_, name == "Main" ? requestFromMain_ : "",
                                                      services.sceneRequests);
            });
    }
    void RequestSceneChange(const std::string& name) { game_.sceneRequests().Request(name); }

    std::vector<std::string> log_;
    std::string requestFromMain_;
    testing::InTempFolder inFolder_;
    CGameSystem game_;
};

TEST_F(SceneSwitchTest, FirstFrameCreatesTheTitleSceneAndUpdatesItInTheSameFrame) {
    game_.UpdateFrame();
    EXPECT_EQ(log_, (std::vector<std::string>{"Title.Init", "Title.Update"}));
    EXPECT_EQ(game_.currentSceneName(), "Title");
}

TEST_F(SceneSwitchTest, SwitchExitsAndDeletesTheOldSceneBeforeTheNewOneStarts) {
    game_.UpdateFrame();
    log_.clear();
    RequestSceneChange("KeyConfig");
    game_.UpdateFrame();
    EXPECT_EQ(log_,
              (std::vector<std::string>{"Title.Exit", "Title.delete", "KeyConfig.Init", "KeyConfig.Update"}));
    EXPECT_FALSE(game_.closeRequested());
}

TEST_F(SceneSwitchTest, TheLaterOfTwoRequestsInOneFrameWins) {
    game_.UpdateFrame();
    RequestSceneChange("Option");
    RequestSceneChange("Main");
    game_.UpdateFrame();
    EXPECT_EQ(game_.currentSceneName(), "Main");
}

TEST_F(SceneSwitchTest, ARequestRaisedByInitIsCarriedOutAtTheNextFrame) {
    requestFromMain_ = "Option";
    game_.UpdateFrame();
    RequestSceneChange("Main");
    game_.UpdateFrame();
    EXPECT_EQ(game_.currentSceneName(), "Main");  // not switched again within the frame
    game_.UpdateFrame();
    EXPECT_EQ(game_.currentSceneName(), "Option");
}

TEST_F(SceneSwitchTest, UnknownOrEmptyNamesCloseTheProgram) {
    for (const char* name : {"Main ", "main", ""}) {
        CGameSystem game;
        game.sceneRequests().Request(name);
        game.UpdateFrame();
        EXPECT_TRUE(game.closeRequested()) << "name '" << name << "'";
        EXPECT_EQ(game.currentScene(), nullptr);
    }
}

TEST_F(SceneSwitchTest, InitReturningFalseClosesTheProgram) {
    RequestSceneChange("Refuses");
    game_.UpdateFrame();
    EXPECT_TRUE(game_.closeRequested());
}

TEST(SceneSwitch, TheRealFactoryKnowsExactlyTheFourScenes) {
    testing::InTempFolder inFolder;
    CGameSystem game;
    for (const char* name : {"Title", "Main", "Option", "KeyConfig"}) {
        game.sceneRequests().Request(name);
        game.UpdateFrame();
        EXPECT_EQ(game.currentSceneName(), name);
        EXPECT_FALSE(game.closeRequested());
    }
}

TEST(GameSystem, DrawFrameClearsToOpaqueBlackAndPresents) {
    testing::InTempFolder inFolder;
    PlatformBackend backend = CreateHeadlessBackend();
    CGameSystem game;
    ASSERT_TRUE(game.Initialize(backend));
    game.spriteBatch().BackBuffer().Clear(0xFF123456u);
    game.DrawFrame();
    EXPECT_EQ(game.spriteBatch().BackBuffer().At(0, 0), 0xFF000000u);
    EXPECT_EQ(game.spriteBatch().BackBuffer().At(639, 479), 0xFF000000u);
    auto* window = static_cast<CHeadlessWindow*>(backend.window.get());
    EXPECT_EQ(window->presentedFrames(), 2);  // once at start-up, once for the frame
}

TEST(GameSystem, EveryGameStartsWithTheTitlePendingWhateverTheGameBeforeRequested) {
    testing::InTempFolder inFolder;
    {
        CGameSystem first;
        EXPECT_EQ(&first.services().sceneRequests, &first.sceneRequests());
        first.sceneRequests().Request("Option");
    }
    CGameSystem second;
    EXPECT_EQ(&second.services().sceneRequests, &second.sceneRequests());
    EXPECT_TRUE(second.sceneRequests().pending());
    EXPECT_EQ(second.sceneRequests().name(), "Title");
}

}  // namespace
}  // namespace zepa
