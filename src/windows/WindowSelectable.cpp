#include "windows/WindowSelectable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioChannels.h"
#include "gfx/Matrix.h"
#include "gfx/SpriteBatch.h"
#include "input/ButtonState.h"
#include "resources/TextureStore.h"

namespace zepa {
namespace {

constexpr int kArrowStrip = 17;
constexpr int kPageCanvasWidth = 128;
constexpr int kPageCanvasHeight = 16;
constexpr int kPageFontSize = 14;
constexpr int kBlinkPeriod = 60;
constexpr uint32_t kDisabledColor = 0x88888888u;
constexpr uint32_t kUnlitArrowColor = 0xFF888888u;
constexpr Rect kTopArrow{0, 0, 16, 16};
constexpr Rect kBottomArrow{0, 16, 16, 32};

// A true modulus: the result is in 0..count-1 for any value (count >= 1).
int32_t Wrap(int64_t value, int32_t count) {
    const int64_t r = value % count;
    return static_cast<int32_t>(r < 0 ? r + count : r);
}

const CTexture* StoredTexture(const CTextureStore* store, const char* name) {
    return store ? store->GetTexture(name) : nullptr;
}

}  // namespace

CWindowSelectable::CWindowSelectable(const WindowEnvironment& environment)
    : CWindowBase(environment), audio_(environment.audio) {}

CWindowSelectable::~CWindowSelectable() = default;

void CWindowSelectable::Open(const std::string& effectName, int32_t x, int32_t y, int32_t width,
                             int32_t height, int32_t margin, bool visible, bool skinVisible) {
    OpenBase(effectName, x, y, width, height, visible, skinVisible);
    margin_ = margin;
    if (CTextureStore* store = environment_.textures) {
        if (!store->GetTexture(kCursorFile)) store->LoadTextureFile(kCursorFile);
        if (!store->GetTexture(kArrowFile)) store->LoadTextureFile(kArrowFile);
    }
    blinkCounter_ = 0;
    cursorAlpha_ = 64;
    textStore_.ReleaseCanvas(kPageCanvas);
    pageTexture_ = textStore_.CreateCanvas(kPageCanvas, kPageCanvasWidth, kPageCanvasHeight)
                       ? textStore_.GetCanvasTexture(kPageCanvas)
                       : nullptr;
    pageShown_ = -1;
    // 64-bit: a margin near the integer limits must not overflow.
    const int64_t inner = static_cast<int64_t>(height_) - 2 * static_cast<int64_t>(margin_);
    itemsPerPage_ =
        static_cast<int32_t>(std::clamp<int64_t>(columns_ * (inner / rowHeight_), INT32_MIN, INT32_MAX));
}

void CWindowSelectable::Close() {
    open_ = false;
    if (description_) description_->Close();
}

void CWindowSelectable::ContentsNum(int32_t count) {
    count = std::clamp(count, 0, kMaxItems);
    itemCount_ = count;
    for (size_t i = 0; i < itemTextures_.size(); ++i) textStore_.ReleaseCanvas(static_cast<int>(i));
    itemTextures_.assign(count, nullptr);
    itemCells_.assign(count, Rect{});
    enabled_.assign(count, 0);
    descriptions_.assign(count, std::string());
    itemsAllocated_ = true;
}

void CWindowSelectable::SetColumn(int32_t columns) {
    if (columns < 1) return;
    columns_ = columns;
    itemsPerPage_ = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(columns_) * (height_ / rowHeight_), INT32_MAX));
}

void CWindowSelectable::ContentsHeight(int32_t rowHeight) {
    if (rowHeight < 1) return;
    rowHeight_ = rowHeight;
    itemsPerPage_ = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(columns_) * (height_ / rowHeight_), INT32_MAX));
}

int32_t CWindowSelectable::ColumnWidth() const {
    return (width_ - 2 * margin_) / columns_;
}

void CWindowSelectable::SetContents(int32_t index, const std::string& text, bool enabled) {
    if (!HasItem(index)) return;
    textStore_.ReleaseCanvas(index);
    itemTextures_[index] = nullptr;
    enabled_[index] = enabled;
    if (!textStore_.CreateCanvas(index, width_ / columns_, rowHeight_)) return;
    TextCanvas* canvas = textStore_.Current();
    ApplyTextStyle(*canvas);
    if (textStore_.BeginFont(index, fontFace_, fontSize_)) {
        textStore_.DrawStringAt(0, 0, text);
        textStore_.EndFont();
    }
    itemTextures_[index] = textStore_.GetCanvasTexture(index);
    itemCells_[index] = Rect{0, 0, std::max(ColumnWidth(), 0), rowHeight_};
}

void CWindowSelectable::SetContentsEnable(int32_t index, bool enabled) {
    if (HasItem(index)) enabled_[index] = enabled;
}

void CWindowSelectable::SetDescription(int32_t index, const std::string& text) {
    if (HasItem(index)) descriptions_[index] = text;
}

bool CWindowSelectable::itemEnabled(int32_t index) const {
    return HasItem(index) && enabled_[index];
}

bool CWindowSelectable::hasItemTexture(int32_t index) const {
    return HasItem(index) && itemTextures_[index];
}

void CWindowSelectable::Select(bool active) {
    if (active) {
        if (active_) return;
        active_ = true;
        cursor_ = 0;
        if (description_ && !descriptions_.empty()) description_->PrintText(descriptions_[0]);
    } else {
        active_ = false;
        cursor_ = -1;
        if (description_) description_->PrintText(std::string());
    }
}

void CWindowSelectable::OpenDescription(const std::string& effectName, int32_t x, int32_t y, int32_t width,
                                        int32_t height, bool visible, bool skinVisible) {
    description_ = std::make_unique<CWindowMessage>(environment_);
    description_->Open(effectName, x, y, width, height, visible, skinVisible);
    description_->SkinType(descriptionSkinType_);
}

void CWindowSelectable::SetDescriptionVisible(bool visible) {
    if (description_) description_->SetVisible(visible);
}

void CWindowSelectable::DescriptionSkinType(int32_t type) {
    descriptionSkinType_ = type;
    if (description_) description_->SkinType(type);
}

int32_t CWindowSelectable::pages() const {
    if (itemsPerPage_ < 1) return 1;
    return itemCount_ / itemsPerPage_ + (itemCount_ % itemsPerPage_ ? 1 : 0);
}

bool CWindowSelectable::TakeResult(int32_t& result) {
    if (!decided_) return false;
    decided_ = false;
    result = result_;
    return true;
}

bool CWindowSelectable::Update(const ButtonState& buttons) {
    CWindowBase::Update();
    if (animating_) {
        if (description_) description_->Update();
        return true;
    }
    if (active_) {
        if (buttons.pointerMode)
            HandlePointer(buttons);
        else
            HandleButtons(buttons);
    }
    Blink();
    RefreshPage();
    if (description_) description_->Update();
    return true;
}

void CWindowSelectable::HandlePointer(const ButtonState& buttons) {
    topArrowLit_ = false;
    bottomArrowLit_ = false;
    if (buttons.rightClick) {
        Cancel();
        return;
    }
    if (HandlePageArrows(buttons)) return;
    HandleItemHover(buttons);
}

// True when the mouse is in the arrow strip (the items underneath do not react then).
bool CWindowSelectable::HandlePageArrows(const ButtonState& buttons) {
    const int mx = buttons.mouseX;
    const int my = buttons.mouseY;
    if (pages() < 2 || mx < x_ + width_ - kArrowStrip || mx > x_ + width_) return false;
    const bool onTop = my >= y_ && my <= y_ + kArrowStrip;
    const bool onBottom = !onTop && my >= y_ + height_ - kArrowStrip && my <= y_ + height_;
    if (!onTop && !onBottom) return false;
    (onTop ? topArrowLit_ : bottomArrowLit_) = true;
    if (buttons.leftClick && itemCount_ >= 1) {
        const int64_t step = onTop ? itemsPerPage_ : -static_cast<int64_t>(itemsPerPage_);
        cursor_ = Wrap(static_cast<int64_t>(itemCount_) + cursor_ + step, itemCount_);
        ShowDescription(cursor_);
        PlaySound(cursorMoveSe_);
    }
    return true;
}

void CWindowSelectable::HandleItemHover(const ButtonState& buttons) {
    const int mx = buttons.mouseX;
    const int my = buttons.mouseY;
    if (mx < x_ + margin_ || mx > x_ + width_ - margin_ || my < y_ + margin_ || my >= y_ + height_ - margin_)
        return;
    const double columnWidth = static_cast<double>(width_ - 2 * margin_) / columns_;
    if (!(columnWidth > 0)) return;
    const int col = static_cast<int>(static_cast<double>(mx - margin_ - x_) / columnWidth);
    const int row = (my - margin_ - y_) / rowHeight_;
    const int64_t k = col + static_cast<int64_t>(row) * columns_;
    const int64_t index = k + static_cast<int64_t>(page_) * itemsPerPage_;
    if (k >= itemsPerPage_ || index >= itemCount_) return;
    if (index != cursor_) MoveCursorTo(static_cast<int32_t>(index));
    if (buttons.leftClick) {
        if (itemEnabled(cursor_))
            Decide();
        else
            PlaySound(cancelSe_);
    }
}

void CWindowSelectable::HandleButtons(const ButtonState& buttons) {
    if (itemCount_ >= 1) {
        int64_t target = cursor_;
        bool moved = true;
        if (buttons.pressed[kButtonUp])
            target -= columns_;
        else if (buttons.pressed[kButtonDown])
            target += columns_;
        else if (buttons.pressed[kButtonLeft])
            target -= 1;
        else if (buttons.pressed[kButtonRight])
            target += 1;
        else
            moved = false;
        if (moved) MoveCursorTo(Wrap(target, itemCount_));
    }
    if (buttons.pressed[kButtonOk]) {
        if (itemEnabled(cursor_))
            Decide();
        else
            PlaySound(cancelSe_);
    }
    if (buttons.pressed[kButtonCancel]) Cancel();
}

void CWindowSelectable::MoveCursorTo(int32_t index) {
    cursor_ = index;
    ShowDescription(index);
    PlaySound(cursorMoveSe_);
}

void CWindowSelectable::Decide() {
    decided_ = true;
    result_ = cursor_;
    PlaySound(selectSe_);
}

void CWindowSelectable::Cancel() {
    decided_ = true;
    result_ = -1;
    PlaySound(cancelSe_);
}

void CWindowSelectable::Blink() {
    ++blinkCounter_;
    if (blinkCounter_ < 0) blinkCounter_ = 0;  // a very long selection wraps instead of overflowing
    const int k = blinkCounter_ % kBlinkPeriod;
    cursorAlpha_ = static_cast<uint8_t>(k < kBlinkPeriod / 2 ? 64 + 5 * k : 64 + 5 * (kBlinkPeriod - k));
}

void CWindowSelectable::RefreshPage() {
    page_ = cursor_ >= 0 && itemsPerPage_ >= 1 ? cursor_ / itemsPerPage_ : 0;
    if (pageTexture_ && page_ != pageShown_) {
        RedrawPageIndicator();
        pageShown_ = page_;
    }
}

std::string CWindowSelectable::PageIndicatorText(int32_t page) const {
    const int32_t count = pages();
    if (count < 2) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%d / %d", page + 1, count);
    return text;
}

void CWindowSelectable::RedrawPageIndicator() {
    if (!textStore_.SelectCanvas(kPageCanvas)) return;
    textStore_.ClearCanvas();
    if (!textStore_.BeginFont(kPageCanvas, fontFace_, kPageFontSize)) return;
    TextCanvas* canvas = textStore_.Current();
    canvas->antialiased = true;
    canvas->textAlpha = 255;
    canvas->textColor = 0xFFFFFF;
    canvas->shaded = true;
    canvas->shadeColor = 0;
    textStore_.DrawStringAt(0, 0, PageIndicatorText(page_));
    textStore_.EndFont();
}

void CWindowSelectable::ShowDescription(int32_t index) {
    if (description_ && HasItem(index)) description_->PrintText(descriptions_[index]);
}

void CWindowSelectable::PlaySound(const std::string& path) const {
    if (path.empty()) return;
    if (soundSink_)
        soundSink_(path);
    else if (audio_)
        audio_->PlaySE(path);
}

bool CWindowSelectable::Draw(CSpriteBatch& batch) {
    if (visible_ && open_) DrawFrame(batch);
    if (animating_ || !visible_ || !open_ || !itemsAllocated_) return true;
    if (description_) description_->Draw(batch);
    DrawItems(batch);
    DrawCursor(batch);
    DrawPaging(batch);
    return true;
}

void CWindowSelectable::DrawItems(CSpriteBatch& batch) const {
    const int columnWidth = ColumnWidth();
    for (int32_t k = 0; k < itemsPerPage_; ++k) {
        const int64_t index = static_cast<int64_t>(page_) * itemsPerPage_ + k;
        if (index >= itemCount_) break;
        const CTexture* texture = itemTextures_[index];
        if (!texture) continue;
        const Vector3 position{static_cast<float>(x_ + margin_ + (k % columns_) * columnWidth),
                               static_cast<float>(y_ + margin_ + (k / columns_) * rowHeight_), 0};
        batch.Draw(texture, &itemCells_[index], &position, enabled_[index] ? 0xFFFFFFFFu : kDisabledColor);
    }
}

void CWindowSelectable::DrawCursor(CSpriteBatch& batch) const {
    if (!HasItem(cursor_) || itemsPerPage_ < 1) return;
    const Rect& cell = itemCells_[cursor_];
    if (cell.Width() <= 0 || cell.Height() <= 0) return;
    const CTexture* texture = StoredTexture(environment_.textures, kCursorFile);
    if (!texture) return;
    const int k = cursor_ - page_ * itemsPerPage_;
    const float cellX = static_cast<float>(x_ + margin_ + (k % columns_) * ColumnWidth());
    const float cellY = static_cast<float>(y_ + margin_ + (k / columns_) * rowHeight_);
    const float sx = static_cast<float>(cell.Width()) / kCursorImageSize;
    const float sy = static_cast<float>(cell.Height()) / kCursorImageSize;
    batch.SetTransform(MatrixScaling(sx, sy, 1.0f));
    const Vector3 position{cellX / sx, cellY / sy, 0};
    batch.Draw(texture, nullptr, &position, static_cast<uint32_t>(cursorAlpha_) << 24 | 0xFFFFFFu);
    batch.SetTransform(MatrixIdentity());
}

void CWindowSelectable::DrawPaging(CSpriteBatch& batch) const {
    if (pages() < 2) return;
    if (pageTexture_) {
        const Vector3 position{static_cast<float>(x_ + 10), static_cast<float>(y_ + height_ - kArrowStrip),
                               0};
        batch.Draw(pageTexture_, nullptr, &position, 0xFFFFFFFFu);
    }
    const CTexture* arrows = StoredTexture(environment_.textures, kArrowFile);
    if (!arrows) return;
    const float arrowX = static_cast<float>(x_ + width_ - kArrowStrip);
    const Vector3 top{arrowX, static_cast<float>(y_ + 1), 0};
    const Vector3 bottom{arrowX, static_cast<float>(y_ + height_ - kArrowStrip), 0};
    batch.Draw(arrows, &kTopArrow, &top, topArrowLit_ ? 0xFFFFFFFFu : kUnlitArrowColor);
    batch.Draw(arrows, &kBottomArrow, &bottom, bottomArrowLit_ ? 0xFFFFFFFFu : kUnlitArrowColor);
}

}  // namespace zepa
