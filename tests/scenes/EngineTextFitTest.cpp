// The engine's own scenes were laid out for the Windows face: each of their texts must end inside
// the part of its canvas that is shown, with the default face at its default size.
#include <gtest/gtest.h>

#include <string>

#include "scenes/SceneKeyConfig.h"
#include "scenes/SceneOption.h"
#include "scenes/SceneTitle.h"
#include "support/TestServices.h"
#include "text/TextCanvasStore.h"
#include "windows/WindowBase.h"

namespace zepa {
namespace {

constexpr int kDefaultFontSize = 24;

// Where the pen stands after the text: the last glyph's ink ends two pixels before it (one before
// it with the shade).
int PenAfter(const std::string& text) {
    CTextCanvasStore store(testing::SharedGlyphs());
    EXPECT_TRUE(store.CreateCanvas(0, 512, 32));
    EXPECT_TRUE(store.BeginFont(0, DefaultWindowFontFace(), kDefaultFontSize));
    store.DrawString(text);
    const int pen = store.Current()->penX;
    store.EndFont();
    return pen;
}

TEST(EngineTextFit, TitleOptionAndKeyConfigTextsEndInsideTheirShownWidth) {
    // The title menu: 160 pixels wide with a margin of 16 on each side, one column.
    for (const std::string& item : CSceneTitle::MenuItemTexts()) EXPECT_LE(PenAfter(item), 128) << item;
    // The option menu: 320 pixels wide, margin 16.
    for (const char* item : CSceneOption::MenuItemTexts()) EXPECT_LE(PenAfter(item), 288) << item;
    for (const CSceneKeyConfig::Label& label : CSceneKeyConfig::Labels())
        EXPECT_LE(PenAfter(label.text), label.right) << label.text;
}

}  // namespace
}  // namespace zepa
