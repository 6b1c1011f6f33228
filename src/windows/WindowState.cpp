// What the state dump shows of the windows.
#include <nlohmann/json.hpp>

#include "platform/Cp932.h"
#include "windows/WindowSelectable.h"
#include "windows/WindowSet.h"

namespace zepa {

nlohmann::json CWindowSelectable::DescribeState() const {
    return {{"open", isOpen()}, {"active", active()}, {"cursor", cursor()}, {"items", itemCount()}};
}

nlohmann::json CWindowSet::DescribeMessages() const {
    nlohmann::json windows = nlohmann::json::array();
    for (int n = 0; n < kWindowCount; ++n) {
        const CWindowMessage& window = message(n);
        const CPendingText& pending = window.pendingText();
        windows.push_back({{"open", window.isOpen()},
                           {"visible", window.visible()},
                           {"typing", window.typing()},
                           {"text", Cp932ToJsonText(pending.text().substr(0, pending.position()))}});
    }
    return windows;
}

nlohmann::json CWindowSet::DescribeSelections() const {
    nlohmann::json windows = nlohmann::json::array();
    for (int n = 0; n < kWindowCount; ++n) windows.push_back(selection(n).DescribeState());
    return windows;
}

}  // namespace zepa
