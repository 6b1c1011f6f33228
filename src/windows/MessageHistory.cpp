#include "windows/MessageHistory.h"

#include <algorithm>

namespace zepa {

// Window numbers outside 0..9 share the last slot.
uint64_t& CMessageHistory::OpenEntryOf(int32_t window) {
    return openEntry_[window >= 0 && window < kWindowSlots ? window : kWindowSlots];
}

void CMessageHistory::Print(int32_t window, const std::string& text) {
    OpenEntryOf(window) = kNone;
    if (!text.empty()) Start(window, text);
}

void CMessageHistory::Add(int32_t window, const std::string& text) {
    if (text.empty()) return;
    const uint64_t serial = OpenEntryOf(window);
    if (serial != kNone && serial >= firstSerial_) {
        entries_[serial - firstSerial_].text += text;
        return;
    }
    Start(window, text);
}

void CMessageHistory::Clear() {
    firstSerial_ += entries_.size();
    entries_.clear();
    std::fill(std::begin(openEntry_), std::end(openEntry_), kNone);
}

void CMessageHistory::Start(int32_t window, const std::string& text) {
    if (entries_.size() == kMaxEntries) {
        entries_.pop_front();
        ++firstSerial_;
    }
    entries_.push_back(Entry{window, text});
    OpenEntryOf(window) = firstSerial_ + entries_.size() - 1;
}

}  // namespace zepa
