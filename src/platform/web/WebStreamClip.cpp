#include "platform/web/WebStreamClip.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

// The page's side is ZepaAudio's stream functions in web/zepa-audio.js.

EM_JS(int, zepa_stream_begin, (const char* name, int rate, int channels, double frames),
      { return ZepaAudio.stream(UTF8ToString(name), rate, channels, frames); });
EM_JS(void, zepa_stream_push, (int clip, const float* samples, int count),
      { ZepaAudio.push(clip, HEAPF32.slice(samples >> 2, (samples >> 2) + count)); });
EM_JS(void, zepa_stream_end, (int clip), { ZepaAudio.streamEnd(clip); });
EM_JS(void, zepa_stream_reset, (int clip), { ZepaAudio.streamReset(clip); });
EM_JS(double, zepa_stream_wanted, (int clip, double seconds), { return ZepaAudio.wanted(clip, seconds); });
EM_JS(double, zepa_stream_skip, (int clip), { return ZepaAudio.skip(clip); });
EM_JS(void, zepa_stream_play, (int voice, int clip, int loop, int volume),
      { ZepaAudio.play(voice, clip, loop != 0, volume); });
EM_JS(void, zepa_stream_stop, (int voice), { ZepaAudio.stop(voice); });
EM_JS(void, zepa_stream_volume, (int voice, int volume), { ZepaAudio.volume(voice, volume); });
EM_JS(void, zepa_stream_release, (int clip), { ZepaAudio.release(clip); });

namespace zepa {
namespace {

// Decoded at load, so that a clip sounds as soon as it is played.
constexpr double kStartSeconds = 0.5;
// How far ahead of what it plays the page is kept: more than any frame the engine may take.
constexpr double kAheadSeconds = 3.0;
// The least handed over at once, so that the page gets pieces of a quarter second, not one per
// frame.
constexpr double kLeastSeconds = 0.25;

class CPageStreamSink : public ISoundSink {
  public:
    explicit CPageStreamSink(int clip) : clip_(clip) {}
    void Begin(int, int) override {}
    void Append(std::span<const float> samples) override {
        zepa_stream_push(clip_, samples.data(), static_cast<int>(samples.size()));
    }

  private:
    int clip_;
};

size_t FramesOf(double seconds, int rate) {
    return static_cast<size_t>(std::max(0.0, std::floor(seconds * rate)));
}

}  // namespace

void CWebStreams::Remove(CWebStreamClip* clip) {
    clips_.erase(std::remove(clips_.begin(), clips_.end(), clip), clips_.end());
}

void CWebStreams::Pump(double elapsedMs) {
    // A few hundred ms of sound a frame; more only when frames come seldom (a hidden tab), so the
    // page does not run dry, never more than a second.
    const double seconds = std::clamp(2.0 * elapsedMs / 1000.0, 0.25, 1.0);
    for (CWebStreamClip* clip : clips_) clip->Pump(seconds);
}

CWebStreamClip::CWebStreamClip(std::shared_ptr<CVoiceTable> voices, std::shared_ptr<CWebStreams> streams,
                               std::unique_ptr<CSoundStream> stream, const std::string& name, ClipUse use)
    : voices_(std::move(voices)),
      streams_(std::move(streams)),
      stream_(std::move(stream)),
      use_(use),
      lengthMs_(static_cast<double>(stream_->statedFrames()) * 1000.0 / stream_->sampleRate()) {
    pageClip_ = zepa_stream_begin(name.c_str(), stream_->sampleRate(), stream_->channels(),
                                  static_cast<double>(stream_->statedFrames()));
    stream_->Restart(false);
    Feed(FramesOf(kStartSeconds, stream_->sampleRate()));
    streams_->Add(this);
}

CWebStreamClip::~CWebStreamClip() {
    streams_->Remove(this);
    Stop();
    zepa_stream_release(pageClip_);
}

bool CWebStreamClip::Play(bool loopForever) {
    Stop();
    if (fresh_ && !(loopForever && endSent_)) {
        stream_->SetLoop(loopForever);
    } else {
        // Played before (the page's pieces are from where that play had got to), or a short clip
        // that the page was told had ended and now loops.
        zepa_stream_reset(pageClip_);
        stream_->Restart(loopForever);
        endSent_ = false;
    }
    fresh_ = false;
    const double now = emscripten_get_now();
    start_ = voices_->Take(use_, now, loopForever ? CVoiceTable::kForever : now + lengthMs_);
    zepa_stream_play(start_.voice, pageClip_, loopForever ? 1 : 0, volume_);
    Feed(0);  // tells the page at once when a short one-shot was decoded to its end at load
    return true;
}

void CWebStreamClip::Stop() {
    if (!voices_->Owns(start_)) return;
    voices_->Release(start_);
    zepa_stream_stop(start_.voice);
}

bool CWebStreamClip::IsPlaying() const {
    return voices_->Sounding(start_, emscripten_get_now());
}

void CWebStreamClip::SetVolume(int volume) {
    volume_ = std::clamp(volume, 0, kMaxClipVolume);
    if (voices_->Owns(start_)) zepa_stream_volume(start_.voice, volume_);
}

void CWebStreamClip::Pump(double seconds) {
    if (!voices_->Owns(start_) || stream_->ended()) return;
    // A one-shot that starts late (the browser's audio began after it was played) goes on from
    // where it would be by now; the page says where.
    const double skip = zepa_stream_skip(pageClip_);
    if (skip >= 0.0) stream_->SkipTo(static_cast<uint64_t>(skip));
    const size_t wanted = FramesOf(zepa_stream_wanted(pageClip_, kAheadSeconds), 1);
    if (wanted < FramesOf(kLeastSeconds, stream_->sampleRate())) return;
    Feed(std::min(FramesOf(seconds, stream_->sampleRate()), wanted));
}

void CWebStreamClip::Feed(size_t frames) {
    CPageStreamSink sink(pageClip_);
    stream_->Feed(frames, sink);
    // A loop whose data turned out empty ends too; the page then lets its voice go.
    if (stream_->ended() && !endSent_) {
        zepa_stream_end(pageClip_);
        endSent_ = true;
    }
}

}  // namespace zepa
