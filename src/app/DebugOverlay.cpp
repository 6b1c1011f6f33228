#include "app/DebugOverlay.h"

#include <algorithm>
#include <cstdio>

#include "gfx/SpriteBatch.h"
#include "platform/Cp932.h"
#include "script/VariableStore.h"
#include "windows/WindowBase.h"

namespace zepa {
namespace {

constexpr int kCanvasKey = 0;
constexpr int kCanvasWidth = 640;
constexpr int kCanvasHeight = CDebugOverlay::kMaxLines * CDebugOverlay::kLineHeight;
constexpr uint32_t kBackdrop = 0xB0000000u;
constexpr int kPadding = 4;
// Longer string values are cut, so one line stays one line.
constexpr size_t kShownStringBytes = 40;

// The engine's text in CP932; an ASCII space advances the pen by only a sixth of the font size,
// so the overlay spaces its words with the ideographic space (a quarter) instead. 0x20 is never a
// trail byte, so the bytes can be replaced one by one.
std::string OverlayText(const std::string& utf8) {
    std::string text;
    for (char byte : Cp932(utf8)) {
        if (byte == ' ') {
            text += "\x81\x40";
        } else {
            text += byte;
        }
    }
    return text;
}

std::string Format(const char* format, double a, double b, double c) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

void DescribePosition(const nlohmann::json& sceneState, std::vector<std::string>& lines) {
    const auto position = sceneState.find("position");
    if (position == sceneState.end() || !position->is_array()) {
        lines.push_back("no script runs in this scene");
        return;
    }
    int depth = 1;
    for (const nlohmann::json& level : *position) {
        lines.push_back(std::string(static_cast<size_t>(2 * (depth - 1)), ' ') + std::to_string(depth) +
                        ": " + level.value("file", std::string()) + " line " +
                        std::to_string(level.value("line", 0)));
        ++depth;
    }
}

std::string DescribeWait(const nlohmann::json& sceneState) {
    const auto selections = sceneState.find("selectWindows");
    if (selections != sceneState.end() && selections->is_array()) {
        for (size_t n = 0; n < selections->size(); ++n) {
            if ((*selections)[n].value("active", false))
                return "wait: choice open in select window " + std::to_string(n);
        }
    }
    const auto script = sceneState.find("script");
    if (script == sceneState.end() || !script->is_object()) return "wait: -";
    if (script->value("waitForOk", false)) return "wait: for OK";
    const int frames = script->value("waitCounter", 0);
    if (frames > 0) return "wait: " + std::to_string(frames) + " frames left";
    return "wait: none (running)";
}

std::string DescribeChange(const CVariableStore& variables, const CVariableStore::Change& change) {
    const std::string number = std::to_string(change.number);
    switch (change.kind) {
        case CVariableStore::Change::Kind::Int:
            return "$num[" + number + "] = " + std::to_string(variables.GetInt(change.number));
        case CVariableStore::Change::Kind::Flag:
            return "$flag[" + number + "] = " + (variables.GetFlag(change.number) ? "true" : "false");
        case CVariableStore::Change::Kind::String: {
            std::string value = variables.GetString(change.number);
            const bool cut = value.size() > kShownStringBytes;
            if (cut) value = CutCp932(value, kShownStringBytes);
            return "$str[" + number + "] = \"" + Cp932ToUtf8(value) + (cut ? "...\"" : "\"");
        }
    }
    return {};
}

}  // namespace

std::vector<std::string> DescribeForOverlay(const nlohmann::json& sceneState, const CVariableStore& variables,
                                            const FrameTimes& times) {
    std::vector<std::string> lines;
    DescribePosition(sceneState, lines);
    lines.push_back(DescribeWait(sceneState));
    lines.push_back(Format("update %.2f ms  draw %.2f ms  %.0f fps", times.updateMs, times.drawMs,
                           times.framesPerSecond));
    for (const CVariableStore::Change& change : variables.recentChanges())
        lines.push_back(DescribeChange(variables, change));
    return lines;
}

CDebugOverlay::CDebugOverlay(IGlyphSource& glyphs) : store_(glyphs) {
    store_.SetWideSpaceCode(0x8140);
}

void CDebugOverlay::Draw(CSpriteBatch& batch, const std::vector<std::string>& lines) {
    if (!store_.GetCanvasTexture(kCanvasKey) && !store_.CreateCanvas(kCanvasKey, kCanvasWidth, kCanvasHeight))
        return;
    if (lines != shownLines_) Render(lines);
    const Rect source{0, 0, shownWidth_, shownHeight_};
    const Vector3 position{0, 0, 0};
    batch.Draw(store_.GetCanvasTexture(kCanvasKey), &source, &position, 0xFFFFFFFFu);
}

void CDebugOverlay::Render(const std::vector<std::string>& lines) {
    shownLines_ = lines;
    const size_t count = std::min<size_t>(lines.size(), kMaxLines);
    store_.SelectCanvas(kCanvasKey);
    store_.ClearCanvas();
    TextCanvas& canvas = *store_.Current();
    // The backdrop first, so the text stays legible over any picture.
    shownHeight_ = static_cast<int>(count) * kLineHeight + kPadding;
    shownWidth_ = kCanvasWidth;
    uint32_t* texels = canvas.texture->Lock();
    for (int y = 0; y < shownHeight_ && y < canvas.texture->storedHeight(); ++y)
        std::fill_n(texels + static_cast<size_t>(y) * canvas.texture->pitch(),
                    std::min(shownWidth_, canvas.texture->storedWidth()), kBackdrop);
    canvas.texture->Unlock();
    canvas.textAlpha = 255;
    canvas.textColor = 0xFFFFFF;
    canvas.shaded = true;
    canvas.shadeColor = 0xFF000000u;
    if (!store_.BeginFont(kCanvasKey, DefaultWindowFontFace(), kFontSize)) return;
    // Only as much of the backdrop as the longest line needs is shown.
    int right = 0;
    for (size_t n = 0; n < count; ++n) {
        store_.DrawStringAt(kPadding, kPadding / 2 + static_cast<int>(n) * kLineHeight,
                            OverlayText(lines[n]));
        right = std::max(right, store_.Current()->penX);
    }
    store_.EndFont();
    shownWidth_ = std::min(right + kPadding, kCanvasWidth);
}

}  // namespace zepa
