// The dialogue window: types its pending text into its text canvas (key 0) a few characters per
// frame at the player's message speed (from the window environment), continuing at the pen where
// the last frame stopped.
#pragma once

#include "windows/MessageTyping.h"
#include "windows/WindowBase.h"

namespace zepa {

class CWindowMessage : public CWindowBase {
  public:
    static constexpr int kTextCanvas = 0;

    explicit CWindowMessage(const WindowEnvironment& environment) : CWindowBase(environment) {}
    ~CWindowMessage() override = default;

    // False, with no change, when already open or when the text canvas cannot be created (the
    // window then stays closed).
    bool Open(const std::string& effectName, int32_t x, int32_t y, int32_t width, int32_t height,
              bool visible, bool skinVisible);
    // Releases the text canvas; the pending text and the typing flag stay.
    void Close();
    // Replaces the pending text and restarts on a cleared canvas at pen (0, 0).
    void PrintText(const std::string& text);
    // Appends to the pending text; typing continues where it left off.
    void AddText(const std::string& text);

    // Opening animation, then one typing step.
    bool Update() override;

    bool typing() const { return typing_; }
    // Characters typed into the canvas since the window was made (a double-byte one counts once).
    uint64_t typedCharacters() const { return typedCharacters_; }
    const CPendingText& pendingText() const { return pending_; }
    // The window's canvas store (tests read the canvas through it).
    CTextCanvasStore& textStore() { return textStore_; }

  private:
    void DrawStep(const std::string& text);

    CPendingText pending_;
    bool typing_ = false;
    uint64_t typedCharacters_ = 0;
};

}  // namespace zepa
