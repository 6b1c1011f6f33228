// The menu and choice window: a grid of text items (one pre-rendered canvas each) with a pulsing
// cursor, paging with a "%d / %d" indicator and two arrows, keyboard and mouse control, sound
// effects, and an optional description window showing the text of the item under the cursor.
// A selection runs while the window is active; the owner polls `decided` for the result.
#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <vector>

#include "windows/WindowMessage.h"

namespace zepa {

class CAudioChannels;

class CWindowSelectable : public CWindowBase {
  public:
    // What the state dump shows: open, active, cursor and the number of items.
    nlohmann::json DescribeState() const;

    static constexpr const char* kCursorFile =
        "Graphics/System/\x83\x4A\x81\x5B\x83\x5C\x83\x8B\x83\x78\x81\x5B\x83\x58.png";
    static constexpr const char* kArrowFile = "Graphics/System/Triangle1.png";
    static constexpr int kPageCanvas = -1;
    static constexpr int kCursorImageSize = 24;
    // Item arrays beyond this are refused (clamped): a script cannot make the engine allocate
    // without bound.
    static constexpr int32_t kMaxItems = 4096;

    // Sounds go to the environment's audio channels unless a sink is set.
    explicit CWindowSelectable(const WindowEnvironment& environment);
    ~CWindowSelectable() override;

    // Sends the window's sound effects somewhere else than the audio channels (menus that mix
    // their own sounds, tests that listen).
    using SoundSink = std::function<void(const std::string& path)>;
    void SetSoundSink(SoundSink sink) { soundSink_ = std::move(sink); }

    void Open(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
              int32_t margin, bool visible, bool skinVisible);
    void Close();

    void ContentsNum(int32_t count);
    void SetColumn(int32_t columns);
    void ContentsHeight(int32_t rowHeight);
    void SetContents(int32_t index, const std::string& text, bool enabled = true);
    void SetContentsEnable(int32_t index, bool enabled);
    void SetDescription(int32_t index, const std::string& text);
    void CursorMoveSeFile(const std::string& path) { cursorMoveSe_ = path; }
    void SelectSeFile(const std::string& path) { selectSe_ = path; }
    void CancelSeFile(const std::string& path) { cancelSe_ = path; }
    void Select(bool active);

    void OpenDescription(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
                         bool visible, bool skinVisible);
    void CloseDescription() { description_.reset(); }
    void SetDescriptionVisible(bool visible);
    void DescriptionSkinType(int32_t type);
    CWindowMessage* descriptionWindow() { return description_.get(); }

    // One frame: the opening animation, then, while a choice runs, this frame's input.
    bool Update(const ButtonState& buttons);
    bool Draw(CSpriteBatch& batch) override;

    // The owner's side of a decision: true once, with the item index or -1 for a cancel.
    bool TakeResult(int32_t& result);

    bool active() const { return active_; }
    int32_t cursor() const { return cursor_; }
    int32_t itemCount() const { return itemCount_; }
    int32_t columns() const { return columns_; }
    int32_t margin() const { return margin_; }
    int32_t itemsPerPage() const { return itemsPerPage_; }
    int32_t rowHeight() const { return rowHeight_; }
    int32_t page() const { return page_; }
    int32_t pageShown() const { return pageShown_; }
    int32_t pages() const;
    bool decided() const { return decided_; }
    int32_t result() const { return result_; }
    uint8_t cursorAlpha() const { return cursorAlpha_; }
    bool topArrowLit() const { return topArrowLit_; }
    bool bottomArrowLit() const { return bottomArrowLit_; }
    bool itemEnabled(int32_t index) const;
    bool hasItemTexture(int32_t index) const;
    // The text the page indicator shows for a page (empty with a single page).
    std::string PageIndicatorText(int32_t page) const;
    CTextCanvasStore& textStore() { return textStore_; }

  private:
    // The opening animation alone; a selection window is always updated with its input.
    using CWindowBase::Update;

    bool HasItem(int32_t index) const { return index >= 0 && index < static_cast<int32_t>(enabled_.size()); }
    int32_t ColumnWidth() const;
    void HandlePointer(const ButtonState& buttons);
    bool HandlePageArrows(const ButtonState& buttons);
    void HandleItemHover(const ButtonState& buttons);
    void HandleButtons(const ButtonState& buttons);
    void MoveCursorTo(int32_t index);
    void Decide();
    void Cancel();
    void Blink();
    void RefreshPage();
    void RedrawPageIndicator();
    void ShowDescription(int32_t index);
    void PlaySound(const std::string& path) const;
    void DrawItems(CSpriteBatch& batch) const;
    void DrawCursor(CSpriteBatch& batch) const;
    void DrawPaging(CSpriteBatch& batch) const;

    bool active_ = false;
    int32_t cursor_ = -1;
    int32_t itemCount_ = 1;
    int32_t columns_ = 1;
    int32_t margin_ = 16;
    int32_t itemsPerPage_ = 0;
    int32_t page_ = 0;
    int32_t pageShown_ = -1;
    int32_t rowHeight_ = 30;
    bool decided_ = false;
    int32_t result_ = -1;
    bool itemsAllocated_ = false;
    std::vector<CTexture*> itemTextures_;
    std::vector<Rect> itemCells_;
    std::vector<uint8_t> enabled_;
    std::vector<std::string> descriptions_;
    uint8_t cursorAlpha_ = 64;
    int32_t blinkCounter_ = 0;
    bool topArrowLit_ = false;
    bool bottomArrowLit_ = false;
    CTexture* pageTexture_ = nullptr;
    CAudioChannels* audio_;
    SoundSink soundSink_;
    std::string cursorMoveSe_;
    std::string selectSe_;
    std::string cancelSe_;
    std::unique_ptr<CWindowMessage> description_;
    int32_t descriptionSkinType_ = 0;
};

}  // namespace zepa
