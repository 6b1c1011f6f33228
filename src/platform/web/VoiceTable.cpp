#include "platform/web/VoiceTable.h"

namespace zepa {

CVoiceTable::Start CVoiceTable::Take(ClipUse use, double nowMs, double endMs) {
    int voice = kMusicVoice;
    if (use == ClipUse::Ambience) voice = kAmbienceVoice;
    if (use == ClipUse::Effect) voice = FreeEffectVoice(nowMs);
    const Start start{voice, nextId_++};
    voices_[static_cast<size_t>(voice)] = Voice{start.id, endMs};
    return start;
}

int CVoiceTable::FreeEffectVoice(double nowMs) const {
    int oldest = kFirstEffectVoice;
    for (int voice = kFirstEffectVoice; voice < kFirstEffectVoice + kEffectVoices; ++voice) {
        const Voice& v = voices_[static_cast<size_t>(voice)];
        if (v.endMs <= nowMs) return voice;
        if (v.id < voices_[static_cast<size_t>(oldest)].id) oldest = voice;
    }
    return oldest;
}

void CVoiceTable::Release(Start start) {
    if (Owns(start)) voices_[static_cast<size_t>(start.voice)].endMs = 0.0;
}

bool CVoiceTable::Owns(Start start) const {
    return start.voice >= 0 && start.voice < kVoices &&
           voices_[static_cast<size_t>(start.voice)].id == start.id;
}

bool CVoiceTable::Sounding(Start start, double nowMs) const {
    return Owns(start) && nowMs < voices_[static_cast<size_t>(start.voice)].endMs;
}

}  // namespace zepa
