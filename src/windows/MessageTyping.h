// The typing machinery of message windows: the pending text read byte by byte, the typing speed
// and how one frame's step of characters is gathered.
#pragma once

#include <cstdint>
#include <string>

namespace zepa {

// Characters typed per frame by every message window unless the player chose another speed.
inline constexpr int kDefaultMessageSpeed = 2;

// Text waiting to be typed; the read position marks how far typing has got.
class CPendingText {
  public:
    void Replace(const std::string& text) {
        text_ = text;
        position_ = 0;
    }
    void Append(const std::string& text) { text_ += text; }
    // The next byte 0..255, or -1 when the text is exhausted.
    int Read() { return position_ < text_.size() ? static_cast<uint8_t>(text_[position_++]) : -1; }
    size_t position() const { return position_; }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
    size_t position_ = 0;
};

struct TypingStep {
    std::string text;          // bytes to draw this frame (may be empty)
    bool streamEnded = false;  // the pending text ran out during the step
};

// Gathers one frame's characters, starting with `first` (already read). A double-byte character
// counts once; a lead byte with nothing after it is dropped. A byte 0xFF (never valid Shift-JIS)
// ends the step and discards what it gathered, so corrupt text cannot reach the rasteriser as a
// bogus code; typing goes on after it next frame.
TypingStep GatherTypingStep(int first, CPendingText& pending, int charactersPerFrame);

}  // namespace zepa
