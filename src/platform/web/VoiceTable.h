// Which clip sounds on which of the browser's voices, and until when, kept by the engine's clock
// alone: so what the engine sees (IsPlaying) is the same whether or not the browser has started
// its audio yet. Voice 0 is the ambience voice, 1..31 the effect voices, 32 the music stream.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "platform/Audio.h"

namespace zepa {

class CVoiceTable {
  public:
    static constexpr int kAmbienceVoice = 0;
    static constexpr int kFirstEffectVoice = 1;
    static constexpr int kEffectVoices = 31;
    static constexpr int kMusicVoice = kFirstEffectVoice + kEffectVoices;
    static constexpr int kVoices = kMusicVoice + 1;
    static constexpr double kForever = std::numeric_limits<double>::infinity();

    // One start of a clip on a voice; it controls the voice until another start takes it over.
    struct Start {
        int voice = -1;
        uint64_t id = 0;
    };

    // Takes the voice for `use` at `nowMs` until `endMs` (kForever for a loop): music and
    // ambience have their own; an effect takes a free effect voice, else the one started longest ago.
    Start Take(ClipUse use, double nowMs, double endMs);
    // Ends `start` when it still controls its voice.
    void Release(Start start);
    bool Owns(Start start) const;
    bool Sounding(Start start, double nowMs) const;

  private:
    struct Voice {
        uint64_t id = 0;
        double endMs = 0.0;
    };
    int FreeEffectVoice(double nowMs) const;

    std::array<Voice, kVoices> voices_{};
    uint64_t nextId_ = 1;
};

}  // namespace zepa
