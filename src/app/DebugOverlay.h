// The author's overlay (F3): what the script is doing, drawn with the engine's own text over the
// picture: each script level's file and the line it runs next, the wait state, the frame's update
// and draw times and the frame rate, and the variables set last with their values.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "text/TextCanvasStore.h"

namespace zepa {

class CSpriteBatch;
class CVariableStore;

// What the overlay shows of the frame machinery.
struct FrameTimes {
    double updateMs = 0;
    double drawMs = 0;
    double presentMs = 0;  // part of drawMs: handing the picture to the window
    double framesPerSecond = 0;
};

// The overlay's lines (UTF-8) from the scene's state description (the dump's fields "position",
// "script" and "selectWindows"; absent outside the main scene), the variables and the times.
std::vector<std::string> DescribeForOverlay(const nlohmann::json& sceneState, const CVariableStore& variables,
                                            const FrameTimes& times);

class CDebugOverlay {
  public:
    static constexpr int kFontSize = 16;
    static constexpr int kLineHeight = 18;
    static constexpr int kMaxLines = 24;

    explicit CDebugOverlay(IGlyphSource& glyphs);
    // Draws `lines` at the top-left corner over a dark backdrop; the text is drawn again only when
    // it changed.
    void Draw(CSpriteBatch& batch, const std::vector<std::string>& lines);

  private:
    void Render(const std::vector<std::string>& lines);

    CTextCanvasStore store_;
    std::vector<std::string> shownLines_;
    int shownWidth_ = 0;
    int shownHeight_ = 0;
};

}  // namespace zepa
