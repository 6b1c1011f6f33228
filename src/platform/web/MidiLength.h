// How long a Standard MIDI File plays: the time of its last event, through its tempo changes.
// The browser's synthesizer renders MIDI later and elsewhere; the engine needs the length at once
// to tell when a one-shot MIDI clip has ended.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zepa {

// Seconds from the start to the last event of any track; nullopt when the bytes are not a
// Standard MIDI File (a track cut short ends where the file does).
std::optional<double> MidiLengthSeconds(std::span<const uint8_t> bytes);

}  // namespace zepa
