#include "platform/sdl/PcmRender.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zepa {
namespace {

constexpr size_t kPieceFrames = 4096;

// A chunk that owns a copy of `samples`, freed by Mix_FreeChunk like a decoded one.
std::shared_ptr<Mix_Chunk> ChunkOf(const std::vector<int16_t>& samples) {
    const size_t bytes = samples.size() * sizeof(int16_t);
    auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
    auto* buffer = static_cast<Uint8*>(SDL_malloc(bytes));
    if (!chunk || !buffer) {
        SDL_free(chunk);
        SDL_free(buffer);
        return nullptr;
    }
    std::memcpy(buffer, samples.data(), bytes);
    *chunk = Mix_Chunk{1, buffer, static_cast<Uint32>(bytes), MIX_MAX_VOLUME};
    return std::shared_ptr<Mix_Chunk>(chunk, Mix_FreeChunk);
}

}  // namespace

RenderOutcome RenderWithin(std::unique_ptr<IPcmSource> source, PcmFormat format, size_t maxBytes,
                           std::chrono::steady_clock::time_point deadline,
                           const std::function<bool()>& stop) {
    const size_t channels = static_cast<size_t>(format.channels);
    const size_t maxSamples = maxBytes / sizeof(int16_t) / channels * channels;
    std::vector<int16_t> samples;
    while (samples.size() < maxSamples && std::chrono::steady_clock::now() < deadline) {
        if (stop()) return {};
        const size_t at = samples.size();
        const size_t frames = std::min(kPieceFrames, (maxSamples - at) / channels);
        samples.resize(at + frames * channels);
        const size_t read = source->Read(samples.data() + at, frames);
        samples.resize(at + read * channels);
        if (read < frames) {
            if (samples.empty()) return {};
            return {ChunkOf(samples), nullptr};
        }
    }
    // Over a bound: played in pieces from the start instead.
    if (!source->Rewind()) return {};
    return {nullptr, std::move(source)};
}

}  // namespace zepa
