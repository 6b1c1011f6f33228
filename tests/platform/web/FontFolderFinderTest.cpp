// The browser's font finder over the IPA fonts must pick the files fontconfig picks on the desktop
// for the same names, so that text is drawn with the same glyphs.
#include "platform/web/FontFolderFinder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace zepa {
namespace {

namespace fs = std::filesystem;

class FontFolderFinderTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("zepa-fonts-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        for (const char* font : {"ipafont-gothic/ipag.ttf", "ipafont-gothic/ipagp.ttf",
                                 "ipafont-mincho/ipam.ttf", "ipafont-mincho/ipamp.ttf"}) {
            const fs::path file = fs::path("/usr/share/fonts/opentype") / font;
            if (!fs::exists(file)) GTEST_SKIP() << file << " is not installed";
            fs::copy_file(file, folder_ / file.filename());
        }
        std::ofstream(folder_ / "not-a-font.ttf") << "not a font";
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

TEST_F(FontFolderFinderTest, FindsTheFilesFontconfigFindsForTheSameNames) {
    CFontFolderFinder web(folder_.string());
    auto desktop = CreateFontFinder();
    for (const char* family : {"IPAGothic", "IPAPGothic", "IPAMincho", "IPAPMincho", "ipapmincho",
                               "IPAゴシック", "IPA P明朝", "", "No Such Face 12345"}) {
        const FontLocation found = web.Match(family);
        const FontLocation expected = desktop->Match(family);
        // fontconfig may name a file through the system's alternatives links.
        EXPECT_EQ(fs::path(found.file).filename(), fs::canonical(expected.file).filename()) << family;
        EXPECT_EQ(found.family, expected.family) << family;
        EXPECT_EQ(found.index, expected.index) << family;
    }
}

TEST_F(FontFolderFinderTest, AGameFontAddedLaterIsFoundByItsName) {
    const fs::path other = folder_ / "later";
    fs::create_directories(other);
    fs::rename(folder_ / "ipamp.ttf", other / "game-font.ttf");
    CFontFolderFinder web(folder_.string());
    EXPECT_EQ(web.Match("IPAPMincho").family, "IPAGothic");
    EXPECT_TRUE(web.AddFile((other / "game-font.ttf").string()));
    EXPECT_EQ(fs::path(web.Match("IPAPMincho").file).filename(), "game-font.ttf");
    EXPECT_FALSE(web.AddFile((folder_ / "not-a-font.ttf").string()));
    EXPECT_FALSE(web.AddFile((folder_ / "missing.ttf").string()));
}

}  // namespace
}  // namespace zepa
