#include "windows/HistoryView.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "gfx/SpriteBatch.h"
#include "gfx/TextureFormat.h"

namespace zepa {
namespace {

// The dim layer is one strip of black drawn down the screen, so every draw is unscaled.
constexpr int kDimStripHeight = 16;
// The marks that say more entries lie above or below: "▲" and "▼" in CP932.
constexpr const char* kOlderMarkText = "\x81\xA3";
constexpr const char* kNewerMarkText = "\x81\xA5";
constexpr int kMarkSize = 16;
constexpr int kMarkLeft = CHistoryView::kFrameLeft + CHistoryView::kFrameWidth - 22;

// The lines of a text as the view draws them: split at line feeds, carriage returns dropped.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

}  // namespace

CHistoryView::CHistoryView(const WindowEnvironment& environment, const CMessageHistory& history)
    : CWindowBase(environment), history_(history) {}

CHistoryView::~CHistoryView() = default;

int CHistoryView::EntryHeight(const std::string& text) {
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    return std::min(lines * kLineHeight, kTextHeight);
}

void CHistoryView::Open(int32_t skinType) {
    if (history_.empty()) return;
    SkinType(skinType);
    OpenBase("flash", kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight, true, true);
    if (!dim_) {
        const std::vector<uint32_t> black(static_cast<size_t>(kScreenWidth) * kDimStripHeight, 0xFF000000u);
        dim_ = CTexture::CreateFromPixels(black.data(), kScreenWidth, kDimStripHeight, D3DFMT_A8R8G8B8);
    }
    textStore_.ReleaseAllCanvases();
    pageTexture_ = textStore_.CreateCanvas(kTextCanvas, kTextWidth, kTextHeight)
                       ? textStore_.GetCanvasTexture(kTextCanvas)
                       : nullptr;
    RenderMark(kOlderMark, kOlderMarkText);
    RenderMark(kNewerMark, kNewerMarkText);
    ScrollTo(last());
}

void CHistoryView::Close() {
    open_ = false;
    textStore_.ReleaseAllCanvases();
    pageTexture_ = nullptr;
    dim_.reset();
}

int32_t CHistoryView::TopFor(int32_t bottom) const {
    const auto& entries = history_.entries();
    int32_t top = bottom;
    int used = EntryHeight(entries[bottom].text);
    while (top > 0) {
        const int next = used + kEntryGap + EntryHeight(entries[top - 1].text);
        if (next > kTextHeight) break;
        used = next;
        --top;
    }
    return top;
}

int32_t CHistoryView::OldestBottom() const {
    const auto& entries = history_.entries();
    int32_t bottom = 0;
    int used = EntryHeight(entries[0].text);
    while (bottom < last()) {
        const int next = used + kEntryGap + EntryHeight(entries[bottom + 1].text);
        if (next > kTextHeight) break;
        used = next;
        ++bottom;
    }
    return bottom;
}

void CHistoryView::ScrollOlder(int entries) {
    if (!isOpen() || entries <= 0) return;
    ScrollTo(std::max(OldestBottom(), bottom_ - std::min(entries, bottom_)));
}

bool CHistoryView::ScrollNewer(int entries) {
    if (!isOpen() || bottom_ >= last()) return false;
    if (entries > 0) ScrollTo(std::min(last(), bottom_ + std::min(entries, last() - bottom_)));
    return true;
}

void CHistoryView::PageOlder() {
    if (!isOpen() || top_ == 0) return;
    ScrollTo(std::max(OldestBottom(), top_ - 1));
}

bool CHistoryView::PageNewer() {
    if (!isOpen() || bottom_ >= last()) return false;
    // The entry below comes to the top: the bottom is the last entry that still fits under it.
    const auto& entries = history_.entries();
    int32_t bottom = bottom_ + 1;
    int used = EntryHeight(entries[bottom].text);
    while (bottom < last()) {
        const int next = used + kEntryGap + EntryHeight(entries[bottom + 1].text);
        if (next > kTextHeight) break;
        used = next;
        ++bottom;
    }
    ScrollTo(bottom);
    return true;
}

void CHistoryView::ScrollTo(int32_t bottom) {
    bottom_ = std::clamp(bottom, 0, std::max(last(), 0));
    top_ = TopFor(bottom_);
    RenderPage();
}

// The shown entries into the page canvas, the bottom entry's last line at the bottom of the area.
void CHistoryView::RenderPage() {
    if (!pageTexture_ || !textStore_.SelectCanvas(kTextCanvas)) return;
    textStore_.ClearCanvas();
    ApplyTextStyle(*textStore_.Current());
    if (!textStore_.BeginFont(kTextCanvas, fontFace_, kFontSize)) return;
    const auto& entries = history_.entries();
    int y = kTextHeight;
    for (int32_t index = bottom_; index >= top_; --index) {
        const std::string& text = entries[index].text;
        const int height = EntryHeight(text);
        y -= height;
        // An entry taller than the area shows its first lines.
        int lineY = std::max(y, 0);
        for (const std::string& line : Lines(text)) {
            if (lineY + kLineHeight > kTextHeight) break;
            textStore_.DrawStringAt(0, lineY, line);
            lineY += kLineHeight;
        }
        y -= kEntryGap;
    }
    textStore_.EndFont();
}

void CHistoryView::RenderMark(int key, const char* textCp932) {
    if (!textStore_.CreateCanvas(key, kMarkSize, kMarkSize)) return;
    ApplyTextStyle(*textStore_.Current());
    if (!textStore_.BeginFont(key, fontFace_, kMarkSize - 2)) return;
    textStore_.DrawStringAt(0, 0, textCp932);
    textStore_.EndFont();
}

void CHistoryView::DrawDim(CSpriteBatch& batch) const {
    if (!dim_) return;
    const uint32_t color = static_cast<uint32_t>(kDimAlpha) << 24 | 0xFFFFFFu;
    for (int y = 0; y < kScreenHeight; y += kDimStripHeight) {
        const Vector3 position{0.0f, static_cast<float>(y), 0.0f};
        batch.Draw(dim_.get(), nullptr, &position, color);
    }
}

bool CHistoryView::Draw(CSpriteBatch& batch) {
    if (!isOpen()) return true;
    DrawDim(batch);
    DrawFrame(batch);
    if (pageTexture_) {
        // Cut to the text area: a line too long for it does not run over the frame.
        const Rect area{0, 0, kTextWidth, kTextHeight};
        const Vector3 position{static_cast<float>(kTextLeft), static_cast<float>(kTextTop), 0.0f};
        batch.Draw(pageTexture_, &area, &position, 0xFFFFFFFFu);
    }
    if (top_ > 0) {
        const Vector3 position{static_cast<float>(kMarkLeft), static_cast<float>(kFrameTop + 4), 0.0f};
        batch.Draw(textStore_.GetCanvasTexture(kOlderMark), nullptr, &position, 0xFFFFFFFFu);
    }
    if (bottom_ < last()) {
        const Vector3 position{static_cast<float>(kMarkLeft),
                               static_cast<float>(kFrameTop + kFrameHeight - kMarkSize - 4), 0.0f};
        batch.Draw(textStore_.GetCanvasTexture(kNewerMark), nullptr, &position, 0xFFFFFFFFu);
    }
    return true;
}

}  // namespace zepa
