#include "script/VariableStore.h"

#include <algorithm>

namespace zepa {
namespace {

const std::string kEmptyString;

bool InRange(int number, int count) {
    return number >= 0 && number < count;
}

}  // namespace

CVariableStore::CVariableStore()
    : ints_(kIntCount, 0),
      strings_(kStringCount),
      snapshotInts_(kIntCount, 0),
      snapshotStrings_(kStringCount) {}

bool CVariableStore::GetFlag(int number) const {
    if (!InRange(number, kFlagCount)) return false;
    return (flags_[number / 4] >> (number % 4)) & 1u;
}

void CVariableStore::SetFlag(int number, bool value) {
    if (!InRange(number, kFlagCount)) return;
    const uint32_t bit = 1u << (number % 4);
    uint32_t& word = flags_[number / 4];
    word = value ? (word | bit) : (word & ~bit);
    NoteChange(Change::Kind::Flag, number);
}

int32_t CVariableStore::GetInt(int number) const {
    return InRange(number, kIntCount) ? ints_[number] : 0;
}

void CVariableStore::SetInt(int number, int32_t value) {
    if (!InRange(number, kIntCount)) return;
    ints_[number] = value;
    NoteChange(Change::Kind::Int, number);
}

const std::string& CVariableStore::GetString(int number) const {
    if (!InRange(number, kStringCount)) return kEmptyString;
    stringBytesTouched_ += strings_[number].size();
    return strings_[number];
}

void CVariableStore::SetString(int number, std::string value) {
    if (!InRange(number, kStringCount)) return;
    stringBytesTouched_ += value.size();
    strings_[number] = std::move(value);
    NoteChange(Change::Kind::String, number);
}

void CVariableStore::NoteChange(Change::Kind kind, int number) {
    auto same = [&](const Change& change) { return change.kind == kind && change.number == number; };
    if (!recentChanges_.empty() && same(recentChanges_.front())) return;
    std::erase_if(recentChanges_, same);
    if (recentChanges_.size() == kRecentChanges) recentChanges_.pop_back();
    recentChanges_.insert(recentChanges_.begin(), Change{kind, number});
}

void CVariableStore::ClearLive() {
    flags_.fill(0);
    std::fill(ints_.begin(), ints_.end(), 0);
    for (std::string& text : strings_) text.clear();
}

void CVariableStore::TakeSnapshot() {
    snapshotInts_ = ints_;
    snapshotFlags_ = flags_;
    snapshotStrings_ = strings_;
}

void CVariableStore::TakeSnapshot(const SavePointRecord& record) {
    savePoint_ = record;
    TakeSnapshot();
}

void CVariableStore::LoadSnapshot(const SavePointRecord& record, std::vector<int32_t> ints,
                                  const FlagWords& flags, std::vector<std::string> strings) {
    if (ints.size() != static_cast<size_t>(kIntCount) || strings.size() != static_cast<size_t>(kStringCount))
        return;  // not a whole snapshot
    savePoint_ = record;
    snapshotInts_ = std::move(ints);
    snapshotFlags_ = flags;
    snapshotStrings_ = std::move(strings);
    RestoreSnapshot();
}

void CVariableStore::ResetForNewGame() {
    savePoint_ = SavePointRecord{};
    savePoint_.focus = SavePointRecord::kNoFocus;
    ClearLive();
}

void CVariableStore::RestoreSnapshot() {
    ints_ = snapshotInts_;
    flags_ = snapshotFlags_;
    strings_ = snapshotStrings_;
}

}  // namespace zepa
