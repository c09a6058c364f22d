#include "plugins/bandwipe/bandwipe.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace velmo::bandwipe {

namespace {

using plugin::ScreenHeight;
using plugin::ScreenWidth;

// Parameters that would divide by zero or never advance take their defaults.
constexpr std::int32_t DefaultPeriod = 20;
constexpr std::int32_t DefaultStrip = 1;
constexpr std::int32_t DefaultCell = 20;
constexpr std::int32_t DefaultAdvance = 20;
constexpr std::int32_t DefaultBand = 1;

bool IsSetUpOrFinish(std::int32_t n) { return n == 0 || n == -1; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if (a % b != 0 && ((a < 0) == (b < 0))) ++q;
  return q;
}

// The rows (or columns) of the screen that a frame copies whole.
class Lines {
public:
  explicit Lines(int lineCount) : extent(lineCount) {}

  // Lines start ... start + length - 1, as far as they lie on the screen.
  void Mark(std::int64_t start, std::int64_t length) {
    const std::int64_t from = std::max<std::int64_t>(start, 0);
    const std::int64_t to = std::min<std::int64_t>(start + length, extent);
    for (std::int64_t i = from; i < to; ++i) marked[static_cast<std::size_t>(i)] = true;
  }

  // The spans [start + step x i, start + step x i + length) for i = 0 ... count - 1. Only the
  // indexes whose span reaches the screen are visited, and spans that overlap one another are
  // marked as the one run they form, so no count takes longer than a few hundred steps.
  void MarkProgression(std::int64_t start, std::int64_t step, std::int64_t count, std::int64_t length) {
    if (count <= 0 || length <= 0) return;
    // A span meets the screen when its start lies in [low, high].
    const std::int64_t low = 1 - length, high = extent - 1;
    if (step == 0) {
      if (start >= low && start <= high) Mark(start, length);
      return;
    }
    std::int64_t first, last;
    if (step > 0) {
      first = CeilDiv(low - start, step);
      last = FloorDiv(high - start, step);
    } else {
      first = CeilDiv(high - start, step);
      last = FloorDiv(low - start, step);
    }
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, count - 1);
    if (first > last) return;
    // Both ends lie near the screen, so these products stay small.
    const std::int64_t a = start + step * first, b = start + step * last;
    if (std::abs(step) <= length) {
      Mark(std::min(a, b), std::abs(b - a) + length);
      return;
    }
    for (std::int64_t i = first; i <= last; ++i) Mark(start + step * i, length);
  }

  bool operator[](int i) const { return marked[static_cast<std::size_t>(i)]; }
  int Extent() const { return extent; }

private:
  int extent;
  std::array<bool, ScreenWidth> marked{};
};

void CopyRows(const Lines& rows, const StripeFrame& f) {
  if (f.screen.bits == nullptr || f.to.bits == nullptr) return;
  for (int y = 0; y < rows.Extent(); ++y) {
    if (rows[y]) std::memcpy(f.screen.At(0, y), f.to.At(0, y), static_cast<std::size_t>(ScreenWidth) * 3);
  }
}

void CopyColumns(const Lines& columns, const StripeFrame& f) {
  if (f.screen.bits == nullptr || f.to.bits == nullptr) return;
  for (int x = 0; x < columns.Extent();) {
    if (!columns[x]) {
      ++x;
      continue;
    }
    int end = x;
    while (end < columns.Extent() && columns[end]) ++end;
    const std::size_t bytes = static_cast<std::size_t>(end - x) * 3;
    for (int y = 0; y < ScreenHeight; ++y) std::memcpy(f.screen.At(x, y), f.to.At(x, y), bytes);
    x = end;
  }
}

// Every P1 lines a strip of P2 lines, moved by n x P2.
int Blind(const StripeFrame& f, int extent) {
  if (IsSetUpOrFinish(f.n)) return 1;
  const std::int64_t period = f.p1 > 0 ? f.p1 : DefaultPeriod;
  const std::int64_t strip = f.p2 > 0 ? f.p2 : DefaultStrip;
  const std::int64_t a = std::int64_t{f.n} * strip;
  Lines lines(extent);
  lines.MarkProgression(a, period, (extent + period - 1) / period, strip);
  if (extent == ScreenHeight) {
    CopyRows(lines, f);
  } else {
    CopyColumns(lines, f);
  }
  return a < period;
}

// P1 lines a frame: every second line from the top down and every second from the bottom up,
// in pairs (one of each), so an odd P1 still copies a whole last pair.
int Interlace(const StripeFrame& f, int extent) {
  if (IsSetUpOrFinish(f.n)) return 1;
  Lines lines(extent);
  if (f.p1 > 0) {
    const std::int64_t top = (std::int64_t{f.n} - 1) * f.p1;
    const std::int64_t pairs = (std::int64_t{f.p1} + 1) / 2;
    lines.MarkProgression(top, 2, pairs, 1);
    lines.MarkProgression(extent - 1 - top, -2, pairs, 1);
  }
  if (extent == ScreenHeight) {
    CopyRows(lines, f);
  } else {
    CopyColumns(lines, f);
  }
  return std::int64_t{f.n} * f.p1 < extent;
}

// P1 lines at the sequence's next values modulo m. The sequence runs in a cycle shorter than m
// from its first value on (m is prime and 19 has an inverse modulo m), so once the cycle has
// come round every line it can give is copied, and the rest of the P1 steps only move the
// state on by their number modulo the cycle.
int RandomStripe(const StripeFrame& f, StripeSequence& sequence, std::int32_t m, int extent) {
  if (IsSetUpOrFinish(f.n)) return 1;
  Lines lines(extent);
  const std::int64_t times = f.p1;
  std::int32_t first = 0;
  for (std::int64_t i = 0; i < times; ++i) {
    const std::int32_t value = sequence.Next(m);
    lines.Mark(value, 1);
    if (i == 0) {
      first = value;
    } else if (value == first) {
      const std::int64_t cycle = i;
      for (std::int64_t rest = (times - 1 - i) % cycle; rest > 0; --rest) sequence.Next(m);
      break;
    }
  }
  if (extent == ScreenHeight) {
    CopyRows(lines, f);
  } else {
    CopyColumns(lines, f);
  }
  return std::int64_t{f.n} * f.p1 < extent;
}

// A checkerboard of P1 x P2 cells; in each frame the cells of one colour get one more line of the
// new picture (columns across a cell for the horizontal wipe, rows down it for the vertical one),
// first the cells with an even r + c, then the others.
int CheckerWipe(const StripeFrame& f, bool horizontal) {
  if (IsSetUpOrFinish(f.n)) return 1;
  const std::int64_t cellWidth = f.p1 != 0 ? f.p1 : DefaultCell;
  const std::int64_t cellHeight = f.p2 != 0 ? f.p2 : DefaultCell;
  const std::int64_t n = f.n;
  const std::int64_t steps = horizontal ? cellWidth : cellHeight;
  const std::int64_t columns = ScreenWidth / cellWidth, rows = ScreenHeight / cellHeight;
  const std::int64_t bump = steps < n ? 1 : 0;
  const std::int64_t k = n <= steps ? n - 1 : n - 1 - steps;
  for (std::int64_t r = 0; r < rows; ++r) {
    for (std::int64_t c = 0; c < columns; ++c) {
      if ((r + c + bump) % 2 != 0) continue;
      if (horizontal) {
        plugin::BlitPixels(f.screen, c * cellWidth + k, r * cellHeight, 1, cellHeight, f.to, c * cellWidth + k,
                           r * cellHeight, plugin::RasterOp::Copy);
      } else {
        plugin::BlitPixels(f.screen, c * cellWidth, r * cellHeight + k, cellWidth, 1, f.to, c * cellWidth,
                           r * cellHeight + k, plugin::RasterOp::Copy);
      }
    }
  }
  return n < 2 * steps;
}

// P1 bands of P2 lines: band i lies (P2 - P1) x i lines behind a front that moves P1 lines a
// frame. `towardZero` wipes up or to the left: the front starts at the far edge and each band is
// copied with the negative extent -P2, as BitBlt takes it.
int GradWipe(const StripeFrame& f, int extent, bool towardZero) {
  if (IsSetUpOrFinish(f.n)) return 1;
  const std::int64_t advance = f.p1 > 0 ? f.p1 : DefaultAdvance;
  const std::int64_t band = f.p2 != 0 ? f.p2 : DefaultBand;
  const std::int64_t front = std::int64_t{f.n} * advance;
  Lines lines(extent);
  if (towardZero) {
    const plugin::Span first = plugin::NormalizedSpan(extent - front, -band);
    lines.MarkProgression(first.start, advance - band, advance, first.length);
  } else {
    const plugin::Span first = plugin::NormalizedSpan(front, band);
    lines.MarkProgression(first.start, band - advance, advance, first.length);
  }
  if (extent == ScreenHeight) {
    CopyRows(lines, f);
  } else {
    CopyColumns(lines, f);
  }
  return front < advance * advance / band + extent;
}

} // namespace

int BlindH(const StripeFrame& f) { return Blind(f, ScreenHeight); }
int BlindV(const StripeFrame& f) { return Blind(f, ScreenWidth); }
int InterlaceH(const StripeFrame& f) { return Interlace(f, ScreenHeight); }
int InterlaceV(const StripeFrame& f) { return Interlace(f, ScreenWidth); }
int RandomStripeH(const StripeFrame& f, StripeSequence& sequence) {
  return RandomStripe(f, sequence, 479, ScreenHeight);
}
int RandomStripeV(const StripeFrame& f, StripeSequence& sequence) {
  return RandomStripe(f, sequence, 641, ScreenWidth);
}
int CheckerWipeH(const StripeFrame& f) { return CheckerWipe(f, true); }
int CheckerWipeV(const StripeFrame& f) { return CheckerWipe(f, false); }
int GradWipeUp(const StripeFrame& f) { return GradWipe(f, ScreenHeight, true); }
int GradWipeDown(const StripeFrame& f) { return GradWipe(f, ScreenHeight, false); }
int GradWipeLeft(const StripeFrame& f) { return GradWipe(f, ScreenWidth, true); }
int GradWipeRight(const StripeFrame& f) { return GradWipe(f, ScreenWidth, false); }

} // namespace velmo::bandwipe
