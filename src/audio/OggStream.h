// An Ogg Vorbis stream instance: created from a file (or none), played a number of times, given a
// volume, and destroyed, which stops it. The channel that created an instance owns it.
#pragma once

#include <memory>
#include <string>

#include "platform/Audio.h"

namespace zepa {

class COggStream {
  public:
    // Null when the file cannot be loaded for this use.
    static std::unique_ptr<COggStream> CreateFromFile(IAudioDevice& device, const std::string& path,
                                                      ClipUse use);

    // loopCount -1 loops forever, 0 plays once; other counts are not used by the engine and play
    // once. False when the stream cannot start.
    bool Play(int loopCount);
    // 0..100 (values outside are clamped by the mixer mapping).
    void SetVolume(float volume);
    bool IsPlaying() const { return clip_->IsPlaying(); }
    // Why decoding failed in the background; empty otherwise.
    std::string failure() const { return clip_->failure(); }
    float volume() const { return volume_; }

  private:
    explicit COggStream(std::unique_ptr<IAudioClip> clip) : clip_(std::move(clip)) {}

    std::unique_ptr<IAudioClip> clip_;
    float volume_ = 100.0f;
};

// Maps a channel volume of 0..100 onto the mixer's 0..kMaxClipVolume; values outside 0..100 are
// clamped here, so the settings keep what the player wrote.
int MixerVolume(float volume);

}  // namespace zepa
