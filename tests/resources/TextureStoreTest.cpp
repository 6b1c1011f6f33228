// The texture store over real files: loose files and a GameData.pac archive in a scratch game
// folder that becomes the working directory.
#include "resources/TextureStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "../gfx/ImageTestFiles.h"
#include "platform/Cp932.h"
#include "resources/PackArchive.h"
#include "support/TestServices.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> SolidPng(uint32_t color) {
    return testing::EncodePng(std::vector<uint32_t>(4, color), 2, 2);
}

class TextureStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ =
            fs::temp_directory_path() /
            ("zepa-store-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    static void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        if (fs::path(name).has_parent_path()) fs::create_directories(fs::path(name).parent_path());
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    // GameData.pac with the given entries.
    static void WriteArchive(const std::map<std::string, std::vector<uint8_t>>& entries) {
        std::vector<uint8_t> bytes;
        auto put32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        put32(static_cast<uint32_t>(entries.size()));
        uint32_t offset = static_cast<uint32_t>(4 + entries.size() * CPackArchive::kEntrySize);
        for (const auto& [name, data] : entries) {
            std::string field = name;
            field.resize(CPackArchive::kNameSize, '\0');
            bytes.insert(bytes.end(), field.begin(), field.end());
            put32(static_cast<uint32_t>(data.size()));
            put32(offset);
            offset += static_cast<uint32_t>(data.size());
        }
        for (const auto& entry : entries) bytes.insert(bytes.end(), entry.second.begin(), entry.second.end());
        WriteFile("GameData.pac", bytes);
    }

    fs::path previous_;
    fs::path folder_;
};

TEST_F(TextureStoreTest, SecondLoadFailsAndKeepsTheFirstTexture) {
    WriteFile("Graphics/Picture/a.png", SolidPng(0xFFFF0000u));
    CPackArchive archive;
    CTextureStore store(&archive, testing::TestLog());
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Picture/a.png"));
    CTexture* first = store.GetTexture("Graphics/Picture/a.png");
    ASSERT_NE(first, nullptr);
    WriteFile("Graphics/Picture/a.png", SolidPng(0xFF0000FFu));
    EXPECT_FALSE(store.LoadTextureFile("Graphics/Picture/a.png"));
    EXPECT_EQ(store.GetTexture("Graphics/Picture/a.png"), first);
    EXPECT_EQ(first->TexelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(store.GetTexture("graphics/picture/a.png"), nullptr);  // names are case-sensitive
}

TEST_F(TextureStoreTest, LooseFileWinsOverTheArchiveWhichServesTheRest) {
    WriteFile("Graphics/BG/both.png", SolidPng(0xFF00FF00u));
    WriteArchive(
        {{"Graphics/BG/both.png", SolidPng(0xFF0000FFu)}, {"Graphics/BG/packed.png", SolidPng(0xFF123456u)}});
    CPackArchive archive;
    CTextureStore store(&archive, testing::TestLog());
    StageImage background;
    background.name = "Graphics/BG/both.png";
    background.format = D3DFMT_R8G8B8;
    EXPECT_TRUE(store.LoadTexture(background));
    // No key: opaque green stays green.
    EXPECT_EQ(store.GetTexture(background.name)->TexelAt(0, 0), 0xFF00FF00u);
    EXPECT_TRUE(store.LoadTextureFile("Graphics/BG/packed.png"));
    EXPECT_EQ(store.GetTexture("Graphics/BG/packed.png")->TexelAt(1, 1), 0xFF123456u);
}

TEST_F(TextureStoreTest, PictureLoadsMakeOpaqueGreenTransparent) {
    WriteFile("Graphics/Picture/key.png", testing::EncodePng({0xFF00FF00u, 0xFF00FE00u}, 2, 1));
    CTextureStore store(nullptr, testing::TestLog());
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Picture/key.png"));
    EXPECT_EQ(store.GetTexture("Graphics/Picture/key.png")->TexelAt(0, 0), 0u);
    EXPECT_EQ(store.GetTexture("Graphics/Picture/key.png")->TexelAt(1, 0), 0xFF00FE00u);
}

TEST_F(TextureStoreTest, MissingEverywhereSucceedsWithNothingStored) {
    CPackArchive archive;  // no GameData.pac at all
    CTextureStore store(&archive, testing::TestLog());
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Picture/none.png"));
    EXPECT_EQ(store.size(), 0u);
    EXPECT_EQ(store.GetTexture("Graphics/Picture/none.png"), nullptr);
}

TEST_F(TextureStoreTest, UndecodableImagesFailWithNothingStored) {
    const std::vector<uint8_t> junk{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    WriteFile("Graphics/Picture/broken.png", junk);
    WriteFile("Graphics/Picture/fixed.png", junk);
    WriteArchive(
        {{"Graphics/Picture/packed.png", junk}, {"Graphics/Picture/fixed.png", SolidPng(0xFF445566u)}});
    CPackArchive archive;
    CTextureStore store(&archive, testing::TestLog());
    EXPECT_FALSE(store.LoadTextureFile("Graphics/Picture/packed.png"));
    EXPECT_FALSE(store.LoadTextureFile("Graphics/Picture/broken.png"));
    // A broken loose file falls back to a good archive entry.
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Picture/fixed.png"));
    EXPECT_EQ(store.GetTexture("Graphics/Picture/fixed.png")->TexelAt(0, 0), 0xFF445566u);
    EXPECT_EQ(store.size(), 1u);
}

TEST_F(TextureStoreTest, ReleaseRemovesTheNameForEveryone) {
    WriteFile("Graphics/Char/a.png", SolidPng(0xFF010203u));
    CTextureStore store(nullptr, testing::TestLog());
    ASSERT_TRUE(store.LoadTextureFile("Graphics/Char/a.png"));
    EXPECT_TRUE(store.ReleaseTexture("Graphics/Char/a.png"));
    EXPECT_EQ(store.GetTexture("Graphics/Char/a.png"), nullptr);
    EXPECT_FALSE(store.ReleaseTexture("Graphics/Char/a.png"));
    EXPECT_TRUE(store.LoadTextureFile("Graphics/Char/a.png"));  // loadable again
    store.ReleaseAllTextures();
    EXPECT_EQ(store.size(), 0u);
}

TEST_F(TextureStoreTest, SystemGraphicsPreloadLooseThenArchiveWithLooseVersionsWinning) {
    WriteFile("Graphics/System/WindowBase.png", SolidPng(0xFF111111u));
    WriteFile("Graphics/System/Cursor.png", SolidPng(0xFF222222u));
    WriteFile("Graphics/System/notes.txt", {'h', 'i'});
    fs::create_directories("Graphics/System/Sub");
    WriteArchive({{"Graphics/System/Cursor.png", SolidPng(0xFF333333u)},
                  {"Graphics/System/Packed.png", SolidPng(0xFF444444u)},
                  {"Graphics/Picture/Other.png", SolidPng(0xFF555555u)}});
    CPackArchive archive;
    CTextureStore store(&archive, testing::TestLog());
    store.LoadSystemGraphics();
    std::vector<std::string> names;
    for (const auto& entry : store.textures()) names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Graphics/System/Cursor.png", "Graphics/System/Packed.png",
                                               "Graphics/System/WindowBase.png"}));
    EXPECT_EQ(store.GetTexture("Graphics/System/Cursor.png")->TexelAt(0, 0), 0xFF222222u);
}

TEST_F(TextureStoreTest, SystemGraphicsNamedInUtf8AreKeptUnderTheirCp932Names) {
    // A game unpacked on Linux has UTF-8 file names; the windows ask for the CP932 name.
    WriteFile("Graphics/System/カーソルベース.png", SolidPng(0xFF666666u));
    CTextureStore store(nullptr, testing::TestLog());
    store.LoadSystemGraphics();
    ASSERT_EQ(store.size(), 1u);
    const CTexture* cursor = store.GetTexture(Cp932("Graphics/System/カーソルベース.png"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->TexelAt(0, 0), 0xFF666666u);
    EXPECT_FALSE(store.LoadTextureFile(Cp932("Graphics/System/カーソルベース.png")));  // already there
}

TEST_F(TextureStoreTest, SystemGraphicsWithoutTheFolderComeFromTheArchiveOnly) {
    WriteArchive({{"Graphics/System/Packed.png", SolidPng(0xFF444444u)}});
    CPackArchive archive;
    CTextureStore store(&archive, testing::TestLog());
    store.LoadSystemGraphics();
    EXPECT_EQ(store.size(), 1u);
    EXPECT_NE(store.GetTexture("Graphics/System/Packed.png"), nullptr);
}

}  // namespace
}  // namespace zepa
