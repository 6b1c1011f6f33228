// Save files: slot n is "Save/Save<n>.dat" in the game folder. A file holds the save-point record
// (2892 bytes) and the variable snapshot taken with it: 65536 integers, the 1024-byte flag block
// and 4096 strings, each a 32-bit length and its bytes. Every number is little-endian, whatever
// the machine. There is no header, version or checksum, so a damaged file is recognised only by
// running out of bytes; loading then keeps what is whole and says so in the log what was loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileOperations.h"
#include "script/SavePointRecord.h"
#include "script/VariableStore.h"

namespace zepa {

class ILog;

inline constexpr size_t kNameFieldSize = 256;
// A name keeps at most this many bytes, so that its terminating NUL fits the field.
inline constexpr size_t kMaxStoredNameLength = kNameFieldSize - 2;
inline constexpr size_t kCharacterRecordSize = 268;
inline constexpr size_t kSavePointRecordSize = 2892;
inline constexpr size_t kSaveIntsOffset = kSavePointRecordSize;
inline constexpr size_t kSaveFlagsOffset = kSaveIntsOffset + 4 * CVariableStore::kIntCount;          // 265036
inline constexpr size_t kSaveStringsOffset = kSaveFlagsOffset + 4 * CVariableStore::kFlagWordCount;  // 266060
// A file whose strings are all empty.
inline constexpr size_t kMinimalSaveFileSize =
    kSaveStringsOffset + 4 * CVariableStore::kStringCount;  // 282444

// "Save/Save<slot>.dat", the slot written in decimal. `writableFolder` is the folder that holds
// the Save folder: empty for the game folder (the working folder), else a data folder of the
// player's (core/WritableFolder.h), where the layout is exactly "Save/Save<slot>.dat".
std::string SaveFilePath(int slot, const std::string& writableFolder = {});

// `name` cut to at most kMaxStoredNameLength bytes, never inside a double-byte character.
std::string CutToNameField(const std::string& name);

// The 2892-byte block of a record; names that do not fit are cut (CutToNameField).
std::string EncodeSavePointRecord(const SavePointRecord& record, ILog& log);
// The record in `bytes`; missing bytes (a short block) read as zero. Each name ends at its first
// NUL or at the end of its field.
SavePointRecord DecodeSavePointRecord(std::string_view bytes);

// A whole save file from the store's record and snapshot.
std::string EncodeSaveFile(const CVariableStore& variables, ILog& log);

// What could be read from a save file's bytes. Entries past the damage are 0 / empty.
struct DecodedSaveFile {
    SavePointRecord record;
    std::vector<int32_t> ints = std::vector<int32_t>(CVariableStore::kIntCount, 0);
    CVariableStore::FlagWords flags{};
    std::vector<std::string> strings = std::vector<std::string>(CVariableStore::kStringCount);
    int intsRead = 0;
    int flagWordsRead = 0;
    int stringsRead = 0;
    bool badStringLength = false;  // a length ran past the end of the file
    size_t extraBytes = 0;         // bytes after the last string

    bool complete() const {
        return intsRead == CVariableStore::kIntCount && flagWordsRead == CVariableStore::kFlagWordCount &&
               stringsRead == CVariableStore::kStringCount;
    }
};
// nullopt when the bytes do not even hold a whole record. Never allocates more than `bytes` holds.
std::optional<DecodedSaveFile> DecodeSaveFile(std::string_view bytes);

// Writes the store's record and snapshot to the slot's file, creating the "Save" folder if it is
// missing. The write is crash-safe: the previous file stays as "<file>.bak" until the new one is
// complete on disk, and a failed write leaves the previous file untouched and says so in the log.
// Warnings go to `log`; `files` makes the system calls of the write.
bool WriteSaveFile(const CVariableStore& variables, int slot, ILog& log,
                   IFileOperations& files = RealFileOperations(), const std::string& writableFolder = {});
// Reads the slot's file into the record and snapshot, then into the live arrays. A missing file
// changes nothing (false). A damaged file loads what is whole and says so in the log what was loaded;
// one too short to hold a record loads nothing (false).
bool LoadSaveFile(CVariableStore& variables, int slot, ILog& log, const std::string& writableFolder = {});
// Reads only the record of the slot's file; false when the file cannot be opened.
bool ReadSaveRecord(int slot, SavePointRecord& record, const std::string& writableFolder = {});

}  // namespace zepa
