#include "platform/sdl/SdlMixerAudio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/SoundFontLookup.h"
#include "platform/sdl/EffectChunkCache.h"

namespace zepa {
namespace {

constexpr int kFrequency = 44100;
constexpr int kChunkFrames = 1024;
constexpr int kVoices = 32;
constexpr int kAmbienceVoice = 0;
constexpr int kEffectGroup = 1;
constexpr size_t kEffectCacheBytes = 32u << 20;  // about three minutes of decoded stereo samples

// What the clips of one open device share: which music clip owns the music stream, and which
// start is the latest on each voice (a clip whose voice was taken over no longer controls it).
struct MixerVoices {
    const void* musicOwner = nullptr;
    std::array<uint64_t, kVoices> voiceStarts{};
    uint64_t nextStart = 1;
};

class CMusicClip : public IAudioClip {
  public:
    CMusicClip(std::shared_ptr<MixerVoices> voices, Mix_Music* music)
        : voices_(std::move(voices)), music_(music) {}
    ~CMusicClip() override {
        Stop();
        Mix_FreeMusic(music_);
    }
    bool Play(bool loopForever) override {
        Mix_HaltMusic();
        voices_->musicOwner = this;
        Mix_VolumeMusic(volume_);
        // For music, 1 means one pass and -1 forever.
        return Mix_PlayMusic(music_, loopForever ? -1 : 1) == 0;
    }
    void Stop() override {
        if (!OwnsMusic()) return;
        Mix_HaltMusic();
        voices_->musicOwner = nullptr;
    }
    bool IsPlaying() const override { return OwnsMusic() && Mix_PlayingMusic() != 0; }
    void SetVolume(int volume) override {
        volume_ = std::clamp(volume, 0, kMaxClipVolume);
        if (OwnsMusic()) Mix_VolumeMusic(volume_);
    }

  private:
    bool OwnsMusic() const { return voices_->musicOwner == this; }

    std::shared_ptr<MixerVoices> voices_;
    Mix_Music* music_;
    int volume_ = kMaxClipVolume;
};

class CChunkClip : public IAudioClip {
  public:
    CChunkClip(std::shared_ptr<MixerVoices> voices, CEffectChunkCache::Chunk chunk, ClipUse use)
        : voices_(std::move(voices)), chunk_(std::move(chunk)), use_(use) {}
    ~CChunkClip() override { Stop(); }
    bool Play(bool loopForever) override {
        Stop();
        const int voice = ChooseVoice();
        if (voice < 0) return false;
        Mix_HaltChannel(voice);
        Mix_Volume(voice, volume_);
        if (Mix_PlayChannel(voice, chunk_.get(), loopForever ? -1 : 0) != voice) return false;
        voice_ = voice;
        start_ = voices_->nextStart++;
        voices_->voiceStarts[voice] = start_;
        return true;
    }
    void Stop() override {
        if (OwnsVoice()) Mix_HaltChannel(voice_);
        voice_ = -1;
    }
    bool IsPlaying() const override { return OwnsVoice() && Mix_Playing(voice_) != 0; }
    void SetVolume(int volume) override {
        volume_ = std::clamp(volume, 0, kMaxClipVolume);
        if (OwnsVoice()) Mix_Volume(voice_, volume_);
    }

  private:
    int ChooseVoice() const {
        if (use_ == ClipUse::Ambience) return kAmbienceVoice;
        const int free = Mix_GroupAvailable(kEffectGroup);
        return free >= 0 ? free : Mix_GroupOldest(kEffectGroup);
    }
    bool OwnsVoice() const { return voice_ >= 0 && voices_->voiceStarts[voice_] == start_; }

    std::shared_ptr<MixerVoices> voices_;
    CEffectChunkCache::Chunk chunk_;  // shared with the effect cache and other clips of the file
    ClipUse use_;
    int voice_ = -1;
    uint64_t start_ = 0;
    int volume_ = kMaxClipVolume;
};

class CSdlMixerDevice : public IAudioDevice {
  public:
    explicit CSdlMixerDevice(const char* defaultDriver) {
        if (defaultDriver) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, defaultDriver, SDL_HINT_DEFAULT);
    }
    ~CSdlMixerDevice() override { Close(); }

    bool Open() override {
        if (open_) return true;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail();
        Mix_Init(MIX_INIT_OGG | MIX_INIT_MID);
        UseGeneralMidiSoundFont();
        if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
            Fail();
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        Mix_AllocateChannels(kVoices);
        Mix_ReserveChannels(kAmbienceVoice + 1);
        Mix_GroupChannels(kAmbienceVoice + 1, kVoices - 1, kEffectGroup);
        voices_ = std::make_shared<MixerVoices>();
        open_ = true;
        return true;
    }

    void Close() override {
        if (!open_) return;
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        effects_.Clear();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

    bool IsOpen() const override { return open_; }

    std::unique_ptr<IAudioClip> Load(const std::string& path, ClipUse use) override {
        if (!open_) {
            lastError_ = "the audio device is not open";
            return nullptr;
        }
        if (!IsRegularFile(path)) {
            lastError_ = "no such file";
            return nullptr;
        }
        if (use == ClipUse::Music) {
            Mix_Music* music = Mix_LoadMUS(path.c_str());
            if (!music) return FailLoad();
            return std::make_unique<CMusicClip>(voices_, music);
        }
        CEffectChunkCache::Chunk chunk =
            use == ClipUse::Effect ? effects_.Load(path)
                                   : CEffectChunkCache::Chunk(Mix_LoadWAV(path.c_str()), Mix_FreeChunk);
        if (!chunk) return FailLoad();
        return std::make_unique<CChunkClip>(voices_, std::move(chunk), use);
    }

    const std::string& lastError() const override { return lastError_; }
    std::string driverName() const override {
        const char* name = open_ ? SDL_GetCurrentAudioDriver() : nullptr;
        return name ? name : "";
    }

  private:
    // MIDI needs a General MIDI soundfont; the one the engine depends on is used unless the user
    // names another in SDL_SOUNDFONTS. Without any, MIDI is silent: said once, the rest plays.
    void UseGeneralMidiSoundFont() {
        const char* variable = std::getenv("SDL_SOUNDFONTS");
        const SoundFontChoice choice =
            ChooseSoundFont(variable ? std::optional<std::string>(variable) : std::nullopt,
                            [](const std::string& path) { return IsRegularFile(path); });
        if (!choice.toSet.empty()) Mix_SetSoundFonts(choice.toSet.c_str());
        if (choice.warning && !warnedNoSoundFont_) {
            std::fprintf(stderr, "%s\n", choice.warning->c_str());
            warnedNoSoundFont_ = true;
        }
    }
    bool Fail() {
        lastError_ = SDL_GetError();
        return false;
    }
    std::unique_ptr<IAudioClip> FailLoad() {
        lastError_ = Mix_GetError();
        return nullptr;
    }

    bool open_ = false;
    bool warnedNoSoundFont_ = false;
    std::shared_ptr<MixerVoices> voices_;
    CEffectChunkCache effects_{kEffectCacheBytes};
    std::string lastError_;
};

}  // namespace

std::unique_ptr<IAudioDevice> CreateSdlMixerDevice(const char* defaultDriver) {
    return std::make_unique<CSdlMixerDevice>(defaultDriver);
}

}  // namespace zepa
