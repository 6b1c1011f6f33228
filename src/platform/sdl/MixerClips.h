// The clips of the SDL2_mixer device: music (a Mix_Music on the one music stream) and chunks
// (ambience on the reserved voice, effects on the effect group). A clip may still be loading on
// the device's worker: it then counts as sounding from Play on and starts when the device polls
// it after the load finished; Stop, volume and a newer Play before that apply when it starts.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/sdl/EffectChunkCache.h"
#include "platform/sdl/PcmFeed.h"
#include "platform/sdl/SoundLoader.h"

namespace zepa {

inline constexpr int kMixerVoices = 32;
inline constexpr int kAmbienceVoice = 0;
inline constexpr int kEffectGroup = 1;

class CMixerClip;

// What the clips of one open device share: which music clip owns the music stream, which start is
// the latest on each voice (a clip whose voice was taken over no longer controls it), the decoded
// effects, the clips still loading, what a sound played in pieces needs (the output's format and a
// silent chunk for its voice to loop), and the loader that frees what clips let go of.
struct MixerVoices {
    MixerVoices(size_t effectCacheBytes, PcmFormat output);
    ~MixerVoices();
    MixerVoices(const MixerVoices&) = delete;
    MixerVoices& operator=(const MixerVoices&) = delete;
    const void* musicOwner = nullptr;
    std::array<uint64_t, kMixerVoices> voiceStarts{};
    uint64_t nextStart = 1;
    CEffectChunkCache effects;
    std::vector<CMixerClip*> loading;
    PcmFormat format;
    std::vector<uint8_t> silentSamples;
    Mix_Chunk* silence = nullptr;  // over silentSamples
    CSoundLoader* loader = nullptr;  // while the device is open

    // Frees what a clip lets go of on the loader's thread while there is one, so that the frame
    // that changes the music does not wait for the old synthesizer to stop.
    void Dispose(DecodedSound sound);
};

class CMixerClip : public IAudioClip {
  public:
    ~CMixerClip() override;
    bool Play(bool loopForever) final;
    std::string failure() const final { return failure_; }
    // Takes a finished load and starts the clip when it was asked to; false while still loading.
    bool Settle();
    // The load will not finish (the device closes): the clip fails.
    void Abandon(const std::string& reason);

  protected:
    CMixerClip(std::shared_ptr<MixerVoices> voices, std::shared_ptr<CLoadJob> job);
    bool loading() const { return job_ != nullptr; }
    // Whether the clip counts as sounding while it loads.
    bool wanted() const { return wanted_; }
    void Unwant() { wanted_ = false; }
    virtual void Adopt(DecodedSound& sound) = 0;
    virtual void Claim() {}  // Play while loading: what the clip takes over at once
    virtual bool PlayNow(bool loopForever) = 0;

    std::shared_ptr<MixerVoices> voices_;
    int volume_ = kMaxClipVolume;

  private:
    void StopLoading();

    std::shared_ptr<CLoadJob> job_;
    std::string failure_;
    bool wanted_ = false;
    bool loopForever_ = false;
};

class CMusicClip final : public CMixerClip {
  public:
    CMusicClip(std::shared_ptr<MixerVoices> voices, std::shared_ptr<CLoadJob> job)
        : CMixerClip(std::move(voices), std::move(job)) {}
    ~CMusicClip() override;
    void Stop() override;
    bool IsPlaying() const override;
    void SetVolume(int volume) override;

  private:
    void Adopt(DecodedSound& sound) override;
    void Claim() override;
    bool PlayNow(bool loopForever) override;
    void HaltOtherMusic();
    bool OwnsMusic() const { return voices_->musicOwner == this; }

    Mix_Music* music_ = nullptr;
};

class CChunkClip final : public CMixerClip {
  public:
    // `job` null: `chunk` is ready. `stamp` set: the effect cache keeps the decoded chunk.
    CChunkClip(std::shared_ptr<MixerVoices> voices, std::shared_ptr<CLoadJob> job,
               CEffectChunkCache::Chunk chunk, ClipUse use);
    ~CChunkClip() override;
    void KeepAs(std::string path, CEffectChunkCache::Stamp stamp);
    void Stop() override;
    bool IsPlaying() const override;
    void SetVolume(int volume) override;

  private:
    void Adopt(DecodedSound& sound) override;
    bool PlayNow(bool loopForever) override;
    int ChooseVoice() const;
    bool OwnsVoice() const { return voice_ >= 0 && voices_->voiceStarts[voice_] == start_; }

    CEffectChunkCache::Chunk chunk_;  // shared with the effect cache and other clips of the file
    std::unique_ptr<CPcmFeed> feed_;  // instead of chunk_: a sound played in pieces
    ClipUse use_;
    std::string keepPath_;
    std::optional<CEffectChunkCache::Stamp> keepStamp_;
    int voice_ = -1;
    uint64_t start_ = 0;
};

}  // namespace zepa
