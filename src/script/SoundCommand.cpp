#include "script/SoundCommand.h"

#include "audio/AudioChannels.h"
#include "script/CommandSignatures.h"

namespace zepa {
namespace {

constexpr SubCommandSignature kSoundSubCommands[] = {
    {"BGM", {{0, ArgKind::MusicFile}}},
    {"BGS", {{0, ArgKind::AmbientFile}}},
    {"SE", {{0, ArgKind::EffectFile}}},
    {"StopBGM"},
    {"StopBGS"},
    {"StopSE"},
};

std::string InFolder(std::string_view folder, const std::string& file) {
    return std::string(folder) + file;
}

}  // namespace

const CommandSignature kSoundSignature{"Sound", kSoundSubCommands, UnknownSubCommand::ErrorAlways,
                                       "Soundについて文法ミス？"};

void RunSoundCommand(CAudioChannels* audio, std::string_view subCommand, const std::string& file,
                     CMessageBoxes& boxes) {
    if (!FindSubCommand(kSoundSignature, subCommand)) {
        ReportUnknownSubCommand(kSoundSignature, boxes);
        return;
    }
    if (!audio) return;
    if (subCommand == "BGM") {
        audio->PlayBGM(InFolder(kMusicFolder, file));
    } else if (subCommand == "BGS") {
        audio->PlayBGS(InFolder(kAmbientFolder, file));
    } else if (subCommand == "SE") {
        audio->PlaySE(InFolder(kEffectFolder, file));
    } else if (subCommand == "StopBGM") {
        audio->StopBGM();
    } else if (subCommand == "StopBGS") {
        audio->StopBGS();
    } else {
        audio->StopSE();
    }
}

}  // namespace zepa
