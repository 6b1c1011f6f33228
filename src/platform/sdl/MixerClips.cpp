#include "platform/sdl/MixerClips.h"

#include <algorithm>

namespace zepa {

// A few mixer buffers of silence: the voice of a sound played in pieces loops it.
MixerVoices::MixerVoices(size_t effectCacheBytes, PcmFormat output)
    : effects(effectCacheBytes), format(output), silentSamples(16384 * output.channels, 0) {
    silence = Mix_QuickLoad_RAW(silentSamples.data(), static_cast<Uint32>(silentSamples.size()));
}

MixerVoices::~MixerVoices() {
    if (silence) Mix_FreeChunk(silence);
}

void MixerVoices::Dispose(DecodedSound sound) {
    if (loader) {
        loader->Dispose(std::move(sound));
    } else {
        CLoadJob::Free(sound);
    }
}

CMixerClip::CMixerClip(std::shared_ptr<MixerVoices> voices, std::shared_ptr<CLoadJob> job)
    : voices_(std::move(voices)), job_(std::move(job)) {
    if (job_) voices_->loading.push_back(this);
}

CMixerClip::~CMixerClip() {
    if (job_) voices_->Dispose(job_->Cancel());
    StopLoading();
}

void CMixerClip::StopLoading() {
    job_.reset();
    std::erase(voices_->loading, this);
}

bool CMixerClip::Play(bool loopForever) {
    Settle();
    if (!failure_.empty()) return false;
    if (!loading()) return PlayNow(loopForever);
    wanted_ = true;
    loopForever_ = loopForever;
    Claim();
    return true;
}

bool CMixerClip::Settle() {
    if (!job_) return true;
    if (!job_->Done()) return false;
    DecodedSound sound = job_->Take();
    StopLoading();
    if (!sound.error.empty()) {
        failure_ = sound.error;
        wanted_ = false;
        return true;
    }
    Adopt(sound);
    if (wanted_ && !PlayNow(loopForever_)) failure_ = Mix_GetError();
    wanted_ = false;
    return true;
}

void CMixerClip::Abandon(const std::string& reason) {
    if (!job_) return;
    voices_->Dispose(job_->Cancel());
    StopLoading();
    failure_ = reason;
    wanted_ = false;
}

CMusicClip::~CMusicClip() {
    Stop();
    DecodedSound held;
    held.music = music_;
    voices_->Dispose(std::move(held));
}

void CMusicClip::Adopt(DecodedSound& sound) {
    music_ = sound.music;
    sound.music = nullptr;
}

// The music stream is this clip's from Play on: what played before stops at once. Each call into
// the mixer waits for the mixing thread to finish its buffer (with MIDI, a synthesizer's work), so
// the stream is halted only when another clip may be sounding on it: no owner means nothing plays.
void CMusicClip::Claim() {
    HaltOtherMusic();
    voices_->musicOwner = this;
}

void CMusicClip::HaltOtherMusic() {
    if (voices_->musicOwner && voices_->musicOwner != this) Mix_HaltMusic();
}

// Starting the music halts whatever plays on the stream first.
bool CMusicClip::PlayNow(bool loopForever) {
    if (!music_) return false;
    HaltOtherMusic();
    voices_->musicOwner = this;
    Mix_VolumeMusic(volume_);
    // For music, 1 means one pass and -1 forever.
    return Mix_PlayMusic(music_, loopForever ? -1 : 1) == 0;
}

void CMusicClip::Stop() {
    Unwant();
    if (!OwnsMusic()) return;
    Mix_HaltMusic();
    voices_->musicOwner = nullptr;
}

bool CMusicClip::IsPlaying() const {
    if (!OwnsMusic()) return false;
    return loading() ? wanted() : Mix_PlayingMusic() != 0;
}

void CMusicClip::SetVolume(int volume) {
    volume_ = std::clamp(volume, 0, kMaxClipVolume);
    if (!loading() && OwnsMusic()) Mix_VolumeMusic(volume_);
}

CChunkClip::CChunkClip(std::shared_ptr<MixerVoices> voices, std::shared_ptr<CLoadJob> job,
                       CEffectChunkCache::Chunk chunk, ClipUse use)
    : CMixerClip(std::move(voices), std::move(job)), chunk_(std::move(chunk)), use_(use) {}

CChunkClip::~CChunkClip() {
    Stop();
    // A sound played in pieces may have a MIDI synthesizer behind it, slow to delete.
    if (feed_) {
        DecodedSound held;
        held.source = feed_->ReleaseSource();
        voices_->Dispose(std::move(held));
    }
}

void CChunkClip::KeepAs(std::string path, CEffectChunkCache::Stamp stamp) {
    keepPath_ = std::move(path);
    keepStamp_ = stamp;
}

void CChunkClip::Adopt(DecodedSound& sound) {
    if (sound.source) feed_ = std::make_unique<CPcmFeed>(std::move(sound.source), voices_->format);
    chunk_ = std::move(sound.chunk);
    if (chunk_ && keepStamp_) voices_->effects.Keep(keepPath_, *keepStamp_, chunk_);
}

bool CChunkClip::PlayNow(bool loopForever) {
    Stop();
    const int voice = ChooseVoice();
    if (voice < 0 || (!chunk_ && !feed_)) return false;
    Mix_HaltChannel(voice);
    Mix_Volume(voice, volume_);
    const bool started = feed_ ? voices_->silence && feed_->Start(voice, voices_->silence, loopForever)
                               : Mix_PlayChannel(voice, chunk_.get(), loopForever ? -1 : 0) == voice;
    if (!started) return false;
    voice_ = voice;
    start_ = voices_->nextStart++;
    voices_->voiceStarts[voice] = start_;
    return true;
}

void CChunkClip::Stop() {
    Unwant();
    if (OwnsVoice()) Mix_HaltChannel(voice_);
    voice_ = -1;
}

bool CChunkClip::IsPlaying() const {
    if (loading()) return wanted();
    return OwnsVoice() && Mix_Playing(voice_) != 0;
}

void CChunkClip::SetVolume(int volume) {
    volume_ = std::clamp(volume, 0, kMaxClipVolume);
    if (OwnsVoice()) Mix_Volume(voice_, volume_);
}

int CChunkClip::ChooseVoice() const {
    if (use_ == ClipUse::Ambience) return kAmbienceVoice;
    const int free = Mix_GroupAvailable(kEffectGroup);
    return free >= 0 ? free : Mix_GroupOldest(kEffectGroup);
}

}  // namespace zepa
