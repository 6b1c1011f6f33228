// The message history: the texts the script's message windows were given to show, the latest
// kMaxEntries of them, oldest first. A PrintText starts an entry and an AddText to the same window
// extends it (or starts one when that window's entry is gone or there is none); an empty text
// starts nothing. Texts are CP932, as typed, with the number of the window they came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace zepa {

class CMessageHistory {
  public:
    static constexpr size_t kMaxEntries = 500;

    struct Entry {
        int32_t window = 0;
        std::string text;
    };

    // Window numbers are the message windows' (0..9); others are kept as they come.
    void Print(int32_t window, const std::string& text);
    void Add(int32_t window, const std::string& text);
    void Clear();

    const std::deque<Entry>& entries() const { return entries_; }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

  private:
    static constexpr int kWindowSlots = 10;
    static constexpr uint64_t kNone = UINT64_MAX;

    void Start(int32_t window, const std::string& text);
    uint64_t& OpenEntryOf(int32_t window);

    std::deque<Entry> entries_;
    // The serial number of entries_.front(); an entry's serial is firstSerial_ + its index.
    uint64_t firstSerial_ = 0;
    // Per window, the serial of the entry its AddText extends (kNone: none).
    uint64_t openEntry_[kWindowSlots + 1] = {kNone, kNone, kNone, kNone, kNone, kNone,
                                             kNone, kNone, kNone, kNone, kNone};
};

}  // namespace zepa
