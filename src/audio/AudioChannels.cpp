#include "audio/AudioChannels.h"

#include <algorithm>
#include <cstdio>

#include "platform/Cp932.h"
#include "resources/ResourceFiles.h"

namespace zepa {

bool CAudioChannels::InitAudio(std::unique_ptr<IAudioDevice> device) {
    ReleaseAudio();
    device_ = std::move(device);
    silent_ = !device_ || !device_->Open();
    if (silent_) {
        log_.Warning(FormatLine("zepa: no audio device could be opened (%s); the game runs without sound",
                                device_ ? device_->lastError().c_str() : "none available"));
        device_ = CreateSilentAudioDevice();
        device_->Open();
    }
    return true;
}

void CAudioChannels::ReleaseAudio() {
    StopLoop(bgm_);
    StopLoop(bgs_);
    effects_.clear();
    for (auto& effect : oggEffects_) effect = {};
    seRingIndex_ = 0;
    if (device_) device_->Close();
    device_.reset();
    silent_ = true;
}

std::string CAudioChannels::LocateFile(const std::string& path) const {
    if (!device_) return "";
    return FindLooseFile(path, files_).value_or("");
}

// A clip that failed knows why; else the device's last error says.
void CAudioChannels::WarnUnplayable(const std::string& path, const char* what,
                                    const std::string& reason) const {
    const std::string why = !reason.empty() ? reason : device_ ? device_->lastError() : "no audio device";
    log_.Warning(FormatLine("zepa: cannot play %s as %s: %s", Cp932ToUtf8(path).c_str(), what, why.c_str()));
}

bool CAudioChannels::Update() {
    if (!device_) return false;
    const bool loading = device_->Poll();
    ReportFailedLoads();
    return loading;
}

// A failed clip is let go; a looping channel keeps its name, as when the file fails at once.
void CAudioChannels::ReportFailedLoads() {
    ReportFailedLoop(bgm_, "background music");
    ReportFailedLoop(bgs_, "background sound");
    for (OggEffect& effect : oggEffects_) {
        if (!effect.stream || effect.stream->failure().empty()) continue;
        WarnUnplayable(effect.name, "a sound effect", effect.stream->failure());
        effect.stream.reset();
    }
    std::erase_if(effects_, [this](const Effect& effect) {
        if (effect.clip->failure().empty()) return false;
        WarnUnplayable(effect.name, "a sound effect", effect.clip->failure());
        return true;
    });
}

std::string CAudioChannels::LoopFailure(const LoopChannel& channel) {
    return channel.stream ? channel.stream->failure() : channel.segment ? channel.segment->failure() : "";
}

void CAudioChannels::ReportFailedLoop(LoopChannel& channel, const char* what) {
    const std::string failure = LoopFailure(channel);
    if (failure.empty()) return;
    WarnUnplayable(channel.name, what, failure);
    StopLoop(channel);
}

bool CAudioChannels::PlayLoop(LoopChannel& channel, const std::string& path, ClipUse use, const char* what) {
    channel.name = path;
    StopLoop(channel);
    const SoundFormat format = SoundFormatOf(path);
    if (format == SoundFormat::Unsupported) return false;
    const std::string file = LocateFile(path);
    if (file.empty()) return false;
    bool started = false;
    if (format == SoundFormat::OggVorbis) {
        channel.stream = COggStream::CreateFromFile(*device_, file, use);
        if (channel.stream) {
            channel.stream->SetVolume(channel.volume);
            started = channel.stream->Play(-1);
        }
    } else {
        channel.segment = device_->Load(file, use);
        if (channel.segment) {
            channel.segment->SetVolume(MixerVolume(channel.volume));
            started = channel.segment->Play(true);
        }
    }
    if (!started) {
        WarnUnplayable(path, what, LoopFailure(channel));
        StopLoop(channel);  // warned once: not again when the channel is polled
    }
    return started;
}

void CAudioChannels::StopLoop(LoopChannel& channel) {
    channel.stream.reset();
    channel.segment.reset();
}

bool CAudioChannels::LoopPlaying(const LoopChannel& channel) {
    return (channel.stream && channel.stream->IsPlaying()) ||
           (channel.segment && channel.segment->IsPlaying());
}

void CAudioChannels::SetLoopVolume(LoopChannel& channel, float volume) {
    channel.volume = volume;
    if (channel.stream) channel.stream->SetVolume(volume);
    if (channel.segment) channel.segment->SetVolume(MixerVolume(volume));
}

bool CAudioChannels::PlayBGM(const std::string& path) {
    return PlayLoop(bgm_, path, ClipUse::Music, "background music");
}

bool CAudioChannels::PlayBGS(const std::string& path) {
    return PlayLoop(bgs_, path, ClipUse::Ambience, "background sound");
}

bool CAudioChannels::PlaySE(const std::string& path) {
    const SoundFormat format = SoundFormatOf(path);
    if (format == SoundFormat::Unsupported) return false;
    const std::string file = LocateFile(path);
    if (file.empty()) return false;
    if (format == SoundFormat::OggVorbis) {
        if (PlayOggEffect(path, file)) return true;
        OggEffect& failed = oggEffects_[seRingIndex_];
        WarnUnplayable(path, "a sound effect", failed.stream ? failed.stream->failure() : "");
        failed = {};
        return false;
    }
    // Finished effects are let go here, so the list stays as long as what is sounding.
    std::erase_if(effects_, [](const Effect& effect) { return !effect.clip->IsPlaying(); });
    if (effects_.size() >= kMaxEffects) effects_.erase(effects_.begin());
    std::unique_ptr<IAudioClip> clip = device_->Load(file, ClipUse::Effect);
    if (clip) {
        clip->SetVolume(MixerVolume(seVolume_));
        if (clip->Play(false)) {
            effects_.push_back({path, std::move(clip)});
            return true;
        }
    }
    WarnUnplayable(path, "a sound effect", clip ? clip->failure() : "");
    return false;
}

bool CAudioChannels::PlayOggEffect(const std::string& path, const std::string& file) {
    oggEffects_[seRingIndex_] = {};
    oggEffects_[seRingIndex_].name = path;
    std::unique_ptr<COggStream>& slot = oggEffects_[seRingIndex_].stream;
    slot = COggStream::CreateFromFile(*device_, file, ClipUse::Effect);
    if (!slot) return false;
    slot->SetVolume(seVolume_);
    if (!slot->Play(0)) return false;
    seRingIndex_ = (seRingIndex_ + 1) % kOggEffectRing;
    return true;
}

bool CAudioChannels::StopBGM() {
    bgm_.name.clear();
    StopLoop(bgm_);
    return true;
}

bool CAudioChannels::StopBGS() {
    bgs_.name.clear();
    StopLoop(bgs_);
    return true;
}

bool CAudioChannels::StopSE() {
    for (auto& effect : oggEffects_) effect = {};
    effects_.clear();
    return true;
}

void CAudioChannels::ApplyVolumes(int bgm, int bgs, int se) {
    SetLoopVolume(bgm_, static_cast<float>(bgm));
    SetLoopVolume(bgs_, static_cast<float>(bgs));
    seVolume_ = static_cast<float>(se);
    for (auto& effect : oggEffects_) {
        if (effect.stream) effect.stream->SetVolume(seVolume_);
    }
    for (auto& effect : effects_) effect.clip->SetVolume(MixerVolume(seVolume_));
}

bool CAudioChannels::BgmPlaying() const {
    return LoopPlaying(bgm_);
}

bool CAudioChannels::BgsPlaying() const {
    return LoopPlaying(bgs_);
}

bool CAudioChannels::OggEffectPlaying(int slot) const {
    if (slot < 0 || slot >= kOggEffectRing) return false;
    return oggEffects_[slot].stream && oggEffects_[slot].stream->IsPlaying();
}

int CAudioChannels::SePlayingCount() const {
    int count = 0;
    for (int slot = 0; slot < kOggEffectRing; ++slot) count += OggEffectPlaying(slot) ? 1 : 0;
    for (const auto& effect : effects_) count += effect.clip->IsPlaying() ? 1 : 0;
    return count;
}

}  // namespace zepa
