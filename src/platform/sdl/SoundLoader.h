// Opens and decodes sound files on a worker thread, so that the thread that runs the game never
// waits for a decoder (starting a MIDI synthesizer alone takes tens of milliseconds). Only loading
// runs there: playing stays with the caller, which collects finished loads when it polls.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Audio.h"
#include "platform/sdl/EffectChunkCache.h"
#include "platform/sdl/PcmSource.h"

namespace zepa {

// What the loader needs to know of the output: its sample format, and the General MIDI soundfont.
struct LoadSettings {
    PcmFormat format;
    std::string soundFont;
};

// What one load produced: music for ClipUse::Music; for the others a chunk (decoded whole) or a
// source to play in pieces (a sound too long to decode whole); or an error.
struct DecodedSound {
    Mix_Music* music = nullptr;  // owned; freed by the job unless taken
    CEffectChunkCache::Chunk chunk;
    std::unique_ptr<IPcmSource> source;
    std::string error;
};

// One file to load. Shared by the worker and the clip that asked for it; whoever lets go last
// frees an untaken result.
class CLoadJob {
  public:
    CLoadJob(std::string path, ClipUse use) : path_(std::move(path)), use_(use) {}
    ~CLoadJob();
    CLoadJob(const CLoadJob&) = delete;
    CLoadJob& operator=(const CLoadJob&) = delete;

    bool Done() const;
    // The result, once Done (else an empty result); the job keeps nothing of it.
    DecodedSound Take();
    // The clip no longer wants the result: the worker skips the job, or frees what it produces
    // later. What it had already produced is handed back, for the caller to dispose of.
    [[nodiscard]] DecodedSound Cancel();
    // Frees what a load produced (freeing a MIDI music stops its synthesizer: milliseconds).
    static void Free(DecodedSound& sound);
    // Runs the decoder (worker thread).
    void Run(const LoadSettings& settings);

  private:
    DecodedSound Decode(const LoadSettings& settings);
    DecodedSound DecodeMidi(const LoadSettings& settings);
    DecodedSound DecodeOgg(const LoadSettings& settings);
    // Whole when it ends within `maxBytes`, else the source to play in pieces.
    void RenderBounded(std::unique_ptr<IPcmSource> source, PcmFormat format, size_t maxBytes,
                       DecodedSound& sound);
    bool Cancelled() const;

    const std::string path_;
    const ClipUse use_;
    mutable std::mutex mutex_;
    bool done_ = false;
    bool cancelled_ = false;
    DecodedSound result_;
};

class CSoundLoader {
  public:
    explicit CSoundLoader(LoadSettings settings);
    // Drops the jobs not yet started and waits for the one being decoded.
    ~CSoundLoader();
    CSoundLoader(const CSoundLoader&) = delete;
    CSoundLoader& operator=(const CSoundLoader&) = delete;

    std::shared_ptr<CLoadJob> Submit(const std::string& path, ClipUse use);
    // Frees sound the caller is done with, on the worker thread.
    void Dispose(DecodedSound sound);

  private:
    void Work();

    const LoadSettings settings_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<CLoadJob>> queue_;
    std::vector<DecodedSound> disposals_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the members it uses exist
};

}  // namespace zepa
