// Renders a piece-wise source whole when it ends within a byte bound and a time bound: a short
// sound becomes an ordinary chunk (kept by the effect cache, started at once when played again); a
// longer one, or one slow to render, is handed back from its beginning, to be played in pieces.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

#include "platform/sdl/PcmSource.h"

namespace zepa {

struct RenderOutcome {
    std::shared_ptr<Mix_Chunk> chunk;    // the whole sound, or
    std::unique_ptr<IPcmSource> stream;  // the source, rewound; both null: nothing to play
};

// `stop` is asked between pieces: true abandons the render (nothing is returned). Past
// `deadline` the source is handed back for playing in pieces.
RenderOutcome RenderWithin(std::unique_ptr<IPcmSource> source, PcmFormat format, size_t maxBytes,
                           std::chrono::steady_clock::time_point deadline, const std::function<bool()>& stop);

}  // namespace zepa
