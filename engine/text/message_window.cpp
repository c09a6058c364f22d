#include "engine/text/message_window.h"

#include "engine/base/escapes.h"
#include "engine/base/sjis.h"
#include "engine/graphics/compositor.h"
#include "engine/graphics/pixels.h"

#include <algorithm>
#include <cstring>

namespace velmo {

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

MessageWindow::MessageWindow(Screen& screenParts, RunControl& runControl, IScriptDoor& scriptDoor, IWindow& mainWindow)
    : screen(screenParts), run(runControl), door(scriptDoor), window(mainWindow) {
  font.description = screen.graphics.SystemFont();
}

TTextLayer* MessageWindow::TextLayer() const {
  const std::int32_t slot = screen.layers.messageLayer;
  if (slot < 0 || slot >= LayerTable::SlotCount) return nullptr;
  TLayer* layer = screen.layers.At(slot);
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
  retyping = false;
  run.state = RunState::TextOutput;
}

void MessageWindow::Reset() {
  run.clickSkip = false;
  run.skipToOption = false;
}

void MessageWindow::RecreateMessageFont() {
  font.description.pitchAndFamily = 0;
  screen.graphics.SetMessageFont(font.description);
  font.dirty = false;
}

std::size_t MessageWindow::DrawTextRun(TSurface& surface, int x, int y, std::string_view characters, int pair) {
  const ColourPair& colour = colours[static_cast<std::size_t>(pair)];
  IGraphics& graphics = screen.graphics;
  graphics.PaintText(surface, Saturate32(std::int64_t{x} + 2), Saturate32(std::int64_t{y} + 2), characters,
                     colour.shadow);
  graphics.PaintText(surface, x, y, characters, colour.text);
  return characters.size();
}

void MessageWindow::WaitForClick() {
  run.clickSkip = false;
  run.autoDeadline = 0;
  run.state = run.SkippingPages() ? RunState::TextOutput : RunState::ClickWait;
  waitCharacters = charactersTyped;
  charactersTyped = 0;
  if (pageHasText && screen.flashback.Capacity() > 0) {
    screen.graphics.Flush();
    screen.flashback.NotePage(*screen.screenSurface);
  }
}

void MessageWindow::NewLine(TextLayerState& layout) {
  const TextSize space = screen.graphics.MeasureText(" ");
  layout.CursorX() = layout.LineStart();
  layout.CursorY() = Saturate32(std::int64_t{layout.CursorY()} + font.linePitch + space.cy);
}

void MessageWindow::ClearPage() {
  screen.graphics.Flush();
  // The page goes to the flashback as the player saw it.
  if (pageHasText) screen.flashback.KeepPage(*screen.screenSurface);
  pageHasText = false;
  charactersTyped = 0;
  if (font.dirty) RecreateMessageFont();
  TTextLayer* layer = TextLayer();
  if (layer != nullptr && DrawsIntoBitmap(layer->mode)) layer->Discard(screen.layers);
  ComposeTextBand(screen);
  std::memcpy(screen.screenSurface->Bits(), screen.composeSurface->Bits(), TSurface::Size);
  window.Repaint();
  TextLayerState& layout = Layout();
  layout.indentCount = 0;
  layout.CursorX() = layout.rect.left;
  layout.CursorY() = layout.rect.top;
}

MessageWindow::StepEnd MessageWindow::PrintCharacter(std::string_view character, std::size_t consumed,
                                                     HangMode& hangMode) {
  TextLayerState& layout = Layout();
  TTextLayer* layer = TextLayer();
  const TextSize lastMeasured = screen.graphics.MeasureText(character);
  const std::int64_t right = std::int64_t{layout.rect.left} + layout.rect.width;
  std::int64_t x = layout.CursorX();
  std::int64_t y = layout.CursorY();
  std::int64_t nextX = x + lastMeasured.cx + font.spacing;
  std::int64_t newY = y;
  if (nextX >= right) {
    newY = y + font.linePitch + lastMeasured.cy;
    if (hangMode == HangMode::Always || (hangMode == HangMode::Normal && IsNoHeadingChar(character))) {
      // The character hangs past the right edge; the next one starts the next line.
      nextX = layout.LineStart();
    } else if (newY >= std::int64_t{layout.rect.top} + layout.rect.height && !retyping) {
      // Its new line lies below the page: the page waits, and after the click the character
      // starts the next page instead of being typed out of sight and cleared away. A character
      // that does not fit on a fresh page either is typed as it comes, so the text goes on.
      readPosition -= consumed;
      clearPending = true;
      retyping = true;
      WaitForClick();
      return StepEnd::End;
    } else {
      x = layout.LineStart();
      y = newY;
      layout.CursorX() = Saturate32(x);
      layout.CursorY() = Saturate32(y);
      nextX = x + lastMeasured.cx + font.spacing;
    }
  }
  if (layer != nullptr) {
    if (DrawsOnScreen(layer->mode))
      DrawTextRun(*screen.screenSurface, Saturate32(x), Saturate32(y), character, MessagePair);
    if (DrawsIntoBitmap(layer->mode)) DrawTextRun(*layer->bitmap, Saturate32(x), Saturate32(y), character, MessagePair);
    pageHasText = true;
  }
  ++charactersTyped;
  window.Invalidate(Saturate32(x), Saturate32(y), Saturate32(x + lastMeasured.cx + 2),
                    Saturate32(y + lastMeasured.cy + 2));
  layout.CursorX() = Saturate32(nextX);
  layout.CursorY() = Saturate32(newY);
  hangMode = HangMode::Normal;
  retyping = false;
  if (newY >= std::int64_t{layout.rect.top} + layout.rect.height) {
    // The page is full: after the click the page clears and output goes on with the next character.
    text[--readPosition] = EscClearPage;
    WaitForClick();
    return StepEnd::End;
  }
  return StepEnd::Continue;
}

MessageWindow::ControlResult MessageWindow::TakeControlByte(HangMode& hangMode) {
  const char byte = text[readPosition];
  TextLayerState& layout = Layout();
  switch (byte) {
  case '\0':
    door.RequestResume();
    return ControlResult::EndStep;
  case EscNewLine:
    ++readPosition;
    NewLine(layout);
    return ControlResult::Taken;
  case EscClearPage:
    ++readPosition;
    ClearPage();
    return ControlResult::PageCleared;
  case EscWait:
    ++readPosition;
    // A wait right after \+ at the right edge starts a new line, as the hanging character would.
    if (hangMode == HangMode::Always &&
        std::int64_t{layout.CursorX()} >= std::int64_t{layout.rect.left} + layout.rect.width) {
      NewLine(layout);
    }
    WaitForClick();
    if (run.voicePending) run.state = RunState::VoiceWait;
    return ControlResult::EndStep;
  case EscInstantOn:
  case EscInstantOff:
    ++readPosition;
    stepWeight = byte == EscInstantOn ? 0 : 1;
    return ControlResult::Taken;
  case EscIndentPush:
    if (layout.indentCount < TextLayerState::IndentCapacity) {
      layout.indents[static_cast<std::size_t>(layout.indentCount++)] = layout.CursorX();
    }
    ++readPosition;
    return ControlResult::Taken;
  case EscIndentPop:
    if (layout.indentCount > 0) --layout.indentCount;
    ++readPosition;
    return ControlResult::Taken;
  case EscHang:
  case EscNoHangDash:
  case EscNoHang:
    ++readPosition;
    hangMode = byte == EscHang ? HangMode::Always : byte == EscNoHangDash ? HangMode::NoHangDash : HangMode::NoHang;
    return ControlResult::Taken;
  default:
    return ControlResult::NotControl;
  }
}

std::string_view MessageWindow::TakeCharacter(char (&escaped)[1], std::size_t& consumed) {
  const char byte = text[readPosition];
  if (byte >= EscBackslash && byte <= EscComma) {
    // An escaped character stands for the character it was written with.
    static constexpr char Escaped[] = {'\\', '"', '$', ','};
    escaped[0] = Escaped[byte - EscBackslash];
    ++readPosition;
    consumed = 1;
    return std::string_view(escaped, 1);
  }
  consumed = IsLeadByte(byte) && text[readPosition + 1] != '\0' ? 2 : 1;
  const std::string_view character(text.data() + readPosition, consumed);
  readPosition += consumed;
  return character;
}

void MessageWindow::OutputStep() {
  int count = 0;
  HangMode hangMode = HangMode::Normal;
  bool drawn = false;
  // The window shows the cells drawn once the step ends.
  auto endStep = [&] {
    if (drawn) window.Update();
  };
  if (clearPending) {
    clearPending = false;
    ClearPage();
  }
  for (;;) {
    const int limit = run.Hurrying() || window.ControlKeyDown() ? 1024 : 1;
    if (count >= limit) return endStep();
    switch (TakeControlByte(hangMode)) {
    case ControlResult::EndStep:
      return endStep();
    case ControlResult::PageCleared:
      drawn = false;
      continue;
    case ControlResult::Taken:
      continue;
    case ControlResult::NotControl:
      break;
    }
    char escaped[1];
    std::size_t consumed = 0;
    const std::string_view character = TakeCharacter(escaped, consumed);
    drawn = true;
    if (PrintCharacter(character, consumed, hangMode) == StepEnd::End) return endStep();
    count += stepWeight;
  }
}

void MessageWindow::BlinkPageMarker(bool show) {
  screen.graphics.Flush();
  TextLayerState& layout = Layout();
  const TextSize marker = screen.graphics.MeasureText(PageMarker);
  const std::int64_t x = layout.CursorX();
  const std::int64_t y = layout.CursorY();
  markerCounter = (markerCounter + 1) % 6;
  if (markerCounter >= 3 && show) {
    if (TextLayer() != nullptr)
      DrawTextRun(*screen.screenSurface, Saturate32(x), Saturate32(y), PageMarker, MessagePair);
  } else {
    CopyPixelRect(screen.composeSurface->View(), x, y, std::int64_t{marker.cx} + 2, std::int64_t{marker.cy} + 2,
                  screen.screenSurface->View(), x, y);
  }
  window.Invalidate(Saturate32(x), Saturate32(y), Saturate32(x + marker.cx + 2), Saturate32(y + marker.cy + 2));
  window.Update();
}

} // namespace velmo
