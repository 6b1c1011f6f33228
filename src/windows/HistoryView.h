// The message history view: a full-screen window over the dimmed game, framed with the game's
// window skin, listing the kept messages with the engine's text drawing, newest at the bottom.
// It scrolls by whole entries: the view shows the entry it is scrolled to at the bottom and as
// many older ones above it as fit; the oldest page starts with the oldest entry at the top.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/Texture.h"
#include "windows/MessageHistory.h"
#include "windows/WindowBase.h"

namespace zepa {

class CHistoryView : public CWindowBase {
  public:
    // The frame, the text area inside it, the text's size and the space between entries.
    static constexpr int kFrameLeft = 16;
    static constexpr int kFrameTop = 16;
    static constexpr int kFrameWidth = 608;
    static constexpr int kFrameHeight = 448;
    static constexpr int kTextLeft = kFrameLeft + 20;
    static constexpr int kTextTop = kFrameTop + 18;
    static constexpr int kTextWidth = kFrameWidth - 40;
    static constexpr int kTextHeight = kFrameHeight - 36;
    static constexpr int kFontSize = 20;
    static constexpr int kLineHeight = 24;
    static constexpr int kEntryGap = 12;
    // The game under the view: black at this alpha.
    static constexpr uint8_t kDimAlpha = 0xA0;

    // Both must outlive the view.
    CHistoryView(const WindowEnvironment& environment, const CMessageHistory& history);
    ~CHistoryView() override;

    // Opens at the newest entry, framed with the skin drawn as `skinType`; nothing happens while
    // the history is empty.
    void Open(int32_t skinType);
    void Close();

    // Towards older entries, stopping at the oldest page.
    void ScrollOlder(int entries);
    // Towards newer entries; false (nothing changes) when the newest is already at the bottom.
    bool ScrollNewer(int entries);
    // A page: the entry above the top one comes to the bottom (at most up to the oldest page).
    void PageOlder();
    // A page: the entry below the bottom one comes to the top; false at the newest.
    bool PageNewer();

    // The entries shown, as indexes into the history (oldest 0); -1 while closed.
    int32_t bottomEntry() const { return isOpen() ? bottom_ : -1; }
    int32_t topEntry() const { return isOpen() ? top_ : -1; }

    bool Draw(CSpriteBatch& batch) override;

    // An entry's height in the view: its lines, at most the text area's height.
    static int EntryHeight(const std::string& text);

  private:
    static constexpr int kTextCanvas = 0;
    static constexpr int kOlderMark = 1;
    static constexpr int kNewerMark = 2;

    int32_t last() const { return static_cast<int32_t>(history_.size()) - 1; }
    // The lowest entry that may be at the bottom: the last of the oldest page.
    int32_t OldestBottom() const;
    // The top entry of the page whose bottom is `bottom`.
    int32_t TopFor(int32_t bottom) const;
    void ScrollTo(int32_t bottom);
    void RenderPage();
    void RenderMark(int key, const char* textCp932);
    void DrawDim(CSpriteBatch& batch) const;

    const CMessageHistory& history_;
    std::unique_ptr<CTexture> dim_;
    CTexture* pageTexture_ = nullptr;
    int32_t bottom_ = 0;
    int32_t top_ = 0;
};

}  // namespace zepa
