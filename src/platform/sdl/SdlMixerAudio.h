// The audio device on SDL2_mixer.
//
// Implements IAudioDevice: music clips are Mix_Music (streamed; MIDI through the General MIDI
// soundfont), ambience and effect clips are Mix_Chunk (WAV, Ogg Vorbis and MIDI all decode into
// chunks). Voice 0 is reserved for ambience; the other voices form the effect group, and when
// all of them sound, the oldest effect gives way to a new one. Decoded effects are kept (up to
// 32 MB, while their files are unchanged), so an effect played again starts without decoding.
#pragma once

#include <memory>

#include "platform/Audio.h"

namespace zepa {

// `defaultDriver` (may be null) is the audio driver used when SDL_AUDIODRIVER does not name one;
// headless runs pass "dummy".
std::unique_ptr<IAudioDevice> CreateSdlMixerDevice(const char* defaultDriver);

}  // namespace zepa
