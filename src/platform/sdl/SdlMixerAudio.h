// The audio device on SDL2_mixer.
//
// Implements IAudioDevice: music clips are Mix_Music (streamed; MIDI through the General MIDI
// soundfont), ambience and effect clips are Mix_Chunk, or a voice fed in pieces for a sound too
// long to decode whole. Files open and decode on the device's loader thread; clips start when
// Poll finds their load done. Voice 0 is reserved for ambience; the other voices form the effect
// group, and when all of them sound, the oldest effect gives way to a new one. Decoded effects are
// kept (up to 32 MB, while their files are unchanged), so an effect played again starts without
// decoding.
#pragma once

#include <memory>

#include "platform/Audio.h"

namespace zepa {

// `defaultDriver` (may be null) is the audio driver used when SDL_AUDIODRIVER does not name one;
// headless runs pass "dummy".
std::unique_ptr<IAudioDevice> CreateSdlMixerDevice(const char* defaultDriver);

}  // namespace zepa
