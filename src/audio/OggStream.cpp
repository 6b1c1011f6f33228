#include "audio/OggStream.h"

#include <cmath>

namespace zepa {

int MixerVolume(float volume) {
    if (!(volume > 0.0f)) return 0;  // also NaN
    if (volume >= 100.0f) return kMaxClipVolume;
    return static_cast<int>(std::lround(volume * kMaxClipVolume / 100.0f));
}

std::unique_ptr<COggStream> COggStream::CreateFromFile(IAudioDevice& device, const std::string& path,
                                                       ClipUse use) {
    std::unique_ptr<IAudioClip> clip = device.Load(path, use);
    if (!clip) return nullptr;
    return std::unique_ptr<COggStream>(new COggStream(std::move(clip)));
}

bool COggStream::Play(int loopCount) {
    return clip_->Play(loopCount == -1);
}

void COggStream::SetVolume(float volume) {
    volume_ = volume;
    clip_->SetVolume(MixerVolume(volume));
}

}  // namespace zepa
