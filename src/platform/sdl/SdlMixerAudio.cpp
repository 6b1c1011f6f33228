#include "platform/sdl/SdlMixerAudio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/SoundFontLookup.h"
#include "platform/sdl/MixerClips.h"
#include "platform/sdl/SoundLoader.h"

namespace zepa {
namespace {

constexpr int kFrequency = 44100;
constexpr int kChunkFrames = 1024;
constexpr size_t kEffectCacheBytes = 32u << 20;  // about three minutes of decoded stereo samples

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
        Mix_AllocateChannels(kMixerVoices);
        Mix_ReserveChannels(kAmbienceVoice + 1);
        Mix_GroupChannels(kAmbienceVoice + 1, kMixerVoices - 1, kEffectGroup);
        const PcmFormat format = OutputFormat();
        voices_ = std::make_shared<MixerVoices>(kEffectCacheBytes, format);
        loader_ = std::make_unique<CSoundLoader>(LoadSettings{format, soundFont_});
        voices_->loader = loader_.get();
        open_ = true;
        return true;
    }

    void Close() override {
        if (!open_) return;
        // The worker finishes its current file before the mixer closes under it.
        voices_->loader = nullptr;
        loader_.reset();
        for (CMixerClip* clip : std::vector<CMixerClip*>(voices_->loading)) {
            clip->Abandon("the audio device was closed");
        }
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        voices_->effects.Clear();
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
        if (use == ClipUse::Music) return std::make_unique<CMusicClip>(voices_, loader_->Submit(path, use));
        if (use == ClipUse::Ambience) {
            return std::make_unique<CChunkClip>(voices_, loader_->Submit(path, use), nullptr, use);
        }
        return LoadEffect(path);
    }

    bool Poll() override {
        if (!open_) return false;
        for (CMixerClip* clip : std::vector<CMixerClip*>(voices_->loading)) clip->Settle();
        return !voices_->loading.empty();
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
        soundFont_ = FirstSoundFont(choice.toSet.empty() && variable ? variable : choice.toSet);
        if (choice.warning && !warnedNoSoundFont_) {
            std::fprintf(stderr, "%s\n", choice.warning->c_str());
            warnedNoSoundFont_ = true;
        }
    }
    // A decoded effect kept for the file as it is now starts at once; else it loads and is kept.
    std::unique_ptr<IAudioClip> LoadEffect(const std::string& path) {
        const std::optional<CEffectChunkCache::Stamp> stamp = CEffectChunkCache::StampOf(path);
        if (CEffectChunkCache::Chunk kept = voices_->effects.Find(path, stamp)) {
            return std::make_unique<CChunkClip>(voices_, nullptr, std::move(kept), ClipUse::Effect);
        }
        auto clip = std::make_unique<CChunkClip>(voices_, loader_->Submit(path, ClipUse::Effect), nullptr,
                                                 ClipUse::Effect);
        if (stamp) clip->KeepAs(path, *stamp);
        return clip;
    }
    // The first readable file of a ';'-separated list, for the device's own MIDI renderer.
    static std::string FirstSoundFont(const std::string& list) {
        size_t start = 0;
        while (start <= list.size()) {
            const size_t end = std::min(list.find(';', start), list.size());
            const std::string path = list.substr(start, end - start);
            if (!path.empty() && IsRegularFile(path)) return path;
            start = end + 1;
        }
        return "";
    }
    // The format the output was opened with (the rate and channel count may differ from those asked).
    static PcmFormat OutputFormat() {
        PcmFormat format;
        Uint16 sampleFormat = 0;
        Mix_QuerySpec(&format.rate, &sampleFormat, &format.channels);
        return format;
    }
    bool Fail() {
        lastError_ = SDL_GetError();
        return false;
    }

    bool open_ = false;
    bool warnedNoSoundFont_ = false;
    std::string soundFont_;
    std::shared_ptr<MixerVoices> voices_;
    std::unique_ptr<CSoundLoader> loader_;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<IAudioDevice> CreateSdlMixerDevice(const char* defaultDriver) {
    return std::make_unique<CSdlMixerDevice>(defaultDriver);
}

}  // namespace zepa
