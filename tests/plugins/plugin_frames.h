#pragma once

// Pictures and a parameter block for calling the delivered plug-ins' functions in tests: the
// screen, from and to pictures of 640 x 480 pixels, and the variant block that points at them.
#include "plugins/common/pixel_rect.h"
#include "plugins/include/velmo_plugin.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace velmo::test {

using plugin::ScreenBytes;
using plugin::ScreenHeight;
using plugin::ScreenWidth;

// A byte of a picture made from the position: different in each of the three pictures (`seed`),
// never 0, so a copied pixel can be told from an untouched one and from one copied from elsewhere.
inline std::uint8_t PatternByte(int seed, int x, int y, int channel) {
  return static_cast<std::uint8_t>(1 + (x * 7 + y * 13 + channel * 101 + seed * 37) % 251);
}

inline std::vector<std::uint8_t> MakePatternPicture(int seed) {
  std::vector<std::uint8_t> bytes(ScreenBytes);
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; ++x) {
      for (int c = 0; c < 3; ++c)
        bytes[static_cast<std::size_t>((y * ScreenWidth + x) * 3 + c)] = PatternByte(seed, x, y, c);
    }
  }
  return bytes;
}

// The pictures of seeds 1 (from) and 2 (to), made once.
inline const std::vector<std::uint8_t>& PatternPicture(int seed) {
  static const std::vector<std::uint8_t> from = MakePatternPicture(1), to = MakePatternPicture(2);
  return seed == 1 ? from : to;
}

struct PluginFrames {
  std::vector<std::uint8_t> screen = std::vector<std::uint8_t>(ScreenBytes);
  std::vector<std::uint8_t> from = PatternPicture(1);
  std::vector<std::uint8_t> to = PatternPicture(2);
  EffectBlockEx blockEx{};

  PluginFrames() {
    EffectBlock& b = blockEx.block;
    b.screenPixels = screen.data();
    b.fromPixels = from.data();
    b.toPixels = to.data();
  }

  EffectBlock& Block() { return blockEx.block; }
  // Sets the counter and parameters 1 ... n.
  void Set(std::int32_t counter, std::initializer_list<std::int32_t> params) {
    Block().frameCounter = counter;
    int i = 0;
    for (std::int32_t p : params) Block().params[i++] = p;
  }
  int Call(VelmoEntryFunction function) { return function(&blockEx); }

  std::size_t At(int x, int y) const { return static_cast<std::size_t>((y * ScreenWidth + x) * 3); }
  bool Untouched(int x, int y, const std::vector<std::uint8_t>& before) const {
    const std::size_t i = At(x, y);
    return screen[i] == before[i] && screen[i + 1] == before[i + 1] && screen[i + 2] == before[i + 2];
  }
  bool FromTo(int x, int y) const {
    const std::size_t i = At(x, y);
    return screen[i] == to[i] && screen[i + 1] == to[i + 1] && screen[i + 2] == to[i + 2];
  }
};

// The pixels a copying frame changed: false where the screen is as it was (all zero), true where
// it holds the new picture's pixel of the same place; `misplaced` counts pixels that are neither.
struct CopiedPixels {
  std::vector<bool> copied = std::vector<bool>(static_cast<std::size_t>(ScreenWidth * ScreenHeight));
  int misplaced = 0;

  bool operator()(int x, int y) const { return copied[static_cast<std::size_t>(y * ScreenWidth + x)]; }
  // The rows copied across the whole width; -1 in the list for a row that is copied in part.
  std::vector<int> Rows() const {
    std::vector<int> rows;
    for (int y = 0; y < ScreenHeight; ++y) {
      int count = 0;
      for (int x = 0; x < ScreenWidth; ++x) count += (*this)(x, y);
      if (count == ScreenWidth) rows.push_back(y);
      if (count != 0 && count != ScreenWidth) rows.push_back(-1);
    }
    return rows;
  }
  std::vector<int> Columns() const {
    std::vector<int> columns;
    for (int x = 0; x < ScreenWidth; ++x) {
      int count = 0;
      for (int y = 0; y < ScreenHeight; ++y) count += (*this)(x, y);
      if (count == ScreenHeight) columns.push_back(x);
      if (count != 0 && count != ScreenHeight) columns.push_back(-1);
    }
    return columns;
  }
};

// The screen of `frames` started all zero; what is copied now.
inline CopiedPixels CopiedOf(const PluginFrames& frames) {
  CopiedPixels result;
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; ++x) {
      const std::size_t i = frames.At(x, y);
      const bool zero = frames.screen[i] == 0 && frames.screen[i + 1] == 0 && frames.screen[i + 2] == 0;
      if (frames.FromTo(x, y)) {
        result.copied[static_cast<std::size_t>(y * ScreenWidth + x)] = true;
      } else if (!zero) {
        ++result.misplaced;
      }
    }
  }
  return result;
}

// Numbers first, first + step, ... up to and including last.
inline std::vector<int> Series(int first, int step, int last) {
  std::vector<int> values;
  for (int v = first; step > 0 ? v <= last : v >= last; v += step) values.push_back(v);
  return values;
}

} // namespace velmo::test
