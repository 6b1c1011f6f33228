// The scripts' global variables: 1024 flags, 65536 signed 32-bit integers and 4096 strings, all
// addressed by number, plus the snapshot taken at save points and the quick-save slot. Numbers
// outside a store read as false / 0 / "" and are ignored when written.
#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "script/SavePointRecord.h"

namespace zepa {

class CVariableStore {
  public:
    // What the state dump shows: the non-zero integers, the set flags and the non-empty strings.
    nlohmann::json DescribeState() const;

    static constexpr int kFlagCount = 1024;
    static constexpr int kIntCount = 65536;
    static constexpr int kStringCount = 4096;
    // Flags are packed four to a 32-bit word (flag n is bit n % 4 of word n / 4); this block is
    // written to save files byte for byte, so its layout is fixed.
    static constexpr int kFlagWordCount = kFlagCount / 4;
    // Calc does not build strings longer than this (a script doubling a string in a loop would
    // otherwise exhaust memory).
    static constexpr size_t kMaxStringLength = 1 << 20;
    using FlagWords = std::array<uint32_t, kFlagWordCount>;

    CVariableStore();

    bool GetFlag(int number) const;
    void SetFlag(int number, bool value);
    int32_t GetInt(int number) const;
    void SetInt(int number, int32_t value);
    const std::string& GetString(int number) const;
    void SetString(int number, std::string value);
    // Bytes of string values read by GetString or stored by SetString since the store was made:
    // the script runner charges big string work against its per-frame budget with it.
    uint64_t stringBytesTouched() const { return stringBytesTouched_; }

    // All flags false, integers 0, strings empty (the live arrays only).
    void ClearLive();
    // Copies the live arrays into the snapshot / the snapshot back into the live arrays.
    void TakeSnapshot();
    void RestoreSnapshot();
    // A save point: `record` becomes the current record and the live arrays the snapshot.
    void TakeSnapshot(const SavePointRecord& record);
    // A loaded save: the record and the three arrays become the snapshot and are copied into the
    // live arrays. `ints` and `strings` hold exactly kIntCount / kStringCount entries.
    void LoadSnapshot(const SavePointRecord& record, std::vector<int32_t> ints, const FlagWords& flags,
                      std::vector<std::string> strings);
    // A new game: live arrays cleared, the record emptied with no focus; the snapshot arrays stay.
    void ResetForNewGame();

    const FlagWords& flagWords() const { return flags_; }
    const FlagWords& snapshotFlagWords() const { return snapshotFlags_; }
    const std::vector<int32_t>& snapshotInts() const { return snapshotInts_; }
    const std::vector<std::string>& snapshotStrings() const { return snapshotStrings_; }
    const SavePointRecord& savePoint() const { return savePoint_; }

    // A variable a statement set, for the author's overlay.
    struct Change {
        enum class Kind : uint8_t { Int, Flag, String };
        Kind kind = Kind::Int;
        int number = 0;
    };
    static constexpr size_t kRecentChanges = 8;
    // The variables set last, newest first, each once (at most kRecentChanges).
    const std::vector<Change>& recentChanges() const { return recentChanges_; }

    // The slot the quick save writes; never negative.
    int quickSaveSlot() const { return quickSaveSlot_; }
    void SetQuickSaveSlot(int slot) { quickSaveSlot_ = slot > 0 ? slot : 0; }

  private:
    FlagWords flags_{};
    std::vector<int32_t> ints_;
    std::vector<std::string> strings_;
    mutable uint64_t stringBytesTouched_ = 0;
    std::vector<int32_t> snapshotInts_;
    FlagWords snapshotFlags_{};
    std::vector<std::string> snapshotStrings_;
    SavePointRecord savePoint_;
    int quickSaveSlot_ = 0;
    void NoteChange(Change::Kind kind, int number);
    std::vector<Change> recentChanges_;
};

}  // namespace zepa
