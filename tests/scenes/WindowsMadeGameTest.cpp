// A game folder made on Windows, played in-process: folders in other case than the scripts name
// them, names with backslashes, CP932 names whose second bytes are 0x5C or letters, files stored
// under UTF-8 names. Every picture is found; the archive still matches names exactly.
#include <gtest/gtest.h>

#include "resources/ArchiveBytes.h"
#include "scenes/SaveResume.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

using test::GameHarness;
using testing::TempFolder;
using testing::WriteFileBytes;

std::string PngBytes(const std::string& scratch) {
    test::WriteSolidPng(scratch, 8, 8, 0xFF336699u);
    return testing::ReadFileBytes(scratch);
}

// A CP932 script with CR LF line ends.
void WriteScript(const std::string& path, const std::string& utf8) {
    std::string text;
    for (char c : utf8) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFileBytes(path, Cp932(text));
}

class WindowsMadeGameTest : public ::testing::Test {
  protected:
    WindowsMadeGameTest() {
        const std::string png = PngBytes(folder_ / "scratch.png");
        WriteFileBytes(folder_ / "graphics/bg/night/sky.png", png);
        WriteFileBytes(folder_ / "graphics/char/ren.png", png);
        WriteFileBytes(folder_ / ("graphics/picture/" + Cp932("ソ.png")), png);  // trail byte 0x5C
        WriteFileBytes(folder_ / ("graphics/picture/" + Cp932("ア.png")), png);  // trail byte 'A'
        WriteFileBytes(folder_ / "graphics/picture/表情/笑顔.PNG", png);         // UTF-8 names
        WriteFileBytes(folder_ / "GameData.pac",
                       testing::PackedArchive({{"Graphics/Picture/packed.png", png}}));
        WriteFileBytes(folder_ / "OPTION.INI", "MESSAGE_SPEED=5\r\n");
        WriteScript(folder_ / "script/initialize.txt", "");
        WriteScript(folder_ / "script/script.txt",
                    "Background.Set(\"NIGHT\\SKY.PNG\", \"cut\", 0)\n"
                    "Character.SetGraph(0, \"Ren.png\", \"cut\", 0, 0, 0)\n"
                    "Picture.Load(0, \"ソ.png\")\n"
                    "Picture.Load(1, \"ア.PNG\")\n"
                    "Picture.Load(2, \"ヂ.png\")\n"
                    "Picture.Load(3, \"表情\\笑顔.png\")\n"
                    "Picture.Load(4, \"packed.png\")\n"
                    "Picture.Load(5, \"PACKED.png\")\n"
                    "CallSub(more, \"SUB.TXT\")\n"
                    "WaitOK\n");
        WriteScript(folder_ / "script/sub.txt", "*more\nPicture.Load(6, \"..\\Char\\REN.png\")\nReturn\n");
    }

    bool Loaded(const std::string& utf8Name) {
        return harness_->game().textureStore().GetTexture(Cp932(utf8Name)) != nullptr;
    }

    TempFolder folder_;
    std::unique_ptr<GameHarness> harness_;
};

TEST_F(WindowsMadeGameTest, EveryPictureIsFoundAndTheArchiveStaysExact) {
    harness_ = std::make_unique<GameHarness>(folder_.path());
    ASSERT_TRUE(harness_->initialized());
    StartNewGame(harness_->game().variables(), 1, harness_->game().sceneRequests());
    harness_->Frames(3);
    ASSERT_EQ(harness_->game().currentSceneName(), "Main");
    EXPECT_EQ(harness_->game().settings().messageSpeed, 5);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "option.ini"));

    EXPECT_TRUE(Loaded("Graphics/BG/NIGHT\\SKY.PNG"));
    EXPECT_TRUE(Loaded("Graphics/Char/Ren.png"));
    EXPECT_TRUE(Loaded("Graphics/Picture/ソ.png"));
    EXPECT_TRUE(Loaded("Graphics/Picture/ア.PNG"));
    EXPECT_FALSE(Loaded("Graphics/Picture/ヂ.png"));  // its trail byte is 'a', not 'A'
    EXPECT_TRUE(Loaded("Graphics/Picture/表情\\笑顔.png"));
    EXPECT_TRUE(Loaded("Graphics/Picture/packed.png"));
    EXPECT_FALSE(Loaded("Graphics/Picture/PACKED.png"));
    EXPECT_TRUE(Loaded("Graphics/Picture/..\\Char\\REN.png"))
        << "the sub-script was read from script/sub.txt";
}

}  // namespace
}  // namespace zepa
