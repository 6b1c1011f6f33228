// The main scene's windows: ten message windows and ten selection windows addressed 0..9 by the
// scripts, with the variable each selection window stores its result into.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "windows/WindowMessage.h"
#include "windows/WindowSelectable.h"

namespace zepa {

class CAudioChannels;
class CSpriteBatch;
class CVariableStore;

class CWindowSet {
  public:
    static constexpr int kWindowCount = 10;

    explicit CWindowSet(CAudioChannels* audio);

    static bool ValidIndex(int32_t index) { return index >= 0 && index < kWindowCount; }
    CWindowMessage& message(int index) { return message_[index]; }
    const CWindowMessage& message(int index) const { return message_[index]; }
    CWindowSelectable& selection(int index) { return *selection_[index]; }
    const CWindowSelectable& selection(int index) const { return *selection_[index]; }

    // A choice is running in some selection window (the script waits meanwhile).
    bool AnySelectionActive() const;

    // Updates the selection windows in order; a decided choice is stored into its result variable
    // (when that names one of the integers) and ended in the same frame.
    void UpdateSelections(CVariableStore& variables);
    void UpdateMessages();
    void DrawMessages(CSpriteBatch& batch);
    void DrawSelections(CSpriteBatch& batch);

    std::array<int32_t, kWindowCount> selectResultVariable{};

  private:
    std::array<CWindowMessage, kWindowCount> message_;
    std::array<std::unique_ptr<CWindowSelectable>, kWindowCount> selection_;
};

}  // namespace zepa
