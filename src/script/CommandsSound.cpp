// The Sound statement: plays or stops a channel of the stage's audio. The file name, relative to
// the channel's folder, is read first whatever the sub-command. Without a stage the known
// sub-commands do nothing; unknown ones still show the box. Results of the play calls are not
// looked at: a missing or unplayable file is silent.
#include <string>
#include <string_view>

#include "audio/AudioChannels.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/SoundCommand.h"
#include "stage/StageRecord.h"

namespace zepa {
namespace {

template <void (*Act)(CAudioChannels&, const std::string& file)>
StepAction OnAudio(ScriptContext& context, const ScriptArgs& args) {
    if (StageRecord* stage = context.stage()) Act(stage->audio, args.subjectText());
    return StepAction::Continue;
}

std::string InFolder(std::string_view folder, const std::string& file) {
    return std::string(folder) + file;
}

void PlayBGM(CAudioChannels& audio, const std::string& file) {
    audio.PlayBGM(InFolder(kMusicFolder, file));
}
void PlayBGS(CAudioChannels& audio, const std::string& file) {
    audio.PlayBGS(InFolder(kAmbientFolder, file));
}
void PlaySE(CAudioChannels& audio, const std::string& file) {
    audio.PlaySE(InFolder(kEffectFolder, file));
}
void StopBGM(CAudioChannels& audio, const std::string&) {
    audio.StopBGM();
}
void StopBGS(CAudioChannels& audio, const std::string&) {
    audio.StopBGS();
}
void StopSE(CAudioChannels& audio, const std::string&) {
    audio.StopSE();
}

constexpr SubCommand kSoundSubCommands[] = {
    {"BGM", OnAudio<PlayBGM>, {{0, ArgKind::MusicFile}}},
    {"BGS", OnAudio<PlayBGS>, {{0, ArgKind::AmbientFile}}},
    {"SE", OnAudio<PlaySE>, {{0, ArgKind::EffectFile}}},
    {"StopBGM", OnAudio<StopBGM>},
    {"StopBGS", OnAudio<StopBGS>},
    {"StopSE", OnAudio<StopSE>},
};

}  // namespace

const CommandSignature kSoundSignature{
    .keyword = "Sound",
    .subCommands = kSoundSubCommands,
    .unknown = UnknownSubCommand::ErrorAlways,
    .errorTextUtf8 = "Soundについて文法ミス？",
    .subject = SubjectRead::String,
};

}  // namespace zepa
