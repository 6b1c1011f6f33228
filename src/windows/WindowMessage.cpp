#include "windows/WindowMessage.h"

#include "platform/Cp932.h"

namespace zepa {
namespace {

// A typing step's characters: a lead byte and its trail byte are one.
uint64_t CountCp932Characters(const std::string& text) {
    uint64_t count = 0;
    for (size_t i = 0; i < text.size(); i += IsCp932LeadByte(static_cast<uint8_t>(text[i])) ? 2 : 1) ++count;
    return count;
}

}  // namespace

bool CWindowMessage::Open(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
                          bool visible, bool skinVisible) {
    if (open_) return false;
    OpenBase(effectName, x, y, width, height, visible, skinVisible);
    textStore_.ReleaseCanvas(kTextCanvas);
    if (!textStore_.CreateCanvas(kTextCanvas, width_, height_)) {
        // The shared skin stays as it is: one window's failure must not blank every frame.
        open_ = false;
        textTexture_ = nullptr;
        return false;
    }
    TextCanvas* canvas = textStore_.Current();
    ApplyTextStyle(*canvas);
    textTexture_ = textStore_.GetCanvasTexture(kTextCanvas);
    return true;
}

void CWindowMessage::Close() {
    if (textTexture_) {
        textStore_.ReleaseCanvas(kTextCanvas);
        textTexture_ = nullptr;
    }
    open_ = false;
}

void CWindowMessage::PrintText(const std::string& text) {
    pending_.Replace(text);
    if (textTexture_ && textStore_.SelectCanvas(kTextCanvas)) {
        textStore_.ClearCanvas();
        TextCanvas* canvas = textStore_.Current();
        canvas->penX = 0;
        canvas->penY = 0;
    }
    typing_ = true;
}

void CWindowMessage::AddText(const std::string& text) {
    pending_.Append(text);
    typing_ = true;
}

bool CWindowMessage::Update() {
    CWindowBase::Update();
    if (animating_ || !typing_) return true;
    const int first = pending_.Read();
    if (first < 0) {
        typing_ = false;
        return true;
    }
    if (!textTexture_) return true;  // closed: the byte is consumed without drawing
    const TypingStep step = GatherTypingStep(first, pending_, environment_.messageSpeed);
    if (step.streamEnded) typing_ = false;
    if (!step.text.empty()) {
        DrawStep(step.text);
        typedCharacters_ += CountCp932Characters(step.text);
    }
    return true;
}

// The face, size and colour are read at every step; the shade was fixed when the window opened.
void CWindowMessage::DrawStep(const std::string& text) {
    if (!textStore_.BeginFont(kTextCanvas, fontFace_, fontSize_)) return;
    TextCanvas* canvas = textStore_.Current();
    canvas->antialiased = true;
    canvas->textAlpha = static_cast<uint8_t>(textColor_ >> 24);
    canvas->textColor = textColor_ & 0xFFFFFFu;
    textStore_.DrawString(text);
    textStore_.EndFont();
}

}  // namespace zepa
