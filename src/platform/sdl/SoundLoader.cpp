#include "platform/sdl/SoundLoader.h"

#include <SDL2/SDL.h>

#include <chrono>

#include "platform/BackgroundThread.h"
#include "platform/sdl/MidiSource.h"
#include "platform/sdl/OggSource.h"
#include "platform/sdl/PcmRender.h"
#include "platform/sdl/WaveSource.h"

namespace zepa {
namespace {

// MIDI effects and background sounds are rendered whole up to about 12 seconds (then kept and
// started at once like any effect); a longer piece plays in pieces instead.
constexpr size_t kWholeMidiBytes = 2u << 20;
// Ogg Vorbis is decoded whole up to about 47 seconds of stereo samples, else played in pieces.
constexpr size_t kWholeOggBytes = 8u << 20;
// A piece slower to render than this (a MIDI file of many voices) plays in pieces instead, so that
// it starts within a few frames.
constexpr std::chrono::milliseconds kWholeRenderTime{100};
// WAV whose converted samples stay within this is decoded whole by the mixer, as before.
constexpr size_t kWholeWaveBytes = 8u << 20;

}  // namespace

CLoadJob::~CLoadJob() {
    Free(result_);
}

bool CLoadJob::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

DecodedSound CLoadJob::Take() {
    std::lock_guard lock(mutex_);
    if (!done_) return {};
    DecodedSound taken = std::move(result_);
    result_ = {};
    return taken;
}

DecodedSound CLoadJob::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    DecodedSound dropped = std::move(result_);
    result_ = {};
    return dropped;
}

bool CLoadJob::Cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void CLoadJob::Run(const LoadSettings& settings) {
    if (Cancelled()) return;
    DecodedSound sound = Decode(settings);
    std::lock_guard lock(mutex_);
    done_ = true;
    if (cancelled_) {
        Free(sound);
        return;
    }
    result_ = std::move(sound);
}

DecodedSound CLoadJob::Decode(const LoadSettings& settings) {
    DecodedSound sound;
    if (use_ == ClipUse::Music) {
        sound.music = Mix_LoadMUS(path_.c_str());
    } else if (LooksLikeMidi(path_)) {
        // The mixer would render a MIDI chunk whole, however long its notes last.
        return DecodeMidi(settings);
    } else if (LooksLikeOgg(path_)) {
        // Nor does it bound an Ogg file's decoded length, which may be hours in a small file.
        return DecodeOgg(settings);
    } else if (std::unique_ptr<IPcmSource> longWave =
                   OpenLongWaveSource(path_, settings.format, kWholeWaveBytes)) {
        sound.source = std::move(longWave);
        return sound;
    } else {
        sound.chunk = CEffectChunkCache::Decode(path_);
    }
    // SDL keeps its error text per thread: read it here, on the thread that failed.
    if (!sound.music && !sound.chunk) sound.error = Mix_GetError();
    if (sound.error.empty() && !sound.music && !sound.chunk) sound.error = "cannot decode";
    return sound;
}

DecodedSound CLoadJob::DecodeMidi(const LoadSettings& settings) {
    DecodedSound sound;
    std::unique_ptr<IPcmSource> source =
        OpenMidiSource(path_, settings.soundFont, settings.format, sound.error);
    if (source) RenderBounded(std::move(source), settings.format, kWholeMidiBytes, sound);
    return sound;
}

DecodedSound CLoadJob::DecodeOgg(const LoadSettings& settings) {
    DecodedSound sound;
    std::unique_ptr<IPcmSource> source = OpenOggSource(path_, settings.format, sound.error);
    if (source) RenderBounded(std::move(source), settings.format, kWholeOggBytes, sound);
    return sound;
}

void CLoadJob::RenderBounded(std::unique_ptr<IPcmSource> source, PcmFormat format, size_t maxBytes,
                             DecodedSound& sound) {
    const auto deadline = std::chrono::steady_clock::now() + kWholeRenderTime;
    RenderOutcome outcome =
        RenderWithin(std::move(source), format, maxBytes, deadline, [this] { return Cancelled(); });
    sound.chunk = std::move(outcome.chunk);
    sound.source = std::move(outcome.stream);
    if (!sound.chunk && !sound.source) sound.error = "the file holds nothing to play";
}

void CLoadJob::Free(DecodedSound& sound) {
    if (sound.music) Mix_FreeMusic(sound.music);
    sound.music = nullptr;
    sound.chunk.reset();
    sound.source.reset();
}

CSoundLoader::CSoundLoader(LoadSettings settings)
    : settings_(std::move(settings)), thread_([this] { Work(); }) {}

CSoundLoader::~CSoundLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    thread_.join();
    for (DecodedSound& sound : disposals_) CLoadJob::Free(sound);
}

std::shared_ptr<CLoadJob> CSoundLoader::Submit(const std::string& path, ClipUse use) {
    auto job = std::make_shared<CLoadJob>(path, use);
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(job);
    }
    wake_.notify_one();
    return job;
}

void CSoundLoader::Dispose(DecodedSound sound) {
    {
        std::lock_guard lock(mutex_);
        disposals_.push_back(std::move(sound));
    }
    wake_.notify_one();
}

void CSoundLoader::Work() {
    LowerThisThreadsPriority();
    for (;;) {
        std::shared_ptr<CLoadJob> job;
        std::vector<DecodedSound> disposals;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty() || !disposals_.empty(); });
            if (stopping_) break;
            disposals.swap(disposals_);
            if (!queue_.empty()) {
                job = std::move(queue_.front());
                queue_.pop_front();
            }
        }
        for (DecodedSound& sound : disposals) CLoadJob::Free(sound);
        if (job) job->Run(settings_);
    }
    // SDL keeps an error buffer per thread; a thread SDL did not start frees it by hand.
    SDL_TLSCleanup();
}

}  // namespace zepa
