// The engine's three sound channels: background music (one looping piece), background sound (one
// looping ambience layered over the music) and sound effects (one-shot, overlapping; at most
// three Ogg effects at once, a fourth replacing the oldest). Paths are resource names (CP932)
// such as "Music/bgm/theme.ogg"; files are read from the game folder only, never the archive.
#pragma once

#include <array>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "audio/OggStream.h"
#include "audio/SoundFormat.h"
#include "core/LooseFiles.h"
#include "platform/Audio.h"
#include "platform/Log.h"

namespace zepa {

class CAudioChannels {
  public:
    // What the state dump shows of it (JSON, UTF-8).
    nlohmann::json DescribeState() const;

    static constexpr int kOggEffectRing = 3;

    // Warnings (no device, an unplayable file, a refused name) go to `log`.
    explicit CAudioChannels(ILog& log) : log_(log) {}
    ~CAudioChannels() { ReleaseAudio(); }
    CAudioChannels(const CAudioChannels&) = delete;
    CAudioChannels& operator=(const CAudioChannels&) = delete;

    // Opens `device` (null: none). When no device opens, the channels go on silently: one warning in
    // the log, and names, volumes and playing states are kept as if the sound played. Always true.
    bool InitAudio(std::unique_ptr<IAudioDevice> device);

    // Each returns false when the extension is not .mid/.wav/.ogg (any case), the file is missing
    // or it cannot be played on that channel (a warning names the file). BGM and BGS stop their
    // previous piece and record the new name first, whatever the outcome. The device may decode
    // in the background: the sound counts as playing from the call on and starts at a later
    // Update; a file that then fails to decode is warned about there and stops counting.
    bool PlayBGM(const std::string& path);
    bool PlayBGS(const std::string& path);
    bool PlaySE(const std::string& path);
    bool StopBGM();
    bool StopBGS();
    // Stops every sound effect; music and background sound go on.
    bool StopSE();

    // Stores the three volumes (0..100 as written in the settings) and applies them to what is
    // playing now and to what starts later.
    void ApplyVolumes(int bgm, int bgs, int se);
    // Stops everything and closes the device.
    void ReleaseAudio();
    // Once a frame: starts the sounds whose decoding finished and warns about those that failed.
    // True while decodes are still in flight.
    bool Update();

    const std::string& bgmName() const { return bgm_.name; }
    const std::string& bgsName() const { return bgs_.name; }
    float bgmVolume() const { return bgm_.volume; }
    float bgsVolume() const { return bgs_.volume; }
    float seVolume() const { return seVolume_; }
    // What is sounding right now.
    bool BgmPlaying() const;
    bool BgsPlaying() const;
    int SePlayingCount() const;
    // The Ogg effect slot the next Ogg effect takes (0..2).
    int seRingIndex() const { return seRingIndex_; }
    bool OggEffectPlaying(int slot) const;
    // True when no device could be opened (or none was given).
    bool silent() const { return silent_; }
    std::string driverName() const { return device_ ? device_->driverName() : ""; }

  private:
    // A looping channel (BGM or BGS): a file played as a plain clip or as an Ogg stream.
    struct LoopChannel {
        std::string name;
        std::unique_ptr<IAudioClip> segment;
        std::unique_ptr<COggStream> stream;
        float volume = 100.0f;
    };
    // A sound effect and the resource name it was played as (for a late warning).
    struct Effect {
        std::string name;
        std::unique_ptr<IAudioClip> clip;
    };
    struct OggEffect {
        std::string name;
        std::unique_ptr<COggStream> stream;
    };
    // Effects kept at most: more would all wait for their decode; the oldest gives way.
    static constexpr size_t kMaxEffects = 64;

    bool PlayLoop(LoopChannel& channel, const std::string& path, ClipUse use, const char* what);
    static void StopLoop(LoopChannel& channel);
    static bool LoopPlaying(const LoopChannel& channel);
    static void SetLoopVolume(LoopChannel& channel, float volume);
    bool PlayOggEffect(const std::string& path, const std::string& file);
    void ReportFailedLoads();
    void ReportFailedLoop(LoopChannel& channel, const char* what);
    static std::string LoopFailure(const LoopChannel& channel);
    // The file for a resource name, or "" (no device, refused or missing name).
    std::string LocateFile(const std::string& path) const;
    void WarnUnplayable(const std::string& path, const char* what, const std::string& reason) const;

    ILog& log_;
    // Finding a sound file keeps folder listings: mutable, as locating a file changes no sound.
    mutable CLooseFiles files_{log_};
    std::unique_ptr<IAudioDevice> device_;
    bool silent_ = true;
    LoopChannel bgm_;
    LoopChannel bgs_;
    std::vector<Effect> effects_;
    std::array<OggEffect, kOggEffectRing> oggEffects_;
    int seRingIndex_ = 0;
    float seVolume_ = 100.0f;
};

}  // namespace zepa
