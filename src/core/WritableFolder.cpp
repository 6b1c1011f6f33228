#include "core/WritableFolder.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "core/LooseFiles.h"
#include "core/Settings.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

namespace zepa {
namespace {

constexpr size_t kMaxNameBytes = 64;
constexpr const char* kSaveFolder = "Save";

// FNV-1a: a hash fixed by its definition, unlike std::hash, so the folder keeps its name.
uint32_t StableHash(const std::string& text) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
    return hash;
}

// Drops a UTF-8 character that a cut at the end of `text` split.
void DropSplitCharacter(std::string& text) {
    size_t lead = text.size();
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead == 0) return;
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    if (first < 0xC0) return;
    const size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (text.size() - (lead - 1) < length) text.resize(lead - 1);
}

// Keeps ASCII letters, digits, '.', '-', '_' and non-ASCII bytes (names in UTF-8 or CP932).
std::string FileNamePart(const std::string& name) {
    std::string part;
    for (unsigned char c : name) {
        const bool keep = c >= 0x80 || std::isalnum(c) || c == '.' || c == '-' || c == '_';
        part += keep ? static_cast<char>(c) : '_';
    }
    if (part.size() > kMaxNameBytes) {
        part.resize(kMaxNameBytes);
        DropSplitCharacter(part);
    }
    if (part.empty() || part.find_first_not_of('.') == std::string::npos) return "game";
    return part;
}

// "Save<n>.dat" for a save file's name in any letter case ("SAVE1.DAT"), else nullopt.
std::optional<std::string> SaveFileName(const std::string& name) {
    std::string lower;
    for (unsigned char c : name) lower += static_cast<char>(std::tolower(c));
    if (lower.size() < 9 || lower.compare(0, 4, "save") != 0 ||
        lower.compare(lower.size() - 4, 4, ".dat") != 0)
        return std::nullopt;
    std::string number = lower.substr(4, lower.size() - 8);
    const size_t digits = number[0] == '-' ? 1 : 0;
    if (number.size() == digits || number.size() > 11 ||
        number.find_first_not_of("0123456789", digits) != std::string::npos)
        return std::nullopt;
    return "Save" + number + ".dat";
}

void CopyIfMissing(const std::string& from, const std::string& to, ILog& log) {
    if (IsRegularFile(to) || !IsRegularFile(from)) return;
    std::string bytes;
    if (ReadWholeFile(from, bytes) != FileReadResult::Ok || !WriteFileAtomically(to, bytes))
        log.Warning("zepa: cannot copy " + from + " to " + to);
}

void CopyShippedSaves(const std::string& folder, ILog& log) {
    CLooseFiles files(log);
    const std::optional<std::string> shipped = files.FindFolder(kSaveFolder);
    if (!shipped) return;
    for (const std::string& name : ListDirectory(*shipped)) {
        if (std::optional<std::string> saveName = SaveFileName(name))
            CopyIfMissing(*shipped + "/" + name, folder + "/" + kSaveFolder + "/" + *saveName, log);
    }
}

}  // namespace

std::string DataFolderName(const std::string& gameFolder) {
    std::string trimmed = gameFolder;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const std::string name = trimmed.substr(trimmed.rfind('/') + 1);
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", StableHash(trimmed));
    return FileNamePart(name) + "-" + hash;
}

std::string WritableFilesFolder(const GameFolderFacts& facts) {
    if (facts.writable) return std::string();
    // Relative values are ignored, as the XDG base directory rules ask.
    std::string base;
    if (!facts.dataHome.empty() && facts.dataHome[0] == '/')
        base = facts.dataHome;
    else if (!facts.home.empty() && facts.home[0] == '/')
        base = facts.home + "/.local/share";
    else
        return std::string();
    return base + "/zepa/" + DataFolderName(facts.path);
}

bool PrepareDataFolder(const std::string& folder, ILog& log) {
    const std::string saves = folder + "/" + kSaveFolder;
    if (!MakeDirectories(saves)) {
        log.Warning("zepa: cannot create the folder " + saves + " for the saves");
        return false;
    }
    CLooseFiles files(log);
    if (std::optional<std::string> settings = files.FindFile(kSettingsFileName))
        CopyIfMissing(*settings, folder + "/" + kSettingsFileName, log);
    CopyShippedSaves(folder, log);
    return true;
}

}  // namespace zepa
