#include "script/SaveFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "core/LooseFiles.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/WriteTarget.h"

namespace zepa {
namespace {

constexpr const char* kSaveFolder = "Save";

// The bits of a value as another type of the same size (std::bit_cast, which the browser build's
// standard library lacks).
template <typename To, typename From>
To BitCopy(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof(to));
    return to;
}
// The folder save files belong in (the working folder is the game's); nothing is written
// through a link leading out of it.
constexpr const char* kSaveHome = ".";

// Offsets inside the record block.
constexpr size_t kBackgroundOffset = 0;
constexpr size_t kBgmOffset = 256;
constexpr size_t kBgsOffset = 512;
constexpr size_t kCharactersOffset = 768;
constexpr size_t kFocusOffset = 2376;
constexpr size_t kScriptFileOffset = 2380;
constexpr size_t kSavePointNameOffset = 2636;
// Inside a character slot block.
constexpr size_t kCharacterXOffset = 256;
constexpr size_t kCharacterYOffset = 260;
constexpr size_t kCharacterFlagsOffset = 264;

static_assert(kCharactersOffset + SavePointRecord::kCharacterSlots * kCharacterRecordSize == kFocusOffset);
static_assert(kSavePointNameOffset + kNameFieldSize == kSavePointRecordSize);
static_assert(kMinimalSaveFileSize == 282444);

void PutUint32(std::string& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendUint32(std::string& out, uint32_t value) {
    const size_t offset = out.size();
    out.resize(offset + 4);
    PutUint32(out, offset, value);
}

uint32_t GetUint32(std::string_view bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
    return value;
}

void PutName(std::string& out, size_t offset, const std::string& name, ILog& log) {
    const std::string stored = CutToNameField(name);
    if (stored.size() != name.size())
        log.Warning(FormatLine("zepa: a name of %zu bytes was cut to %zu bytes to fit the save file",
                               name.size(), stored.size()));
    std::memcpy(out.data() + offset, stored.data(), stored.size());
}

// A field without a terminator (a damaged file) gives the longest name a field can hold.
std::string GetName(std::string_view bytes, size_t offset) {
    const std::string_view field = bytes.substr(offset, kNameFieldSize);
    return CutToNameField(std::string(field.substr(0, field.find('\0'))));
}

// The string up to its first NUL, as a C string reads it.
std::string UpToNul(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

// A save is read only as far as a file of the largest strings a game could hold in sensible
// memory reaches; bytes after it (appended junk) are never read, and a longer file loads as one
// that ends early. FIFOs and devices count as missing.
constexpr size_t kMaxSaveReadBytes = kMinimalSaveFileSize + (size_t{64} << 20);

bool ReadFileBytes(const std::string& path, std::string& bytes, size_t limit = kMaxSaveReadBytes) {
    return ReadFileStart(path, bytes, limit) == FileReadResult::Ok;
}

void ReportDamage(const std::string& path, const DecodedSaveFile& save, ILog& log) {
    const char* reason = save.badStringLength ? "a string length runs past its end" : "it ends early";
    log.Warning(FormatLine(
        "zepa: the save file %s is damaged (%s); loaded the save-point record, %d of %d integers, %d of "
        "%d flags and %d of %d strings; the rest are 0 or empty",
        path.c_str(), reason, save.intsRead, CVariableStore::kIntCount, save.flagWordsRead * 4,
        CVariableStore::kFlagCount, save.stringsRead, CVariableStore::kStringCount));
}

}  // namespace

// A save folder or file made on Windows may differ in case ("save/SAVE1.DAT"); it is used where it
// is. A file not there yet goes into the save folder found, else into "Save". A data folder is the
// engine's own and has the exact layout.
std::string SaveFilePath(int slot, const std::string& writableFolder) {
    const std::string fileName = "Save" + std::to_string(slot) + ".dat";
    if (!writableFolder.empty()) return writableFolder + "/" + kSaveFolder + "/" + fileName;
    const std::string exact = std::string(kSaveFolder) + "/" + fileName;
    if (IsRegularFile(exact)) return exact;
    CQuietLog quiet;
    CLooseFiles files(quiet);
    if (std::optional<std::string> found = files.FindFile(exact)) return *found;
    if (std::optional<std::string> folder = files.FindFolder(kSaveFolder)) return *folder + "/" + fileName;
    return exact;
}

std::string CutToNameField(const std::string& name) {
    return CutCp932(name, kMaxStoredNameLength);
}

std::string EncodeSavePointRecord(const SavePointRecord& record, ILog& log) {
    std::string out(kSavePointRecordSize, '\0');
    PutName(out, kBackgroundOffset, record.backgroundPath, log);
    PutName(out, kBgmOffset, record.bgmPath, log);
    PutName(out, kBgsOffset, record.bgsPath, log);
    for (int slot = 0; slot < SavePointRecord::kCharacterSlots; ++slot) {
        const CharacterSlotRecord& character = record.characters[slot];
        const size_t base = kCharactersOffset + slot * kCharacterRecordSize;
        PutName(out, base, character.imagePath, log);
        PutUint32(out, base + kCharacterXOffset, BitCopy<uint32_t>(character.x));
        PutUint32(out, base + kCharacterYOffset, BitCopy<uint32_t>(character.y));
        PutUint32(out, base + kCharacterFlagsOffset, character.flags);
    }
    PutUint32(out, kFocusOffset, static_cast<uint32_t>(record.focus));
    PutName(out, kScriptFileOffset, record.scriptFile, log);
    PutName(out, kSavePointNameOffset, record.savePointName, log);
    return out;
}

SavePointRecord DecodeSavePointRecord(std::string_view bytes) {
    std::string block(bytes.substr(0, kSavePointRecordSize));
    block.resize(kSavePointRecordSize, '\0');
    SavePointRecord record;
    record.backgroundPath = GetName(block, kBackgroundOffset);
    record.bgmPath = GetName(block, kBgmOffset);
    record.bgsPath = GetName(block, kBgsOffset);
    for (int slot = 0; slot < SavePointRecord::kCharacterSlots; ++slot) {
        CharacterSlotRecord& character = record.characters[slot];
        const size_t base = kCharactersOffset + slot * kCharacterRecordSize;
        character.imagePath = GetName(block, base);
        character.x = BitCopy<float>(GetUint32(block, base + kCharacterXOffset));
        character.y = BitCopy<float>(GetUint32(block, base + kCharacterYOffset));
        character.flags = GetUint32(block, base + kCharacterFlagsOffset);
    }
    record.focus = static_cast<int32_t>(GetUint32(block, kFocusOffset));
    record.scriptFile = GetName(block, kScriptFileOffset);
    record.savePointName = GetName(block, kSavePointNameOffset);
    return record;
}

std::string EncodeSaveFile(const CVariableStore& variables, ILog& log) {
    std::string out = EncodeSavePointRecord(variables.savePoint(), log);
    size_t stringBytes = 0;
    for (const std::string& text : variables.snapshotStrings()) stringBytes += 4 + text.size();
    out.reserve(kSaveStringsOffset + stringBytes);
    for (int32_t value : variables.snapshotInts()) AppendUint32(out, static_cast<uint32_t>(value));
    for (uint32_t word : variables.snapshotFlagWords()) AppendUint32(out, word);
    for (const std::string& text : variables.snapshotStrings()) {
        AppendUint32(out, static_cast<uint32_t>(text.size()));
        out += text;
    }
    return out;
}

std::optional<DecodedSaveFile> DecodeSaveFile(std::string_view bytes) {
    if (bytes.size() < kSavePointRecordSize) return std::nullopt;
    DecodedSaveFile save;
    save.record = DecodeSavePointRecord(bytes);
    const size_t size = bytes.size();
    const size_t intsAvailable = (std::min(size, kSaveFlagsOffset) - kSaveIntsOffset) / 4;
    for (size_t i = 0; i < intsAvailable; ++i)
        save.ints[i] = static_cast<int32_t>(GetUint32(bytes, kSaveIntsOffset + 4 * i));
    save.intsRead = static_cast<int>(intsAvailable);
    if (size > kSaveFlagsOffset) {
        const size_t wordsAvailable = (std::min(size, kSaveStringsOffset) - kSaveFlagsOffset) / 4;
        // Only the low four bits of a word are flags; anything else is damage and is dropped.
        for (size_t i = 0; i < wordsAvailable; ++i)
            save.flags[i] = GetUint32(bytes, kSaveFlagsOffset + 4 * i) & 0xFu;
        save.flagWordsRead = static_cast<int>(wordsAvailable);
    }
    if (!(save.intsRead == CVariableStore::kIntCount && save.flagWordsRead == CVariableStore::kFlagWordCount))
        return save;
    size_t offset = kSaveStringsOffset;
    for (int n = 0; n < CVariableStore::kStringCount; ++n) {
        if (size - offset < 4) return save;
        const uint32_t length = GetUint32(bytes, offset);
        // Checked against what is left before anything is allocated.
        if (length > size - offset - 4) {
            save.badStringLength = true;
            return save;
        }
        save.strings[n] = UpToNul(bytes.substr(offset + 4, length));
        offset += 4 + size_t{length};
        save.stringsRead = n + 1;
    }
    save.extraBytes = size - offset;
    return save;
}

bool WriteSaveFile(const CVariableStore& variables, int slot, ILog& log, IFileOperations& files,
                   const std::string& writableFolder) {
    const std::string path = SaveFilePath(slot, writableFolder);
    const std::string bytes = EncodeSaveFile(variables, log);
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!IsDirectory(folder) && !MakeDirectory(folder)) {
        log.Warning(FormatLine("zepa: cannot create the folder %s; the save file %s was not written",
                               folder.c_str(), path.c_str()));
        return false;
    }
    // Saves stay inside the folder they belong to: the game folder, or the player's data folder.
    const std::string home = writableFolder.empty() ? std::string(kSaveHome) : writableFolder;
    if (!WriteStaysInside(path, home)) {
        log.Warning(FormatLine("zepa: not writing the save file %s: it leads out of %s", path.c_str(),
                               writableFolder.empty() ? "the game folder" : writableFolder.c_str()));
        return false;
    }
    const std::string backup = path + ".bak";
    const bool hadPrevious = IsRegularFile(path);
    if (hadPrevious && !KeepFileCopy(path, backup, files))
        log.Warning(FormatLine("zepa: cannot keep a copy of %s as %s", path.c_str(), backup.c_str()));
    if (!WriteFileAtomically(path, bytes, files)) {
        log.Warning(FormatLine("zepa: cannot write the save file %s%s", path.c_str(),
                               hadPrevious ? "; the previous save is kept" : ""));
        return false;
    }
    if (hadPrevious) RemoveFile(backup, files);
    return true;
}

bool LoadSaveFile(CVariableStore& variables, int slot, ILog& log, const std::string& writableFolder) {
    const std::string path = SaveFilePath(slot, writableFolder);
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    std::optional<DecodedSaveFile> save = DecodeSaveFile(bytes);
    if (!save) {
        log.Warning(
            FormatLine("zepa: the save file %s has only %zu bytes, too few for a save point; nothing loaded",
                       path.c_str(), bytes.size()));
        return false;
    }
    if (!save->complete()) ReportDamage(path, *save, log);
    if (save->extraBytes > 0)
        log.Warning(FormatLine("zepa: the save file %s has %zu bytes after its last string; they are ignored",
                               path.c_str(), save->extraBytes));
    variables.LoadSnapshot(save->record, std::move(save->ints), save->flags, std::move(save->strings));
    return true;
}

bool ReadSaveRecord(int slot, SavePointRecord& record, const std::string& writableFolder) {
    std::string bytes;
    if (!ReadFileBytes(SaveFilePath(slot, writableFolder), bytes, kSavePointRecordSize)) return false;
    record = DecodeSavePointRecord(bytes);
    return true;
}

}  // namespace zepa
