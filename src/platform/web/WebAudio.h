// The browser's audio device: clips decoded here (Ogg Vorbis with vorbisfile, WAVE by
// WaveDecoder) or rendered by the page's General MIDI synthesizer, played through Web Audio by the
// page (web/zepa-audio.js). Which clip sounds and until when is kept here by the engine's clock
// (CVoiceTable), so the engine sees the same whether or not the browser has started its audio.
#pragma once

#include <memory>

#include "platform/Audio.h"

namespace zepa {

std::unique_ptr<IAudioDevice> CreateWebAudioDevice();

}  // namespace zepa
