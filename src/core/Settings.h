// The player's settings and the settings file "option.ini": twelve "KEY=value" lines in a fixed
// order (not a general key-value file). Lines end in CR LF on disk so the file moves between the
// Windows and Linux copies of a game; reading accepts CR LF and LF.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/FileOperations.h"

namespace zepa {

class ILog;

struct SettingsRecord {
    int messageSpeed = 2;  // characters typed per frame in message windows
    int bgmVolume = 100;   // 0 to 100
    int bgsVolume = 100;
    int seVolume = 100;
    int buttonOk = 1;  // joystick button numbers folded into the logical buttons
    int buttonCancel = 2;
    int buttonStart = 3;
    int buttonSelect = 4;
    int buttonX = 5;
    int buttonY = 6;
    int buttonL = 7;
    int buttonR = 8;

    bool operator==(const SettingsRecord&) const = default;
};

// One line of the file: its key and the record member it holds.
struct SettingsField {
    const char* key;
    int SettingsRecord::*member;
};
// The twelve lines in file order.
extern const std::array<SettingsField, 12> kSettingsFields;

inline constexpr const char* kSettingsFileName = "option.ini";

// Reads the lines of `text` in file order into `record`, each as "KEY=" followed by a decimal
// number (white space before the number and between lines is skipped). Reading stops at the
// first line that does not match the expected key or number; the members it did not reach keep
// their values. Returns how many values were read (0 to 12).
int ParseSettings(std::string_view text, SettingsRecord& record);

// The file's text for `record`: twelve "KEY=value" lines, each ending in CR LF.
std::string FormatSettings(const SettingsRecord& record);

// Fills `record` from the file at `path`. Values are taken as they are (no clamping); values the
// file leaves unread keep their defaults and the file is not rewritten. A missing file is
// created with the defaults. A file that exists but cannot be read gives the defaults and is
// left alone, so a player's file is never replaced by one we could not read.
void LoadSettings(SettingsRecord& record, ILog& log, const std::string& path = kSettingsFileName);

// Writes `record` to the file at `path`, crash-safe: false (with the old file intact) when it
// cannot be written. A path that is a symbolic link (or in a linked folder) leading out of the
// folder the file is named in is refused with a warning in `log`.
bool SaveSettings(const SettingsRecord& record, ILog& log, const std::string& path = kSettingsFileName,
                  IFileOperations& files = RealFileOperations());

}  // namespace zepa
