#include "resources/ResourceFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Cp932.h"
#include "resources/ArchiveBytes.h"
#include "resources/PackArchive.h"
#include "support/TestFiles.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

using testing::PackedArchive;
using testing::ScopedWorkingDirectory;
using testing::TempFolder;
using testing::WriteFileBytes;

// Each test runs inside a fresh game folder holding an archive with a few entries.
class ResourceFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(folder_ / "GameData.pac",
                       PackedArchive({{"Script/Script.txt", std::string("packed\r\nline\0after nul", 22)},
                                      {"Graphics/BG/sky.png", "packed sky"},
                                      {Cp932("Graphics/BG/夕焼け.png"), "packed sunset"}}));
        archive_ = std::make_unique<CPackArchive>(folder_ / "GameData.pac");
        cwd_ = std::make_unique<ScopedWorkingDirectory>(folder_.path());
    }
    void TearDown() override { cwd_.reset(); }

    std::string Resource(const std::string& name, const CPackArchive* archive) {
        std::vector<uint8_t> bytes;
        if (!ReadResource(name, archive, bytes, testing::TestLog())) return "<none>";
        return std::string(bytes.begin(), bytes.end());
    }

    TempFolder folder_;
    std::unique_ptr<CPackArchive> archive_;
    std::unique_ptr<ScopedWorkingDirectory> cwd_;
};

TEST_F(ResourceFilesTest, LooseFileWinsOverTheArchive) {
    EXPECT_EQ(Resource("Graphics/BG/sky.png", archive_.get()), "packed sky");
    WriteFileBytes("Graphics/BG/sky.png", "loose sky");
    EXPECT_EQ(Resource("Graphics/BG/sky.png", archive_.get()), "loose sky");
    EXPECT_EQ(Resource("Graphics/BG/sky.png", nullptr), "loose sky");
    EXPECT_EQ(Resource("Graphics/BG/none.png", archive_.get()), "<none>");
    EXPECT_EQ(Resource("Graphics/BG/none.png", nullptr), "<none>");
}

TEST_F(ResourceFilesTest, LooseNamesIgnoreCaseButArchiveNamesDoNot) {
    EXPECT_EQ(Resource("graphics/bg/sky.png", archive_.get()), "<none>");
    WriteFileBytes("Graphics/BG/Sky.png", "loose Sky");
    EXPECT_EQ(Resource("Graphics/BG/sky.png", archive_.get()), "loose Sky");
    EXPECT_EQ(Resource("graphics\\bg\\SKY.png", archive_.get()), "loose Sky");
    std::filesystem::remove("Graphics/BG/Sky.png");
    EXPECT_EQ(Resource("Graphics\\BG\\sky.png", archive_.get()), "<none>");
}

TEST_F(ResourceFilesTest, CP932NameFindsALooseFileNamedInUtf8) {
    const std::string name = Cp932("Graphics/BG/夕焼け.png");
    ASSERT_NE(name, "Graphics/BG/夕焼け.png");
    EXPECT_EQ(Resource(name, archive_.get()), "packed sunset");
    WriteFileBytes("Graphics/BG/夕焼け.png", "utf-8 named");
    EXPECT_EQ(*FindLooseFile(name, testing::TestLog()), "Graphics/BG/夕焼け.png");
    EXPECT_EQ(Resource(name, archive_.get()), "utf-8 named");
    // A file under the CP932 bytes themselves comes first.
    WriteFileBytes(name, "cp932 named");
    EXPECT_EQ(Resource(name, archive_.get()), "cp932 named");
}

TEST_F(ResourceFilesTest, FolderListingGivesEntriesAsResourceNames) {
    WriteFileBytes("Graphics/立ち絵/笑顔.png", "utf-8 named");
    WriteFileBytes("Graphics/立ち絵/plain.png", "ascii");
    WriteFileBytes(Cp932("Graphics/立ち絵/泣き顔.png"), "cp932 named");  // folder and file in CP932
    std::vector<std::string> listed = ListLooseFolder(Cp932("Graphics/立ち絵/"));
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = {".", "..", Cp932("泣き顔.png"), Cp932("笑顔.png"), "plain.png"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    // Each listed name reads back the file it came from.
    EXPECT_EQ(Resource(Cp932("Graphics/立ち絵/笑顔.png"), nullptr), "utf-8 named");
    EXPECT_EQ(Resource(Cp932("Graphics/立ち絵/泣き顔.png"), nullptr), "cp932 named");

    // The two forms of the folder are one entry of their parent.
    listed = ListLooseFolder("Graphics");
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", Cp932("立ち絵")}));
    EXPECT_TRUE(ListLooseFolder("../..").empty());
    EXPECT_TRUE(ListLooseFolder("Graphics/none").empty());
}

TEST_F(ResourceFilesTest, FoldersAreNotLooseFiles) {
    std::filesystem::create_directories("Graphics/BG/sky.png");
    EXPECT_EQ(Resource("Graphics/BG/sky.png", archive_.get()), "packed sky");
}

TEST_F(ResourceFilesTest, NamesLeavingTheGameFolderAreRefusedWithAWarning) {
    WriteFileBytes(folder_ / "inside/secret.txt", "secret");
    ScopedWorkingDirectory inner(folder_ / "inside");  // the game folder is now "inside"
    for (const char* name : {"../GameData.pac", "/etc/passwd", "a/../../GameData.pac", "./../GameData.pac"}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Resource(name, nullptr), "<none>") << name;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("leaves the game folder"), std::string::npos)
            << name;
    }
    for (const char* name : {"secret.txt", "a/../secret.txt", "./secret.txt", "x/y/../../secret.txt"})
        EXPECT_EQ(Resource(name, nullptr), "secret") << name;
    EXPECT_FALSE(IsSafeResourceName(""));
    EXPECT_FALSE(IsSafeResourceName(std::string("a\0/../..", 8)));
}

TEST_F(ResourceFilesTest, LooseScriptTextTurnsCrLfIntoLf) {
    WriteFileBytes("Script/Script.txt", std::string("a\r\nb\rc\r\r\n\0d\r", 12));
    std::string text;
    ASSERT_TRUE(ReadScriptText("Script/Script.txt", archive_.get(), text, testing::TestLog()));
    EXPECT_EQ(text, std::string("a\nb\rc\r\n\0d\r", 10));
}

TEST_F(ResourceFilesTest, ArchiveScriptTextKeepsCrAndEndsAtNul) {
    std::string text = "stale";
    ASSERT_TRUE(ReadScriptText("Script/Script.txt", archive_.get(), text, testing::TestLog()));
    EXPECT_EQ(text, "packed\r\nline");
    EXPECT_FALSE(ReadScriptText("Script/None.txt", archive_.get(), text, testing::TestLog()));
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace zepa
