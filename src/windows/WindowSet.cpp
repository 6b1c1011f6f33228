#include "windows/WindowSet.h"

#include "script/VariableStore.h"

namespace zepa {

CWindowSet::CWindowSet(CAudioChannels* audio) {
    for (auto& window : selection_) window = std::make_unique<CWindowSelectable>(audio);
}

bool CWindowSet::AnySelectionActive() const {
    for (const auto& window : selection_)
        if (window->active()) return true;
    return false;
}

void CWindowSet::UpdateSelections(CVariableStore& variables) {
    for (int n = 0; n < kWindowCount; ++n) {
        CWindowSelectable& window = *selection_[n];
        window.Update();
        int32_t result = 0;
        if (!window.active() || !window.TakeResult(result)) continue;
        const int32_t variable = selectResultVariable[n];
        if (variable >= 0 && variable < CVariableStore::kIntCount) variables.SetInt(variable, result);
        window.Select(false);
    }
}

void CWindowSet::UpdateMessages() {
    for (CWindowMessage& window : message_) window.Update();
}

void CWindowSet::DrawMessages(CSpriteBatch& batch) {
    for (CWindowMessage& window : message_) window.Draw(batch);
}

void CWindowSet::DrawSelections(CSpriteBatch& batch) {
    for (auto& window : selection_) window->Draw(batch);
}

}  // namespace zepa
