#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmo {

// How long a media file plays, read from its headers, for the devices of the virtual clock. Each
// takes the file's first bytes (the whole file for MIDI) and is empty when they are not a file of
// that kind or do not tell.

// A RIFF WAVE file: the bytes of its "data" chunk over the byte rate of its "fmt " chunk.
std::optional<std::uint32_t> WaveLengthMs(std::string_view bytes);

// A standard MIDI file: its longest track in ticks, timed by the tempo changes of every track
// (500,000 us per quarter note until the first) or by its SMPTE frame rate.
std::optional<std::uint32_t> MidiLengthMs(std::string_view bytes);

// An AVI file: the frames of its main header times their microseconds.
std::optional<std::uint32_t> AviLengthMs(std::string_view bytes);

} // namespace velmo
