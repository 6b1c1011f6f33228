// The main scene's windows: ten message windows and ten selection windows addressed 0..9 by the
// scripts, with the variable each selection window stores its result into, and the history of
// what the script had the message windows show.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>

#include "windows/MessageHistory.h"
#include "windows/WindowMessage.h"
#include "windows/WindowSelectable.h"

namespace zepa {

class CSpriteBatch;
struct ButtonState;

class CWindowSet {
  public:
    // What the state dump shows of the ten message windows and of the ten selection windows.
    nlohmann::json DescribeMessages() const;
    nlohmann::json DescribeSelections() const;

    static constexpr int kWindowCount = 10;

    explicit CWindowSet(const WindowEnvironment& environment);

    static bool ValidIndex(int32_t index) { return index >= 0 && index < kWindowCount; }
    CWindowMessage& message(int index) { return *message_[index]; }
    const CWindowMessage& message(int index) const { return *message_[index]; }
    CWindowSelectable& selection(int index) { return *selection_[index]; }
    const CWindowSelectable& selection(int index) const { return *selection_[index]; }

    // The script's PrintText and AddText: the window's text, kept in the history while the window
    // is open (a closed window shows nothing).
    void PrintText(int index, const std::string& text);
    void AddText(int index, const std::string& text);
    const CMessageHistory& history() const { return history_; }

    // Some message window has text still to type (or is still opening with text to type).
    bool AnyTyping() const;
    // The characters all message windows have typed so far.
    uint64_t TypedCharacters() const;

    // A choice is running in some selection window (the script waits meanwhile).
    bool AnySelectionActive() const;

    // Updates the selection windows in order with this frame's input; a decided choice is handed
    // to `store` with its window's result variable and ended in the same frame.
    using ResultStore = std::function<void(int32_t variable, int32_t result)>;
    void UpdateSelections(const ButtonState& buttons, const ResultStore& store);
    void UpdateMessages();
    void DrawMessages(CSpriteBatch& batch);
    void DrawSelections(CSpriteBatch& batch);

    std::array<int32_t, kWindowCount> selectResultVariable{};

  private:
    CMessageHistory history_;
    std::array<std::unique_ptr<CWindowMessage>, kWindowCount> message_;
    std::array<std::unique_ptr<CWindowSelectable>, kWindowCount> selection_;
};

}  // namespace zepa
