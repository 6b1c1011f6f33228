// What each command group accepts: its sub-commands, the error text it shows for any other, the
// number that must be in range before it does anything, and what some arguments name (a window,
// a slot, an image or sound file). The command handlers look sub-commands up here, and the script
// checker reads the same tables, so the two cannot disagree about what a statement means.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zepa {

class CMessageBoxes;

// What an argument names, for the checks that can be made before the game runs.
enum class ArgKind : unsigned char {
    None,
    WindowNumber,          // a message or selection window, 0..9
    CharacterSlot,         // a character slot, 0..5
    PictureNumber,         // a picture or text picture slot, 0..63
    SpriteNumber,          // a sprite, 0..255
    IntVariable,           // the number of an integer variable that receives a result, 0..65535
    StringVariable,        // the number of a string variable that receives a result, 0..4095
    BackgroundImage,       // a file under the background folder
    CharacterImage,        // a file under the character folder
    PictureImage,          // a file under the picture folder
    MusicFile,             // a file under the BGM folder
    AmbientFile,           // a file under the BGS folder
    EffectFile,            // a file under the SE folder
    BackgroundTransition,  // the names a background change knows
    BackgroundShake,       // the names a background shake knows
    CharacterTransition,   // the names a character change knows
    CharacterMovement,     // "default" or "linear"
    WindowEffect,          // a window's opening effect
};

struct ArgCheck {
    int index = -1;  // argument slot; -1 ends the list
    ArgKind kind = ArgKind::None;
};

struct SubCommandSignature {
    std::string_view name;
    ArgCheck checks[4] = {};
};

// When a sub-command that is not in the table shows the group's error box.
enum class UnknownSubCommand : unsigned char {
    Accepted,          // never (any sub-command does nothing)
    ErrorUnlessEmpty,  // a written, unknown sub-command
    ErrorAlways,       // also a missing one
};

struct CommandSignature {
    std::string_view keyword;
    std::span<const SubCommandSignature> subCommands;
    UnknownSubCommand unknown = UnknownSubCommand::Accepted;
    std::string_view errorTextUtf8;  // the box text as UTF-8 (shown converted to CP932)
    // When not None, the whole statement is ignored, error box included, unless args[0] lies in
    // this kind's range.
    ArgKind gate = ArgKind::None;
};

// The groups with sub-commands, defined next to their handlers.
extern const CommandSignature kBackgroundSignature;
extern const CommandSignature kCharacterSignature;
extern const CommandSignature kPictureSignature;
extern const CommandSignature kTextPictureSignature;
extern const CommandSignature kSpriteSignature;
extern const CommandSignature kMessageWindowSignature;
extern const CommandSignature kSelectWindowSignature;
extern const CommandSignature kSoundSignature;
extern const CommandSignature kSaveDataSignature;

// The box text for a keyword no command has.
inline constexpr std::string_view kUnknownKeywordTextUtf8 = "文法ミス？";

const SubCommandSignature* FindSubCommand(const CommandSignature& signature, std::string_view name);
// True when `name` is not a sub-command of the group and the group shows its box for it.
bool ShowsSubCommandError(const CommandSignature& signature, std::string_view name);
// Shows the group's error box.
void ReportUnknownSubCommand(const CommandSignature& signature, CMessageBoxes& boxes);

struct NumberRange {
    int low = 0;
    int high = 0;
};
// The numbers a kind accepts (nullopt for file kinds and None).
std::optional<NumberRange> RangeOf(ArgKind kind);
// What the engine does with a number of this kind outside its range, for messages.
std::string_view OutOfRangeOutcome(ArgKind kind);
// The folder the command puts before a file name of this kind (empty for number kinds).
std::string_view FolderOf(ArgKind kind);
// False when `name` is none of the names a name kind knows (always true for other kinds).
bool IsKnownName(ArgKind kind, const std::string& name);
// What the engine does with an unknown name of this kind, for messages.
std::string_view UnknownNameOutcome(ArgKind kind);
// A short English name of the kind, for messages ("window number", "background image").
std::string_view DescribeKind(ArgKind kind);

}  // namespace zepa
