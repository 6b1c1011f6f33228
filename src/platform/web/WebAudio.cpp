#include "platform/web/WebAudio.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/FileReader.h"
#include "platform/web/MidiLength.h"
#include "platform/web/VoiceTable.h"
#include "platform/web/VorbisDecoder.h"
#include "platform/web/WaveDecoder.h"
#include "platform/web/WebStreamClip.h"

// The page's side is the object ZepaAudio of web/zepa-audio.js.

EM_JS(int, zepa_audio_available, (),
      { return typeof ZepaAudio != "undefined" && ZepaAudio.available() ? 1 : 0; });
EM_JS(int, zepa_audio_begin, (const char* name, int rate, int channels),
      { return ZepaAudio.begin(UTF8ToString(name), rate, channels); });
EM_JS(void, zepa_audio_append, (int clip, const float* samples, int count),
      { ZepaAudio.append(clip, HEAPF32.slice(samples >> 2, (samples >> 2) + count)); });
EM_JS(void, zepa_audio_finish, (int clip), { ZepaAudio.finish(clip); });
EM_JS(int, zepa_audio_midi, (const char* name, const uint8_t* bytes, int size, double maxFrames),
      { return ZepaAudio.midi(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size), maxFrames); });
EM_JS(int, zepa_audio_midi_stream, (const char* name, const uint8_t* bytes, int size, double frames),
      { return ZepaAudio.midiStream(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size), frames); });
EM_JS(void, zepa_audio_pump, (), { ZepaAudio.pump(); });
EM_JS(void, zepa_audio_play, (int voice, int clip, int loop, int volume),
      { ZepaAudio.play(voice, clip, loop != 0, volume); });
EM_JS(void, zepa_audio_stop, (int voice), { ZepaAudio.stop(voice); });
EM_JS(void, zepa_audio_volume, (int voice, int volume), { ZepaAudio.volume(voice, volume); });
EM_JS(void, zepa_audio_release, (int clip), { ZepaAudio.release(clip); });
EM_JS(void, zepa_audio_close, (), { ZepaAudio.close(); });

namespace zepa {
namespace {

// The longest a clip decoded whole is decoded for, in frames (as of 44.1 kHz): ten minutes of
// music, five of ambience (only an Ogg file whose length cannot be read; the rest streams), two
// of an effect. Longer sound is cut, so a hostile file cannot make the page allocate
// without bound.
constexpr size_t kFramesPerMinute = 60 * 44100;
constexpr size_t kMidiRate = 44100;
// Compressed files larger than this are refused (ten minutes of Vorbis is some 10 MB).
constexpr size_t kMaxSoundFileBytes = size_t{64} << 20;

size_t MaxFrames(ClipUse use) {
    switch (use) {
        case ClipUse::Music:
            return 10 * kFramesPerMinute;
        case ClipUse::Ambience:
            return 5 * kFramesPerMinute;
        case ClipUse::Effect:
            break;
    }
    return 2 * kFramesPerMinute;
}

enum class SoundKind { Wave, Vorbis, Midi, Unknown };

// By content, as the desktop's mixer does, not by the file name.
SoundKind KindOf(const std::vector<uint8_t>& bytes) {
    const auto starts = [&](const char* magic, size_t at) {
        const size_t size = std::strlen(magic);
        return bytes.size() >= at + size && std::memcmp(bytes.data() + at, magic, size) == 0;
    };
    if (starts("RIFF", 0) && starts("WAVE", 8)) return SoundKind::Wave;
    if (starts("OggS", 0)) return SoundKind::Vorbis;
    if (starts("MThd", 0)) return SoundKind::Midi;
    return SoundKind::Unknown;
}

// Hands decoded pieces to the page, which makes one Web Audio buffer of them at the end.
class CPageSoundSink : public ISoundSink {
  public:
    explicit CPageSoundSink(const std::string& name) : name_(name) {}
    void Begin(int sampleRate, int channels) override {
        clip_ = zepa_audio_begin(name_.c_str(), sampleRate, channels);
        rate_ = sampleRate;
    }
    void Append(std::span<const float> samples) override {
        zepa_audio_append(clip_, samples.data(), static_cast<int>(samples.size()));
    }
    int Finish() {
        zepa_audio_finish(clip_);
        return clip_;
    }
    int rate() const { return rate_; }

  private:
    std::string name_;
    int clip_ = 0;
    int rate_ = 1;
};

class CWebAudioClip : public IAudioClip {
  public:
    CWebAudioClip(std::shared_ptr<CVoiceTable> voices, int pageClip, ClipUse use, double lengthMs)
        : voices_(std::move(voices)), pageClip_(pageClip), use_(use), lengthMs_(lengthMs) {}
    ~CWebAudioClip() override {
        Stop();
        zepa_audio_release(pageClip_);
    }
    bool Play(bool loopForever) override {
        Stop();
        const double now = emscripten_get_now();
        start_ = voices_->Take(use_, now, loopForever ? CVoiceTable::kForever : now + lengthMs_);
        zepa_audio_play(start_.voice, pageClip_, loopForever ? 1 : 0, volume_);
        return true;
    }
    void Stop() override {
        if (!voices_->Owns(start_)) return;
        voices_->Release(start_);
        zepa_audio_stop(start_.voice);
    }
    bool IsPlaying() const override { return voices_->Sounding(start_, emscripten_get_now()); }
    void SetVolume(int volume) override {
        volume_ = std::clamp(volume, 0, kMaxClipVolume);
        if (voices_->Owns(start_)) zepa_audio_volume(start_.voice, volume_);
    }

  private:
    std::shared_ptr<CVoiceTable> voices_;
    int pageClip_;
    ClipUse use_;
    double lengthMs_;
    CVoiceTable::Start start_;
    int volume_ = kMaxClipVolume;
};

class CWebAudioDevice : public IAudioDevice {
  public:
    ~CWebAudioDevice() override { Close(); }
    bool Open() override {
        if (open_) return true;
        if (zepa_audio_available() == 0) {
            lastError_ = "the browser has no Web Audio";
            return false;
        }
        voices_ = std::make_shared<CVoiceTable>();
        streams_ = std::make_shared<CWebStreams>();
        lastPollMs_ = emscripten_get_now();
        open_ = true;
        return true;
    }
    void Close() override {
        if (!open_) return;
        zepa_audio_close();
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    std::unique_ptr<IAudioClip> Load(const std::string& path, ClipUse use) override;
    bool Poll() override {
        if (!open_) return false;
        const double now = emscripten_get_now();
        streams_->Pump(now - lastPollMs_);
        zepa_audio_pump();  // the page asks its synthesizer for what streamed MIDI needs next
        lastPollMs_ = now;
        return false;
    }
    const std::string& lastError() const override { return lastError_; }
    std::string driverName() const override { return open_ ? "webaudio" : ""; }

  private:
    std::unique_ptr<IAudioClip> Decoded(const std::string& path, const std::vector<uint8_t>& bytes,
                                        SoundKind kind, ClipUse use);
    std::unique_ptr<IAudioClip> Streamed(const std::string& path, std::vector<uint8_t>& bytes, SoundKind kind,
                                         ClipUse use);
    std::unique_ptr<IAudioClip> Midi(const std::string& path, const std::vector<uint8_t>& bytes, ClipUse use);
    std::unique_ptr<IAudioClip> Fail(std::string reason) {
        lastError_ = std::move(reason);
        return nullptr;
    }

    bool open_ = false;
    std::shared_ptr<CVoiceTable> voices_;
    std::shared_ptr<CWebStreams> streams_;
    double lastPollMs_ = 0.0;
    std::string lastError_;
};

std::unique_ptr<IAudioClip> CWebAudioDevice::Load(const std::string& path, ClipUse use) {
    if (!open_) return Fail("the audio device is not open");
    std::vector<uint8_t> bytes;
    switch (ReadWholeFile(path, bytes, kMaxSoundFileBytes)) {
        case FileReadResult::Ok:
            break;
        case FileReadResult::Missing:
            return Fail("no such file");
        case FileReadResult::TooLarge:
            return Fail("the file is too large");
        case FileReadResult::Failed:
            return Fail("cannot read the file");
    }
    const SoundKind kind = KindOf(bytes);
    if (kind == SoundKind::Midi) return Midi(path, bytes, use);
    if (kind == SoundKind::Unknown) return Fail("unrecognised sound format");
    if (use != ClipUse::Effect) return Streamed(path, bytes, kind, use);
    return Decoded(path, bytes, kind, use);
}

// Music and ambience play while they decode. A file whose length cannot be read (a one-shot must
// know when it ends) is decoded whole instead, up to the cap.
std::unique_ptr<IAudioClip> CWebAudioDevice::Streamed(const std::string& path, std::vector<uint8_t>& bytes,
                                                      SoundKind kind, ClipUse use) {
    std::string error;
    std::unique_ptr<CSoundStream> stream = CSoundStream::Open(
        std::move(bytes), kind == SoundKind::Wave ? OpenWaveSource : OpenVorbisSource, error);
    if (!stream) return Fail(error);
    if (stream->statedFrames() == 0) {
        std::vector<uint8_t> whole = stream->TakeBytes();
        return Decoded(path, whole, kind, use);
    }
    return std::make_unique<CWebStreamClip>(voices_, streams_, std::move(stream), path, use);
}

std::unique_ptr<IAudioClip> CWebAudioDevice::Decoded(const std::string& path,
                                                     const std::vector<uint8_t>& bytes, SoundKind kind,
                                                     ClipUse use) {
    CPageSoundSink sink(path);
    std::string error;
    const std::optional<size_t> frames = kind == SoundKind::Wave
                                             ? DecodeWave(bytes, MaxFrames(use), sink, error)
                                             : DecodeVorbis(bytes, MaxFrames(use), sink, error);
    if (!frames) return Fail(error);
    const int clip = sink.Finish();
    const double lengthMs = static_cast<double>(*frames) * 1000.0 / sink.rate();
    return std::make_unique<CWebAudioClip>(voices_, clip, use, lengthMs);
}

// MIDI is rendered by the page's synthesizer, which takes its time: the length is read here so
// that the engine knows at once how long a one-shot sounds. Music and ambience are rendered a few
// seconds ahead of what plays, effects whole.
std::unique_ptr<IAudioClip> CWebAudioDevice::Midi(const std::string& path, const std::vector<uint8_t>& bytes,
                                                  ClipUse use) {
    const std::optional<double> seconds = MidiLengthSeconds(bytes);
    if (!seconds) return Fail("not a MIDI file");
    if (use != ClipUse::Effect) {
        const int clip = zepa_audio_midi_stream(path.c_str(), bytes.data(), static_cast<int>(bytes.size()),
                                                std::floor(*seconds * kMidiRate));
        return std::make_unique<CWebAudioClip>(voices_, clip, use, *seconds * 1000.0);
    }
    const size_t maxFrames = MaxFrames(use);
    const double lengthMs = std::min(*seconds, static_cast<double>(maxFrames) / kMidiRate) * 1000.0;
    const int clip = zepa_audio_midi(path.c_str(), bytes.data(), static_cast<int>(bytes.size()),
                                     static_cast<double>(maxFrames));
    return std::make_unique<CWebAudioClip>(voices_, clip, use, lengthMs);
}

}  // namespace

std::unique_ptr<IAudioDevice> CreateWebAudioDevice() {
    return std::make_unique<CWebAudioDevice>();
}

}  // namespace zepa
