#include "core/Settings.h"

#include <cstdio>
#include <limits>
#include <memory>

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/WriteTarget.h"

namespace zepa {

const std::array<SettingsField, 12> kSettingsFields = {{
    {"MESSAGE_SPEED", &SettingsRecord::messageSpeed},
    {"BGM_VOLUME", &SettingsRecord::bgmVolume},
    {"BGS_VOLUME", &SettingsRecord::bgsVolume},
    {"SE_VOLUME", &SettingsRecord::seVolume},
    {"BUTTON_OK", &SettingsRecord::buttonOk},
    {"BUTTON_CANCEL", &SettingsRecord::buttonCancel},
    {"BUTTON_START", &SettingsRecord::buttonStart},
    {"BUTTON_SELECT", &SettingsRecord::buttonSelect},
    {"BUTTON_X", &SettingsRecord::buttonX},
    {"BUTTON_Y", &SettingsRecord::buttonY},
    {"BUTTON_L", &SettingsRecord::buttonL},
    {"BUTTON_R", &SettingsRecord::buttonR},
}};

namespace {

// Reads the settings text the way a scanf format "KEY=%d\n" does: the key and '=' must match
// byte for byte, the number may be preceded by white space and a sign, and the line break
// directive skips any run of white space (CR included, so CR LF and LF both work).
class CSettingsScanner {
  public:
    explicit CSettingsScanner(std::string_view text) : text_(text) {}

    bool MatchLiteral(std::string_view literal) {
        if (text_.substr(pos_, literal.size()) != literal) return false;
        pos_ += literal.size();
        return true;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    // A decimal int. A number outside the int range is not taken (scanf leaves that undefined).
    bool ReadInt(int& value) {
        SkipSpace();
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            negative = text_[pos_] == '-';
            ++pos_;
        }
        const size_t firstDigit = pos_;
        long long magnitude = 0;
        constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            magnitude = magnitude * 10 + (text_[pos_] - '0');
            if (magnitude > kLimit) return false;
            ++pos_;
        }
        if (pos_ == firstDigit) return false;
        if (!negative && magnitude == kLimit) return false;
        value = static_cast<int>(negative ? -magnitude : magnitude);
        return true;
    }

  private:
    static bool IsSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

int ParseSettings(std::string_view text, SettingsRecord& record) {
    CSettingsScanner scanner(text);
    int read = 0;
    for (const SettingsField& field : kSettingsFields) {
        int value = 0;
        if (!scanner.MatchLiteral(field.key) || !scanner.MatchLiteral("=") || !scanner.ReadInt(value)) break;
        record.*field.member = value;
        scanner.SkipSpace();
        ++read;
    }
    return read;
}

std::string FormatSettings(const SettingsRecord& record) {
    std::string text;
    for (const SettingsField& field : kSettingsFields) {
        text += field.key;
        text += '=';
        text += std::to_string(record.*field.member);
        text += "\r\n";
    }
    return text;
}

// Far more than twelve "KEY=value" lines take, with any white space a player puts between them.
constexpr size_t kSettingsReadBytes = 64 * 1024;

void LoadSettings(SettingsRecord& record, ILog& log, const std::string& path) {
    record = SettingsRecord{};
    std::string text;
    // Twelve short lines are all the format holds: whatever follows is never read.
    if (ReadFileStart(path, text, kSettingsReadBytes) == FileReadResult::Ok) {
        ParseSettings(text, record);
        return;
    }
    // Only a file that is really absent is created; an unreadable one (a folder, a FIFO, a
    // link) is not replaced.
    if (PathExists(path)) return;
    if (!SaveSettings(record, log, path))
        log.Warning(FormatLine("zepa: cannot create the settings file %s", path.c_str()));
}

bool SaveSettings(const SettingsRecord& record, ILog& log, const std::string& path, IFileOperations& files) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (!WriteStaysInside(path, folder)) {
        log.Warning(
            FormatLine("zepa: not writing the settings file %s: it leads out of its folder", path.c_str()));
        return false;
    }
    return WriteFileAtomically(path, FormatSettings(record), files);
}

}  // namespace zepa
