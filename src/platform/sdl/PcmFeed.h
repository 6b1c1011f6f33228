// Plays an IPcmSource on one mixer voice in pieces: the voice plays a silent looping chunk and a
// mixer effect on it writes the source's samples over the silence, on the mixer's thread, a
// buffer at a time. Only the piece being mixed is ever held in memory.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <memory>

#include "platform/sdl/PcmSource.h"

namespace zepa {

class CPcmFeed {
  public:
    CPcmFeed(std::unique_ptr<IPcmSource> source, PcmFormat format)
        : source_(std::move(source)), format_(format) {}
    CPcmFeed(const CPcmFeed&) = delete;
    CPcmFeed& operator=(const CPcmFeed&) = delete;

    // Starts the source from its beginning on `voice` (halted, main thread), over `silence`.
    // Halting the voice (or the voice ending) removes the effect: only then may the feed go.
    bool Start(int voice, Mix_Chunk* silence, bool loopForever);
    // The source, once the voice no longer plays the feed (for the caller to delete elsewhere).
    std::unique_ptr<IPcmSource> ReleaseSource() { return std::move(source_); }

  private:
    static void Fill(int voice, void* stream, int bytes, void* feed);
    void FillFrames(int voice, int16_t* out, size_t frames);

    std::unique_ptr<IPcmSource> source_;
    const PcmFormat format_;
    // Touched by Start before the voice plays, then only under the mixer's lock.
    bool loopForever_ = false;
    bool started_ = false;
    bool ended_ = false;
    size_t sinceRewind_ = 0;
};

}  // namespace zepa
