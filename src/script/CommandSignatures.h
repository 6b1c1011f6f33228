// The table of each command group: its sub-commands, each with its handler and what its arguments
// name (a window, a slot, an image or sound file), the error text the group shows for any other,
// and the number that must be in range before it does anything. The runner dispatches through
// these tables (SubCommandDispatch.h), and the script checker reads the same ones, so the two cannot
// disagree about what a statement means.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"

namespace zepa {

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

// One sub-command: its name, the handler that runs it, and the checks of its arguments.
struct SubCommand {
    std::string_view name;
    CommandHandler run = nullptr;
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
    std::span<const SubCommand> subCommands;
    UnknownSubCommand unknown = UnknownSubCommand::Accepted;
    std::string_view errorTextUtf8;  // the box text as UTF-8 (shown converted to CP932)
    // When not None, args[0] is read as a number first, and the whole statement is ignored, error
    // box included, unless it lies in this kind's range.
    ArgKind gate = ArgKind::None;
    // How args[0] is read first when there is no gate (ScriptArgs::subject).
    SubjectRead subject = SubjectRead::None;
    // Null, or false when the group has nothing to work on: the whole statement is then ignored,
    // error box included.
    bool (*available)(const ScriptContext& context) = nullptr;
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

const SubCommand* FindSubCommand(const CommandSignature& signature, std::string_view name);
// True when `name` is not a sub-command of the group and the group shows its box for it.
bool ShowsSubCommandError(const CommandSignature& signature, std::string_view name);

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
