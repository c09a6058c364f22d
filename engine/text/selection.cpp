#include "engine/text/selection.h"

#include "engine/base/escapes.h"
#include "engine/base/sjis.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/pixels.h"
#include "engine/text/message_window.h"

#include <algorithm>
#include <cstring>

namespace velmo {
namespace {

constexpr std::uint32_t CursorStepPauseMs = 5;
constexpr int CursorStepDivisor = 20;

// One axis of the cursor's animation toward the default entry.
struct CursorAxis {
  std::int64_t position;
  std::int64_t target;
  std::int64_t step;

  CursorAxis(std::int64_t from, std::int64_t to) : position(from), target(to) {
    const std::int64_t difference = to - from;
    step = difference / CursorStepDivisor;
    if (step == 0) step = difference > 0 ? 1 : -1;
  }
  void Advance() {
    if (step == 0) return;
    position += step;
    if ((step > 0 && position >= target) || (step < 0 && position <= target)) {
      position = target;
      step = 0;
    }
  }
};

} // namespace

char KeyCharacter(int virtualKey) {
  if (virtualKey >= 0x60 && virtualKey <= 0x69) virtualKey -= 0x30; // the numeric keypad's digits
  if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
    return static_cast<char>(virtualKey);
  switch (virtualKey) {
  case 0x20:
    return ' ';
  case 0xBA:
    return ':';
  case 0xBB:
    return ';';
  case 0xBC:
    return ',';
  case 0xBD:
    return '-';
  case 0xBE:
    return '.';
  case 0xBF:
    return '/';
  case 0xC0:
    return '@';
  case 0xDB:
    return '[';
  case 0xDC:
    return '\\';
  case 0xDD:
    return ']';
  case 0xDE:
    return '^';
  case 0xE2:
    return '\\';
  default:
    return 0;
  }
}

void Selection::Begin(std::int32_t autoActivateMode) {
  count = 0;
  active = -1;
  autoActivate = autoActivateMode;
  defaultEntry = autoActivate == AutoActivateFalse ? -1 : 0;
}

int Selection::Add(const SelectionEntry& entry, bool isDefault) {
  if (isDefault && defaultEntry >= 0) defaultEntry = count;
  entries[static_cast<std::size_t>(count)] = entry;
  entries[static_cast<std::size_t>(count)].hot = false;
  return count++;
}

void Selection::DrawOption(SelectionEntry& entry, int pair) {
  std::int64_t x = entry.left;
  std::int32_t height = 0;
  const std::string& text = entry.text;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char byte = text[i];
    std::string_view character;
    if (byte == EscBackslash) {
      character = "\\";
    } else if (byte == EscDollar) {
      character = "$";
    } else if (static_cast<unsigned char>(byte) < 0x0F) {
      continue; // the escaped quote and comma, and control bytes, do not show
    } else {
      const std::size_t length = IsLeadByte(byte) && i + 1 < text.size() ? 2 : 1;
      character = std::string_view(text.data() + i, length);
      i += length - 1;
    }
    messageWindow.DrawTextRun(*screen.screenSurface, Saturate32(x), entry.top, character, pair);
    const TextSize size = screen.graphics.MeasureText(character);
    x += size.cx + messageWindow.font.spacing;
    height = size.cy;
  }
  entry.right = Saturate32(x);
  entry.bottom = Saturate32(std::int64_t{entry.top} + height);
}

void Selection::DrawLook(SelectionEntry& entry, Look look) {
  if (entry.lookLayer < 0) {
    DrawOption(entry, look == Look::Normal ? OptionPair : look == Look::Active ? ActivePair : ClickPair);
    return;
  }
  screen.graphics.Flush();
  if (look == Look::Normal) {
    // The composed picture under the button.
    CopyPixelRect(screen.composeSurface->View(), entry.left, entry.top, entry.width, entry.height,
                  screen.screenSurface->View(), entry.left, entry.top);
    return;
  }
  const std::int32_t x = look == Look::Active ? entry.activeX : entry.clickX;
  const std::int32_t y = look == Look::Active ? entry.activeY : entry.clickY;
  if (x == -1 || y == -1) return;
  const TLayer* layer = screen.layers.At(entry.lookLayer);
  if (layer == nullptr || layer->kind != LayerKind::Bitmap) return;
  const auto& bitmap = static_cast<const TBitmapLayer&>(*layer);
  if (!bitmap.picture) return;
  // A look layer in TRANSPARENT mode leaves its key colour out, as the layer is drawn.
  const Picture& picture = *bitmap.picture;
  if (picture.pixels.empty()) return;
  CopyPixelRect(picture.View(), x, y, entry.width, entry.height, screen.screenSurface->View(), entry.left, entry.top,
                bitmap.mode == ModeTransparent);
}

void Selection::Hover(int x, int y) {
  bool changed = false;
  for (int n = 0; n < count; ++n) {
    SelectionEntry& entry = entries[static_cast<std::size_t>(n)];
    const bool inside = entry.left <= x && x < entry.right && entry.top <= y && y < entry.bottom;
    if (inside && !entry.hot) {
      DrawLook(entry, Look::Active);
      entry.hot = true;
      changed = true;
    } else if (!inside && entry.hot) {
      DrawLook(entry, Look::Normal);
      entry.hot = false;
      changed = true;
    }
  }
  if (!changed) return;
  active = -1;
  for (int n = 0; n < count; ++n) {
    if (entries[static_cast<std::size_t>(n)].hot) {
      active = n;
      break;
    }
  }
  window.Repaint();
}

void Selection::Down() {
  if (count == 0) return;
  active = std::min(active + 1, count - 1);
  Hover(entries[static_cast<std::size_t>(active)].left, entries[static_cast<std::size_t>(active)].top);
}

void Selection::Up() {
  if (count == 0) return;
  if (active == -1) active = count;
  active = std::max(active - 1, 0);
  Hover(entries[static_cast<std::size_t>(active)].left, entries[static_cast<std::size_t>(active)].top);
}

bool Selection::Key(int virtualKey) {
  // A key that is no entry's leaves the highlighted entry as it is.
  const char character = KeyCharacter(virtualKey);
  if (character == 0) return false;
  for (int n = 0; n < count; ++n) {
    const SelectionEntry& entry = entries[static_cast<std::size_t>(n)];
    if (entry.key == 0 || entry.key != character) continue;
    active = n;
    Hover(entry.left, entry.top);
    return entry.keyKind == HotKey;
  }
  return false;
}

SelectionChoice Selection::Hit(int, int) {
  for (int n = 0; n < count; ++n) {
    SelectionEntry& entry = entries[static_cast<std::size_t>(n)];
    if (!entry.hot) continue;
    DrawLook(entry, Look::Clicked);
    window.Repaint();
    return SelectionChoice{n, entry.kind, n};
  }
  return SelectionChoice{};
}

void Selection::MoveCursorToDefault() {
  if (autoActivate == AutoActivateFalse || defaultEntry < 0 || defaultEntry >= count) return;
  if (autoActivate == AutoActivateOnce) autoActivate = AutoActivateFalse;
  int x = 0, y = 0;
  if (!window.CursorPosition(x, y)) return;
  const SelectionEntry& target = entries[static_cast<std::size_t>(defaultEntry)];
  CursorAxis horizontal(x, target.left);
  CursorAxis vertical(y, target.top);
  while (horizontal.step != 0 || vertical.step != 0) {
    horizontal.Advance();
    vertical.Advance();
    window.MoveCursor(static_cast<int>(horizontal.position), static_cast<int>(vertical.position), CursorStepPauseMs);
  }
}

} // namespace velmo
