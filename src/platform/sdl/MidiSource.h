// MIDI rendered in pieces through the General MIDI soundfont (FluidSynth), for MIDI played as an
// effect or a background sound: a tiny file may hold a note hours long, so it is never rendered
// whole beyond a bound.
#pragma once

#include <memory>
#include <string>

#include "platform/sdl/PcmSource.h"

namespace zepa {

// True when the file starts as a Standard MIDI File ("MThd").
bool LooksLikeMidi(const std::string& path);

// Opens `path` for rendering through `soundFont` ("" or unreadable: the piece renders silent, as
// MIDI music does without a soundfont). Null with `error` set when the file is not playable MIDI.
std::unique_ptr<IPcmSource> OpenMidiSource(const std::string& path, const std::string& soundFont,
                                           PcmFormat format, std::string& error);

}  // namespace zepa
