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
    for (auto& stream : oggEffects_) stream.reset();
    seRingIndex_ = 0;
    if (device_) device_->Close();
    device_.reset();
    silent_ = true;
}

std::string CAudioChannels::LocateFile(const std::string& path) const {
    if (!device_) return "";
    return FindLooseFile(path, files_).value_or("");
}

void CAudioChannels::WarnUnplayable(const std::string& path, const char* what) const {
    log_.Warning(FormatLine("zepa: cannot play %s as %s: %s", Cp932ToUtf8(path).c_str(), what,
                            device_ ? device_->lastError().c_str() : "no audio device"));
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
    if (!started) WarnUnplayable(path, what);
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
        if (PlayOggEffect(file)) return true;
        WarnUnplayable(path, "a sound effect");
        return false;
    }
    // Finished effects are let go here, so the list stays as long as what is sounding.
    std::erase_if(effects_, [](const std::unique_ptr<IAudioClip>& clip) { return !clip->IsPlaying(); });
    std::unique_ptr<IAudioClip> clip = device_->Load(file, ClipUse::Effect);
    if (clip) {
        clip->SetVolume(MixerVolume(seVolume_));
        if (clip->Play(false)) {
            effects_.push_back(std::move(clip));
            return true;
        }
    }
    WarnUnplayable(path, "a sound effect");
    return false;
}

bool CAudioChannels::PlayOggEffect(const std::string& file) {
    std::unique_ptr<COggStream>& slot = oggEffects_[seRingIndex_];
    slot.reset();
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
    for (auto& stream : oggEffects_) stream.reset();
    effects_.clear();
    return true;
}

void CAudioChannels::ApplyVolumes(int bgm, int bgs, int se) {
    SetLoopVolume(bgm_, static_cast<float>(bgm));
    SetLoopVolume(bgs_, static_cast<float>(bgs));
    seVolume_ = static_cast<float>(se);
    for (auto& stream : oggEffects_) {
        if (stream) stream->SetVolume(seVolume_);
    }
    for (auto& clip : effects_) clip->SetVolume(MixerVolume(seVolume_));
}

bool CAudioChannels::BgmPlaying() const {
    return LoopPlaying(bgm_);
}

bool CAudioChannels::BgsPlaying() const {
    return LoopPlaying(bgs_);
}

bool CAudioChannels::OggEffectPlaying(int slot) const {
    if (slot < 0 || slot >= kOggEffectRing) return false;
    return oggEffects_[slot] && oggEffects_[slot]->IsPlaying();
}

int CAudioChannels::SePlayingCount() const {
    int count = 0;
    for (int slot = 0; slot < kOggEffectRing; ++slot) count += OggEffectPlaying(slot) ? 1 : 0;
    for (const auto& clip : effects_) count += clip->IsPlaying() ? 1 : 0;
    return count;
}

}  // namespace zepa
