#include "engine/text/message_window.h"

#include "engine/graphics/compositor.h"
#include "engine/script/sjis.h"
#include "engine/shell/engine.h"

#include <algorithm>
#include <cstring>

namespace velmo {
namespace {

// The bytes the line reader turns escapes into, as message text reads them.
constexpr char EscNewLine = 0x01;
constexpr char EscClearPage = 0x02;
constexpr char EscWait = 0x03;
constexpr char EscInstantOn = 0x04;
constexpr char EscInstantOff = 0x05;
constexpr char EscIndentPush = 0x06;
constexpr char EscIndentPop = 0x07;
constexpr char EscHang = 0x08;
constexpr char EscNoHangDash = 0x09;
constexpr char EscNoHang = 0x0A;
constexpr char EscBackslash = 0x0B;
constexpr char EscLast = 0x0E;

// HangMode: what happens to the next character that does not fit on its line.
constexpr int HangNormal = 0; // it hangs when it may not begin a line
constexpr int HangAlways = 2;

// Cursor positions are kept in 32 bits; sums of script-given sizes saturate instead of wrapping.
std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Copies the rectangle (left, top, right, bottom) of `from` onto the same place of `to`, clipped
// to the surfaces.
void CopySurfaceRect(const TSurface& from, TSurface& to, std::int64_t left, std::int64_t top, std::int64_t right,
                     std::int64_t bottom) {
  left = std::max<std::int64_t>(left, 0);
  top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, TSurface::Width);
  bottom = std::min<std::int64_t>(bottom, TSurface::Height);
  if (left >= right || top >= bottom) return;
  for (std::int64_t y = top; y < bottom; ++y) {
    const std::size_t offset = static_cast<std::size_t>(y) * TSurface::Stride + static_cast<std::size_t>(left) * 3;
    std::memcpy(to.Bits() + offset, from.Bits() + offset, static_cast<std::size_t>(right - left) * 3);
  }
}

} // namespace

void CharSet::Assign(std::string_view text) {
  bytes.fill(0);
  std::size_t at = 0;
  for (std::size_t i = 0; i < text.size() && at < Capacity * 2; ++i) {
    bytes[at] = text[i];
    if (IsLeadByte(text[i]) && i + 1 < text.size()) bytes[at + 1] = text[++i];
    at += 2;
  }
}

bool CharSet::Contains(std::string_view character) const {
  const char first = character.empty() ? '\0' : character[0];
  const char second = character.size() > 1 ? character[1] : '\0';
  for (std::size_t at = 0; at < bytes.size() && bytes[at] != '\0'; at += 2) {
    if (bytes[at] == first && bytes[at + 1] == second) return true;
  }
  return false;
}

int CharSet::Count() const {
  int count = 0;
  while (count < Capacity && bytes[static_cast<std::size_t>(count) * 2] != '\0') ++count;
  return count;
}

MessageWindow::MessageWindow(Engine& owner) : engine(owner) {
  font.description = engine.platform.graphics.SystemFont();
}

TTextLayer* MessageWindow::TextLayer() const {
  const std::int32_t slot = engine.layers.messageLayer;
  if (slot < 0 || slot >= LayerTable::SlotCount) return nullptr;
  TLayer* layer = engine.layers.At(slot);
  return layer != nullptr && layer->kind == LayerKind::Text ? static_cast<TTextLayer*>(layer) : nullptr;
}

TextLayerState& MessageWindow::Layout() {
  TTextLayer* layer = TextLayer();
  return layer != nullptr ? static_cast<TextLayerState&>(*layer) : detached;
}

void MessageWindow::SetMessageText(const char* message) {
  text.fill('\0');
  const std::string_view kept = CutAtCharBoundary(message, BufferSize - 1);
  std::memcpy(text.data(), kept.data(), kept.size());
  readPosition = 0;
  clearPending = false;
  engine.runState = RunState::TextOutput;
}

void MessageWindow::Reset() {
  engine.clickSkip = false;
  engine.skipToOption = false;
}

void MessageWindow::RecreateMessageFont() {
  font.description.pitchAndFamily = 0;
  engine.platform.graphics.SetMessageFont(font.description);
  font.made = true;
  font.dirty = false;
}

std::size_t MessageWindow::DrawTextRun(TSurface& surface, int x, int y, std::string_view run, int pair) {
  const ColourPair& colour = colours[static_cast<std::size_t>(pair)];
  IGraphics& graphics = engine.platform.graphics;
  graphics.PaintText(surface, Saturate(std::int64_t{x} + 2), Saturate(std::int64_t{y} + 2), run, colour.shadow);
  graphics.PaintText(surface, x, y, run, colour.text);
  return run.size();
}

void MessageWindow::WaitForClick() {
  engine.clickSkip = false;
  engine.runState = engine.skipToOption ? RunState::TextOutput : RunState::ClickWait;
}

void MessageWindow::ClearPage() {
  engine.platform.graphics.Flush();
  if (font.dirty) RecreateMessageFont();
  TTextLayer* layer = TextLayer();
  if (layer != nullptr && (layer->mode & 2) != 0) layer->Discard(engine);
  ComposeTextBand(engine);
  std::memcpy(engine.screenSurface->Bits(), engine.composeSurface->Bits(), TSurface::Size);
  engine.platform.window.Repaint();
  TextLayerState& layout = Layout();
  layout.indentCount = 0;
  layout.CursorX() = layout.rect.left;
  layout.CursorY() = layout.rect.top;
}

MessageWindow::StepEnd MessageWindow::PrintCharacter(std::string_view character, std::size_t consumed, int& hangMode) {
  TextLayerState& layout = Layout();
  TTextLayer* layer = TextLayer();
  lastMeasured = engine.platform.graphics.MeasureText(character);
  const std::int64_t right = std::int64_t{layout.rect.left} + layout.rect.width;
  std::int64_t x = layout.CursorX();
  std::int64_t y = layout.CursorY();
  std::int64_t nextX = x + lastMeasured.cx + font.spacing;
  std::int64_t newY = y;
  if (nextX >= right) {
    newY = y + font.linePitch + lastMeasured.cy;
    if (hangMode == HangAlways || (hangMode == HangNormal && IsNoHeadingChar(character))) {
      // The character hangs past the right edge; the next one starts the next line.
      nextX = layout.LineStart();
    } else if (newY >= std::int64_t{layout.rect.top} + layout.rect.height) {
      // Its new line lies below the page: the page waits, and after the click the character
      // starts the next page instead of being typed out of sight and cleared away.
      readPosition -= consumed;
      clearPending = true;
      WaitForClick();
      return StepEnd::End;
    } else {
      x = layout.LineStart();
      y = newY;
      layout.CursorX() = Saturate(x);
      layout.CursorY() = Saturate(y);
      nextX = x + lastMeasured.cx + font.spacing;
    }
  }
  if (layer != nullptr) {
    if ((layer->mode & 1) != 0) DrawTextRun(*engine.screenSurface, Saturate(x), Saturate(y), character, MessagePair);
    if ((layer->mode & 2) != 0) DrawTextRun(*layer->bitmap, Saturate(x), Saturate(y), character, MessagePair);
  }
  layout.CursorX() = Saturate(nextX);
  layout.CursorY() = Saturate(newY);
  hangMode = HangNormal;
  if (newY >= std::int64_t{layout.rect.top} + layout.rect.height) {
    // The page is full: after the click the page clears and output goes on with the next character.
    text[--readPosition] = EscClearPage;
    WaitForClick();
    return StepEnd::End;
  }
  return StepEnd::Continue;
}

void MessageWindow::OutputStep() {
  IWindow& window = engine.platform.window;
  int count = 0;
  int hangMode = HangNormal;
  bool drawn = false;
  // The window shows each character drawn once the step ends.
  auto endStep = [&] {
    if (drawn) window.Repaint();
  };
  if (clearPending) {
    clearPending = false;
    ClearPage();
  }
  for (;;) {
    const int limit = engine.clickSkip || engine.skipToOption || window.ControlKeyDown() ? 1024 : 1;
    if (count >= limit) return endStep();
    const char byte = text[readPosition];
    TextLayerState& layout = Layout();
    switch (byte) {
    case '\0':
      window.PostResume();
      return endStep();
    case EscNewLine:
      ++readPosition;
      lastMeasured = engine.platform.graphics.MeasureText(" ");
      layout.CursorX() = layout.LineStart();
      layout.CursorY() = Saturate(std::int64_t{layout.CursorY()} + font.linePitch + lastMeasured.cy);
      continue;
    case EscClearPage:
      ++readPosition;
      ClearPage();
      drawn = false;
      continue;
    case EscWait:
      ++readPosition;
      // A wait right after \+ at the right edge starts a new line, as the hanging character would.
      if (hangMode == HangAlways &&
          std::int64_t{layout.CursorX()} >= std::int64_t{layout.rect.left} + layout.rect.width) {
        const TextSize space = engine.platform.graphics.MeasureText(" ");
        layout.CursorX() = layout.LineStart();
        layout.CursorY() = Saturate(std::int64_t{layout.CursorY()} + font.linePitch + space.cy);
      }
      WaitForClick();
      if (engine.voicePending) engine.runState = RunState::VoiceWait;
      return endStep();
    case EscInstantOn:
    case EscInstantOff:
      ++readPosition;
      stepWeight = byte == EscInstantOn ? 0 : 1;
      continue;
    case EscIndentPush:
      if (layout.indentCount < TextLayerState::IndentCapacity) {
        layout.indents[static_cast<std::size_t>(layout.indentCount++)] = layout.CursorX();
      }
      ++readPosition;
      continue;
    case EscIndentPop:
      if (layout.indentCount > 0) --layout.indentCount;
      ++readPosition;
      continue;
    case EscHang:
    case EscNoHangDash:
    case EscNoHang:
      ++readPosition;
      hangMode = byte == EscHang ? 2 : byte == EscNoHangDash ? 3 : 1;
      continue;
    default:
      break;
    }
    // A character: the escaped ones stand for the character they were written with.
    char escaped[1];
    std::string_view character;
    if (byte >= EscBackslash && byte <= EscLast) {
      static constexpr char Escaped[] = {'\\', '"', '$', ','};
      escaped[0] = Escaped[byte - EscBackslash];
      character = std::string_view(escaped, 1);
      ++readPosition;
    } else {
      const std::size_t length = IsLeadByte(byte) && text[readPosition + 1] != '\0' ? 2 : 1;
      character = std::string_view(text.data() + readPosition, length);
      readPosition += length;
    }
    drawn = true;
    const std::size_t consumed = byte >= EscBackslash && byte <= EscLast ? 1 : character.size();
    if (PrintCharacter(character, consumed, hangMode) == StepEnd::End) return endStep();
    count += stepWeight;
  }
}

void MessageWindow::BlinkPageMarker(bool show) {
  engine.platform.graphics.Flush();
  TextLayerState& layout = Layout();
  const TextSize marker = engine.platform.graphics.MeasureText(PageMarker);
  const std::int64_t x = layout.CursorX();
  const std::int64_t y = layout.CursorY();
  markerCounter = (markerCounter + 1) % 6;
  if (markerCounter >= 3 && show) {
    if (TextLayer() != nullptr) DrawTextRun(*engine.screenSurface, Saturate(x), Saturate(y), PageMarker, MessagePair);
  } else {
    CopySurfaceRect(*engine.composeSurface, *engine.screenSurface, x, y, x + marker.cx + 2, y + marker.cy + 2);
  }
  engine.platform.window.Repaint();
}

} // namespace velmo
