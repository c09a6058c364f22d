#pragma once

// Media files made in tests: a wave file of a given length, a standard MIDI file of given notes
// and tempo, and the headers of an AVI file.

#include <cstdint>
#include <string>
#include <vector>

namespace velmo {

inline void PutLittle(std::string& bytes, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void PutBig(std::string& bytes, std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A RIFF chunk: its id, its size and its data, padded to an even length.
inline std::string Chunk(const std::string& id, const std::string& data) {
  std::string chunk = id;
  PutLittle(chunk, static_cast<std::uint32_t>(data.size()), 4);
  chunk += data;
  if (data.size() % 2 != 0) chunk += '\0';
  return chunk;
}

// 8-bit mono PCM of silence, `ms` milliseconds at `rate` samples per second (so `rate` bytes a
// second); `extra` chunks go between "fmt " and "data".
inline std::string WaveFile(std::uint32_t ms, std::uint32_t rate = 1000, const std::string& extra = "") {
  std::string format;
  PutLittle(format, 1, 2);    // PCM
  PutLittle(format, 1, 2);    // mono
  PutLittle(format, rate, 4); // samples per second
  PutLittle(format, rate, 4); // bytes per second
  PutLittle(format, 1, 2);    // block align
  PutLittle(format, 8, 2);    // bits per sample
  const std::string data(static_cast<std::size_t>(std::uint64_t{ms} * rate / 1000), static_cast<char>(0x80));
  return Chunk("RIFF", "WAVE" + Chunk("fmt ", format) + extra + Chunk("data", data));
}

// A MIDI variable-length quantity.
inline std::string Quantity(std::uint32_t value) {
  std::string bytes(1, static_cast<char>(value & 0x7F));
  while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>((value & 0x7F) | 0x80));
  return bytes;
}

inline std::string TempoEvent(std::uint32_t delta, std::uint32_t microsPerQuarter) {
  std::string event = Quantity(delta) + "\xFF\x51\x03";
  PutBig(event, microsPerQuarter, 3);
  return event;
}

// A standard MIDI file of the given tracks (their events, without the end-of-track event).
inline std::string MidiFile(std::uint16_t format, std::uint16_t division, const std::vector<std::string>& tracks) {
  std::string bytes = "MThd";
  PutBig(bytes, 6, 4);
  PutBig(bytes, format, 2);
  PutBig(bytes, static_cast<std::uint32_t>(tracks.size()), 2);
  PutBig(bytes, division, 2);
  for (const std::string& events : tracks) {
    const std::string body = events + std::string("\x00\xFF\x2F\x00", 4);
    bytes += "MTrk";
    PutBig(bytes, static_cast<std::uint32_t>(body.size()), 4);
    bytes += body;
  }
  return bytes;
}

// A note of `ticks` on channel 1 (with running status for its end).
inline std::string Note(std::uint32_t ticks) {
  return Quantity(0) + "\x90\x3C\x40" + Quantity(ticks) + std::string("\x3C\x00", 2);
}

// The headers of an AVI file: `frames` frames of `micros` microseconds each, and no frames.
inline std::string AviFile(std::uint32_t frames, std::uint32_t micros) {
  std::string header;
  PutLittle(header, micros, 4);
  for (int i = 0; i < 3; ++i) PutLittle(header, 0, 4);
  PutLittle(header, frames, 4);
  for (int i = 0; i < 9; ++i) PutLittle(header, 0, 4);
  return Chunk("RIFF", "AVI " + Chunk("LIST", "hdrl" + Chunk("avih", header)) + Chunk("LIST", "movi"));
}

} // namespace velmo
