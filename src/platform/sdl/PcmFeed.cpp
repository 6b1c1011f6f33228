#include "platform/sdl/PcmFeed.h"

#include <cstring>

namespace zepa {

bool CPcmFeed::Start(int voice, Mix_Chunk* silence, bool loopForever) {
    if (started_ && !source_->Rewind()) return false;
    started_ = true;
    loopForever_ = loopForever;
    ended_ = false;
    sinceRewind_ = 0;
    if (Mix_PlayChannel(voice, silence, -1) != voice) return false;
    if (Mix_RegisterEffect(voice, &CPcmFeed::Fill, nullptr, this) == 0) {
        Mix_HaltChannel(voice);
        return false;
    }
    return true;
}

void CPcmFeed::Fill(int voice, void* stream, int bytes, void* feed) {
    auto& self = *static_cast<CPcmFeed*>(feed);
    const size_t frameBytes = sizeof(int16_t) * static_cast<size_t>(self.format_.channels);
    const size_t frames = static_cast<size_t>(bytes) / frameBytes;
    self.FillFrames(voice, static_cast<int16_t*>(stream), frames);
    std::memset(static_cast<uint8_t*>(stream) + frames * frameBytes, 0, bytes - frames * frameBytes);
}

// At the end a looping source starts over (unless it gave nothing since the last start, which
// would loop without end); else the rest is silence and the voice ends at the next mix.
void CPcmFeed::FillFrames(int voice, int16_t* out, size_t frames) {
    const size_t channels = static_cast<size_t>(format_.channels);
    size_t done = 0;
    while (done < frames && !ended_) {
        const size_t read = source_->Read(out + done * channels, frames - done);
        done += read;
        sinceRewind_ += read;
        if (read > 0) continue;
        if (loopForever_ && sinceRewind_ > 0 && source_->Rewind()) {
            sinceRewind_ = 0;
            continue;
        }
        ended_ = true;
        Mix_ExpireChannel(voice, 1);
    }
    std::memset(out + done * channels, 0, (frames - done) * channels * sizeof(int16_t));
}

}  // namespace zepa
