#include "script/SoundCommand.h"

#include "app/MessageBox.h"
#include "audio/AudioChannels.h"
#include "platform/Cp932.h"

namespace zepa {
namespace {

bool IsSoundSubCommand(std::string_view subCommand) {
    for (std::string_view known : {"BGM", "BGS", "SE", "StopBGM", "StopBGS", "StopSE"}) {
        if (subCommand == known) return true;
    }
    return false;
}

}  // namespace

void RunSoundCommand(CAudioChannels* audio, std::string_view subCommand, const std::string& file) {
    if (!IsSoundSubCommand(subCommand)) {
        ShowMessageBox(Cp932("Soundについて文法ミス？"), "");
        return;
    }
    if (!audio) return;
    if (subCommand == "BGM") {
        audio->PlayBGM("Music/bgm/" + file);
    } else if (subCommand == "BGS") {
        audio->PlayBGS("Music/bgs/" + file);
    } else if (subCommand == "SE") {
        audio->PlaySE("Music/se/" + file);
    } else if (subCommand == "StopBGM") {
        audio->StopBGM();
    } else if (subCommand == "StopBGS") {
        audio->StopBGS();
    } else {
        audio->StopSE();
    }
}

}  // namespace zepa
