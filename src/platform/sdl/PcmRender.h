// Renders a piece-wise source whole when it ends within a byte bound: a short sound becomes an
// ordinary chunk (kept by the effect cache, started at once when played again); a longer one is
// handed back from its beginning, to be played in pieces.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/sdl/PcmSource.h"

namespace zepa {

struct RenderOutcome {
    std::shared_ptr<Mix_Chunk> chunk;    // the whole sound, or
    std::unique_ptr<IPcmSource> stream;  // the source, rewound; both null: nothing to play
};

// `stop` is asked between pieces: true abandons the render (nothing is returned).
RenderOutcome RenderWithin(std::unique_ptr<IPcmSource> source, PcmFormat format, size_t maxBytes,
                           const std::function<bool()>& stop);

}  // namespace zepa
