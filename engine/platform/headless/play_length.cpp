#include "engine/platform/headless/play_length.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace velmo {

namespace {

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

std::uint32_t Big(std::string_view bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

bool HasId(std::string_view bytes, std::size_t at, std::string_view id) {
  return at + id.size() <= bytes.size() && bytes.substr(at, id.size()) == id;
}

std::uint32_t ClampMs(std::uint64_t ms) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, std::numeric_limits<std::uint32_t>::max()));
}

// The chunks of a RIFF list that starts at `at` and ends at `end`: calls `visit` (id position,
// data position, data size) for each whole header until it answers false.
template <typename Visit> void WalkChunks(std::string_view bytes, std::size_t at, std::size_t end, Visit visit) {
  end = std::min(end, bytes.size());
  while (at + 8 <= end) {
    const std::uint32_t size = Little32(bytes, at + 4);
    if (!visit(at, at + 8, size)) return;
    const std::uint64_t next = std::uint64_t{at} + 8 + size + (size & 1);
    if (next > end) return;
    at = static_cast<std::size_t>(next);
  }
}

// A variable-length quantity of a MIDI file; false at the end of the data.
bool ReadQuantity(std::string_view bytes, std::size_t& at, std::size_t end, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= end) return false;
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    value = (value << 7) | (byte & 0x7Fu);
    if ((byte & 0x80) == 0) return true;
  }
  return true;
}

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microsPerQuarter;
};

// The last tick of one track, collecting its tempo changes.
std::uint64_t ReadTrack(std::string_view bytes, std::size_t at, std::size_t end, std::vector<TempoChange>& tempos) {
  std::uint64_t tick = 0;
  unsigned char running = 0;
  while (at < end) {
    std::uint32_t delta = 0;
    if (!ReadQuantity(bytes, at, end, delta) || at >= end) break;
    tick += delta;
    unsigned char status = static_cast<unsigned char>(bytes[at]);
    if (status >= 0x80) {
      ++at;
      if (status < 0xF0) running = status;
    } else if (running != 0) {
      status = running;
    } else {
      break; // data without a status to run on
    }
    if (status == 0xFF) {
      if (at >= end) break;
      const auto type = static_cast<unsigned char>(bytes[at++]);
      std::uint32_t length = 0;
      if (!ReadQuantity(bytes, at, end, length)) break;
      if (type == 0x2F) break; // end of track
      if (type == 0x51 && length == 3 && at + 3 <= end) tempos.push_back({tick, Big(bytes, at, 3)});
      if (length > end - at) break;
      at += length;
    } else if (status == 0xF0 || status == 0xF7) {
      std::uint32_t length = 0;
      if (!ReadQuantity(bytes, at, end, length) || length > end - at) break;
      at += length;
    } else {
      const unsigned kind = status & 0xF0u;
      at += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    }
  }
  return tick;
}

} // namespace

std::optional<std::uint32_t> WaveLengthMs(std::string_view bytes) {
  if (!HasId(bytes, 0, "RIFF") || !HasId(bytes, 8, "WAVE")) return std::nullopt;
  std::optional<std::uint32_t> byteRate;
  std::optional<std::uint32_t> dataBytes;
  WalkChunks(bytes, 12, bytes.size(), [&](std::size_t id, std::size_t data, std::uint32_t size) {
    if (HasId(bytes, id, "fmt ") && size >= 16 && data + 12 <= bytes.size()) byteRate = Little32(bytes, data + 8);
    if (HasId(bytes, id, "data")) {
      dataBytes = size;
      return false;
    }
    return true;
  });
  if (!byteRate || *byteRate == 0 || !dataBytes) return std::nullopt;
  return ClampMs(std::uint64_t{*dataBytes} * 1000 / *byteRate);
}

std::optional<std::uint32_t> MidiLengthMs(std::string_view bytes) {
  if (!HasId(bytes, 0, "MThd") || bytes.size() < 14) return std::nullopt;
  const std::uint32_t headerSize = Big(bytes, 4, 4);
  if (headerSize < 6) return std::nullopt;
  const std::uint32_t division = Big(bytes, 12, 2);
  std::vector<TempoChange> tempos;
  std::uint64_t lastTick = 0;
  bool tracks = false;
  for (std::uint64_t at = 8 + std::uint64_t{headerSize}; at + 8 <= bytes.size();) {
    const auto start = static_cast<std::size_t>(at);
    const std::uint64_t size = Big(bytes, start + 4, 4);
    const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(at + 8 + size, bytes.size()));
    if (HasId(bytes, start, "MTrk")) {
      tracks = true;
      lastTick = std::max(lastTick, ReadTrack(bytes, start + 8, end, tempos));
    }
    at += 8 + size;
  }
  if (!tracks) return std::nullopt;

  if ((division & 0x8000) != 0) {
    // SMPTE: frames per second in the high byte (negative), ticks per frame in the low one.
    const std::uint32_t framesPerSecond = 256 - (division >> 8);
    const std::uint32_t ticksPerFrame = division & 0xFF;
    if (ticksPerFrame == 0) return std::nullopt;
    return ClampMs(lastTick * 1000 / (std::uint64_t{framesPerSecond} * ticksPerFrame));
  }
  if (division == 0) return std::nullopt;
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  // Microseconds summed over the stretches between tempo changes; a length past what 64 bits hold
  // stays at their maximum.
  std::uint64_t micros = 0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = 500000;
  auto addStretch = [&](std::uint64_t ticks) {
    const std::uint64_t part = (ticks % division) * tempo / division;
    std::uint64_t whole = 0;
    if (__builtin_mul_overflow(ticks / division, std::uint64_t{tempo}, &whole) ||
        __builtin_add_overflow(whole, part, &whole) || __builtin_add_overflow(micros, whole, &micros)) {
      micros = std::numeric_limits<std::uint64_t>::max();
    }
  };
  for (const TempoChange& change : tempos) {
    if (change.tick >= lastTick) break;
    addStretch(change.tick - tick);
    tick = change.tick;
    tempo = change.microsPerQuarter;
  }
  addStretch(lastTick - tick);
  return ClampMs(micros / 1000);
}

std::optional<std::uint32_t> AviLengthMs(std::string_view bytes) {
  if (!HasId(bytes, 0, "RIFF") || !HasId(bytes, 8, "AVI ")) return std::nullopt;
  std::optional<std::uint32_t> length;
  WalkChunks(bytes, 12, bytes.size(), [&](std::size_t id, std::size_t data, std::uint32_t size) {
    if (!HasId(bytes, id, "LIST") || !HasId(bytes, data, "hdrl")) return true;
    WalkChunks(bytes, data + 4, data + size, [&](std::size_t inner, std::size_t header, std::uint32_t) {
      if (!HasId(bytes, inner, "avih")) return true;
      if (header + 20 <= bytes.size()) {
        const std::uint64_t micros = std::uint64_t{Little32(bytes, header)} * Little32(bytes, header + 16);
        length = ClampMs(micros / 1000);
      }
      return false;
    });
    return false;
  });
  return length;
}

} // namespace velmo
