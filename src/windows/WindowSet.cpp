#include "windows/WindowSet.h"

namespace zepa {

CWindowSet::CWindowSet(const WindowEnvironment& environment) {
    for (auto& window : message_) window = std::make_unique<CWindowMessage>(environment);
    for (auto& window : selection_) window = std::make_unique<CWindowSelectable>(environment);
}

void CWindowSet::PrintText(int index, const std::string& text) {
    CWindowMessage& window = *message_[index];
    // Printed while closed, the text is not kept, and a later AddText starts a new entry.
    history_.Print(index, window.isOpen() ? text : std::string());
    window.PrintText(text);
}

void CWindowSet::AddText(int index, const std::string& text) {
    CWindowMessage& window = *message_[index];
    if (window.isOpen()) history_.Add(index, text);
    window.AddText(text);
}

bool CWindowSet::AnyTyping() const {
    for (const auto& window : message_)
        if (window->typing()) return true;
    return false;
}

uint64_t CWindowSet::TypedCharacters() const {
    uint64_t typed = 0;
    for (const auto& window : message_) typed += window->typedCharacters();
    return typed;
}

bool CWindowSet::AnySelectionActive() const {
    for (const auto& window : selection_)
        if (window->active()) return true;
    return false;
}

void CWindowSet::UpdateSelections(const ButtonState& buttons, const ResultStore& store) {
    for (int n = 0; n < kWindowCount; ++n) {
        CWindowSelectable& window = *selection_[n];
        window.Update(buttons);
        int32_t result = 0;
        if (!window.active() || !window.TakeResult(result)) continue;
        store(selectResultVariable[n], result);
        window.Select(false);
    }
}

void CWindowSet::UpdateMessages() {
    for (auto& window : message_) window->Update();
}

void CWindowSet::DrawMessages(CSpriteBatch& batch) {
    for (auto& window : message_) window->Draw(batch);
}

void CWindowSet::DrawSelections(CSpriteBatch& batch) {
    for (auto& window : selection_) window->Draw(batch);
}

}  // namespace zepa
