// The audio device contract. The engine's channels (BGM, BGS, SE) load clips through it and own
// them; the SDL2_mixer implementation plays them, the silent one only tracks their state.
//
// Checklist of what an implementation provides:
//   - Open / Close of the output device (Open false: the caller falls back to silence)
//   - clips loaded from a file path for one of three uses: streamed music (one at a time),
//     ambience on the reserved ambience voice, effects on any free effect voice
//   - per clip: play once or forever, stop, volume, whether it is still sounding
//   - a clip may load in the background: it counts as sounding from Play on, starts when its load
//     is done (Poll) and reports a load that failed through failure()
#pragma once

#include <memory>
#include <string>

namespace zepa {

// Highest volume a clip takes; 0 is silence.
inline constexpr int kMaxClipVolume = 128;

enum class ClipUse {
    Music,     // streamed; starting music stops any other music clip
    Ambience,  // decoded in memory, plays on the one ambience voice
    Effect,    // decoded in memory, plays on a free effect voice (the oldest effect gives way)
};

// One loaded piece of sound. Destroying it stops it and frees it.
class IAudioClip {
  public:
    virtual ~IAudioClip() = default;
    // Starts the clip from its beginning, once or looping forever; false when it cannot start.
    virtual bool Play(bool loopForever) = 0;
    virtual void Stop() = 0;
    // True while the clip is sounding (started, not finished, not stopped or displaced).
    virtual bool IsPlaying() const = 0;
    // 0..kMaxClipVolume; other values are clamped. Takes effect at once, also while playing.
    virtual void SetVolume(int volume) = 0;
    // Why the clip's background load failed; empty while it loads or when it loaded. A failed clip
    // never sounds.
    virtual std::string failure() const { return ""; }
};

class IAudioDevice {
  public:
    virtual ~IAudioDevice() = default;
    // Opens the output; false when no device can be opened (the reason is kept in lastError()).
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Loads `path` (a file system path) for the given use; null when the file cannot be read for
    // that use (the reason is kept in lastError()). Decoding may go on in the background: the clip
    // then reports a failure later.
    virtual std::unique_ptr<IAudioClip> Load(const std::string& path, ClipUse use) = 0;
    // Starts the clips whose background load finished and that were asked to play; true while
    // loads are still in flight. Called once a frame on the thread that plays the clips.
    virtual bool Poll() { return false; }
    virtual const std::string& lastError() const = 0;
    // The output driver in use ("" when none), for diagnostics.
    virtual std::string driverName() const = 0;
};

// A device that plays nothing: clips load when their file exists and report looping clips as
// sounding until stopped, so a game runs the same without sound hardware.
std::unique_ptr<IAudioDevice> CreateSilentAudioDevice();

}  // namespace zepa
