#pragma once

#include "engine/base/run_control.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace velmo {

// The message window as the interpreter and the frame driver see it: takes message-text lines and
// types them out.
class IMessageWindow {
public:
  virtual ~IMessageWindow() = default;
  // A line of message text, references expanded: starts its output and sets RunState to
  // TextOutput. The window posts UM_RESUME once the text has been shown and acknowledged.
  virtual void SetMessageText(const char* text) = 0;
  // One step of text output (a tick in TextOutput).
  virtual void OutputStep() {}
  // Shows or erases the page marker (ticks in ClickWait, and the click that ends the wait).
  virtual void BlinkPageMarker(bool /*show*/) {}
  // Back to an empty window (a restart at an entry).
  virtual void Reset() {}
  // How many characters were typed before the current click wait, since the wait or page clear
  // before it: what the player reads there (auto mode's delay).
  virtual std::int32_t WaitCharacters() const { return 0; }
};

// What happens to the next character that does not fit on its line (\+, \-, \x).
enum class HangMode {
  Normal,     // it hangs when it may not begin a line
  NoHang,     // it starts the next line (\x)
  Always,     // it hangs whatever it is (\+)
  NoHangDash, // as NoHang (\-)
};

// A set of characters that line layout looks up: two bytes an entry (a single-byte character is
// its byte and 0), ending at the first entry whose first byte is 0; at most 127 characters.
class CharSet {
public:
  static constexpr int Capacity = 127;

  // The characters of `text`, in order; those beyond the 127th are left out.
  void Assign(std::string_view text);
  bool Contains(std::string_view character) const;
  int Count() const;

private:
  std::array<char, 256> bytes{};
};

// The colours of message and option text, as text and shadow pairs.
enum ColourPairId { MessagePair = 0, OptionPair = 1, ActivePair = 2, ClickPair = 3 };
struct ColourPair {
  std::uint32_t text = 0;
  std::uint32_t shadow = 0;
};

// The font of message and option text.
struct MessageFont {
  bool dirty = false;          // the description changed: made again at the next page clear
  std::int32_t linePitch = 0;  // extra pixels between lines
  std::int32_t spacing = 0;    // extra pixels after every character
  FontDescription description; // the system font's until a script or the player changes it
};

// Types message text out into the message window's text layer, one counted character a step, with
// line breaking inside the text rectangle, hanging characters, indents, instant runs, page clears,
// click waits with a blinking marker and a page-full wait.
class MessageWindow : public IMessageWindow {
public:
  static constexpr std::size_t BufferSize = 1024;
  static constexpr std::string_view PageMarker = "▼";

  // Types into the text layers of `screen`'s table and onto its surfaces, waits through `run`, asks
  // `door` for the script to go on when the text is done, and marks what it drew on `window`.
  MessageWindow(Screen& screen, RunControl& run, IScriptDoor& door, IWindow& window);

  // IMessageWindow.
  void SetMessageText(const char* text) override;
  void OutputStep() override;
  void BlinkPageMarker(bool show) override;
  void Reset() override;
  std::int32_t WaitCharacters() const override { return waitCharacters; }

  // Makes the message font again from its description (SIZE, WEIGHT, FACE and page clears).
  void RecreateMessageFont();
  // Draws `text` at (x, y) of `surface` with its shadow 2 pixels right and down, in a colour pair;
  // returns the text's length in bytes.
  std::size_t DrawTextRun(TSurface& surface, int x, int y, std::string_view characters, int pair);
  bool IsNoHeadingChar(std::string_view character) const { return noHeadingSet.Contains(character); }

  // The layout state of the text layer that receives the text, or a detached one (drawing
  // nothing) when the message slot holds no text layer: the text then keeps its steps and waits.
  TextLayerState& Layout();
  // The text layer itself, or nullptr.
  TTextLayer* TextLayer() const;

  MessageFont font;
  std::array<ColourPair, 4> colours{};
  CharSet noHeadingSet;
  CharSet noClosingSet;
  std::int32_t stepWeight = 1; // 0 inside an instant run: characters do not count against a step
  std::int32_t markerCounter = 0;

private:
  enum class StepEnd { Continue, End };
  // What the byte at the read position was to a step of output.
  enum class ControlResult {
    NotControl,  // a character: to be laid out and drawn
    Taken,       // an escape byte carried out; the step goes on
    PageCleared, // the page was cleared; the step goes on with nothing drawn on it yet
    EndStep,     // the text waits or is done
  };
  ControlResult TakeControlByte(HangMode& hangMode);
  // The character at the read position, moving past it; `consumed` is how many bytes it took.
  std::string_view TakeCharacter(char (&escaped)[1], std::size_t& consumed);
  // Lays out and draws one character; `consumed` is how many bytes of the text it took.
  StepEnd PrintCharacter(std::string_view character, std::size_t consumed, HangMode& hangMode);
  void ClearPage();
  // The cursor to the line start of the next line: down by the line pitch and a space's height.
  void NewLine(TextLayerState& layout);
  // The wait at a \w or a full page: ClickWait, or straight on while skipping pages. The page as
  // shown now is noted for the flashback.
  void WaitForClick();

  Screen& screen;
  RunControl& run;
  IScriptDoor& door;
  IWindow& window;
  std::array<char, BufferSize> text{};
  std::size_t readPosition = 0;
  bool clearPending = false;        // the page waited for a character that starts the next page
  bool retyping = false;            // that character is being typed again on the fresh page
  bool pageHasText = false;         // a character was drawn since the page was cleared
  std::int32_t charactersTyped = 0; // since the last wait or page clear
  std::int32_t waitCharacters = 0;  // charactersTyped when the current wait began
  TextLayerState detached;
};

} // namespace velmo
