#include "app/FontRegistration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/GlyphSource.h"
#include "support/EngineProcess.h"

namespace zepa {
namespace {

class RecordingGlyphSource : public IGlyphSource {
  public:
    std::shared_ptr<IFont> OpenFont(const std::string&, int) override { return nullptr; }
    bool RegisterFontFile(const std::string& path) override {
        registered.push_back(std::filesystem::path(path).filename().string());
        return path.find("broken") == std::string::npos;
    }
    std::vector<std::string> registered;
};

TEST(FontRegistration, TrueTypeFilesThenCollectionsExtensionsWithoutCase) {
    test::TempDir dir;
    for (const char* name : {"b.ttc", "a.TTF", "notes.txt", "broken.ttf", "c.ttf"})
        dir.Write(std::string("Parts/") + name, "x");
    std::filesystem::create_directories(dir.path() / "Parts" / "folder.ttf");
    RecordingGlyphSource glyphs;
    const int count = RegisterGameFonts(glyphs, dir / "Parts");
    EXPECT_EQ(count, 3);  // the broken one is offered but not counted
    ASSERT_EQ(glyphs.registered.size(), 4u);
    EXPECT_EQ(glyphs.registered.back(), "b.ttc");  // collections come after every .ttf
}

TEST(FontRegistration, AMissingFolderRegistersNothing) {
    RecordingGlyphSource glyphs;
    EXPECT_EQ(RegisterGameFonts(glyphs, "/nonexistent/Parts"), 0);
    EXPECT_TRUE(glyphs.registered.empty());
}

}  // namespace
}  // namespace zepa
