#include "script/CommandSignatures.h"

#include <string>

#include "script/SoundCommand.h"
#include "script/VariableStore.h"
#include "stage/BackGround.h"
#include "stage/CharaGraphics.h"
#include "stage/PictureSet.h"
#include "windows/WindowSet.h"

namespace zepa {

const SubCommand* FindSubCommand(const CommandSignature& signature, std::string_view name) {
    for (const SubCommand& entry : signature.subCommands) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

bool ShowsSubCommandError(const CommandSignature& signature, std::string_view name) {
    if (FindSubCommand(signature, name)) return false;
    switch (signature.unknown) {
        case UnknownSubCommand::Accepted:
            return false;
        case UnknownSubCommand::ErrorUnlessEmpty:
            return !name.empty();
        case UnknownSubCommand::ErrorAlways:
            return true;
    }
    return false;
}

std::optional<NumberRange> RangeOf(ArgKind kind) {
    switch (kind) {
        case ArgKind::WindowNumber:
            return NumberRange{0, CWindowSet::kWindowCount - 1};
        case ArgKind::CharacterSlot:
            return NumberRange{0, CCharaGraphics::kSlotCount - 1};
        case ArgKind::PictureNumber:
            return NumberRange{0, CPictureSet::kPictureCount - 1};
        case ArgKind::SpriteNumber:
            return NumberRange{0, CPictureSet::kSpriteCount - 1};
        case ArgKind::IntVariable:
            return NumberRange{0, CVariableStore::kIntCount - 1};
        case ArgKind::StringVariable:
            return NumberRange{0, CVariableStore::kStringCount - 1};
        default:
            return std::nullopt;
    }
}

std::string_view OutOfRangeOutcome(ArgKind kind) {
    return kind == ArgKind::IntVariable || kind == ArgKind::StringVariable
               ? "the result is lost"
               : "the engine ignores the statement";
}

std::string_view FolderOf(ArgKind kind) {
    switch (kind) {
        case ArgKind::BackgroundImage:
            return CBackGround::kFolder;
        case ArgKind::CharacterImage:
            return CCharaGraphics::kFolder;
        case ArgKind::PictureImage:
            return CPictureSet::kPictureFolder;
        case ArgKind::MusicFile:
            return kMusicFolder;
        case ArgKind::AmbientFile:
            return kAmbientFolder;
        case ArgKind::EffectFile:
            return kEffectFolder;
        default:
            return {};
    }
}

bool IsKnownName(ArgKind kind, const std::string& name) {
    switch (kind) {
        case ArgKind::BackgroundTransition:
            return name.empty() || name == "flash" ||
                   CBackGround::TransitionFromName(name) != CBackGround::kCut;
        case ArgKind::BackgroundShake:
            return CBackGround::ShakeFromName(name) != CBackGround::kShakeNone;
        case ArgKind::CharacterTransition:
            return name.empty() || name == "flash" ||
                   CCharaGraphics::TransitionFromName(name) != CCharaGraphics::kCut;
        case ArgKind::CharacterMovement:
            return name == "default" || CCharaGraphics::MoveFromName(name) != CCharaGraphics::kMoveJump;
        case ArgKind::WindowEffect:
            return name == "flash" || CWindowBase::EffectFromName(name) != kEffectFlash;
        default:
            return true;
    }
}

std::string_view UnknownNameOutcome(ArgKind kind) {
    switch (kind) {
        case ArgKind::BackgroundTransition:
        case ArgKind::CharacterTransition:
            return "the engine changes the picture at once";
        case ArgKind::BackgroundShake:
            return "the engine does not shake";
        case ArgKind::CharacterMovement:
            return "the engine moves as \"default\"";
        case ArgKind::WindowEffect:
            return "the engine opens the window with \"flash\"";
        default:
            return {};
    }
}

std::string_view DescribeKind(ArgKind kind) {
    switch (kind) {
        case ArgKind::None:
            return "argument";
        case ArgKind::WindowNumber:
            return "window number";
        case ArgKind::CharacterSlot:
            return "character slot";
        case ArgKind::PictureNumber:
            return "picture number";
        case ArgKind::SpriteNumber:
            return "sprite number";
        case ArgKind::IntVariable:
            return "integer variable";
        case ArgKind::StringVariable:
            return "string variable";
        case ArgKind::BackgroundImage:
            return "background image";
        case ArgKind::CharacterImage:
            return "character image";
        case ArgKind::PictureImage:
            return "picture image";
        case ArgKind::MusicFile:
            return "BGM file";
        case ArgKind::AmbientFile:
            return "BGS file";
        case ArgKind::EffectFile:
            return "sound effect file";
        case ArgKind::BackgroundTransition:
        case ArgKind::CharacterTransition:
            return "transition";
        case ArgKind::BackgroundShake:
            return "shake";
        case ArgKind::CharacterMovement:
            return "movement";
        case ArgKind::WindowEffect:
            return "opening effect";
    }
    return "argument";
}

}  // namespace zepa
