#pragma once

#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmo {

class MessageWindow;

// Where an entry leads: a jump to its option[n] (NAME, GOTO, or the default jump by the text) or
// a return of its option[n] as the value of exit (CODE, RETURN).
enum class EntryKind : std::int32_t { Jump = 0, Return = 1 };

// What a click hit in a selection: the entry's number (-1: none), its kind and the number n of
// its option[n] variable.
struct SelectionChoice {
  int entry = -1;
  EntryKind kind = EntryKind::Jump;
  int option = 0;
};

// The options and buttons of a running selection, as the shell's input handling sees them.
class ISelection {
public:
  virtual ~ISelection() = default;
  virtual void Hover(int x, int y) = 0;
  virtual void Up() = 0;
  virtual void Down() = 0;
  // A key that is not an arrow: highlights the entry with that access or hot key; true when the
  // entry's key is a hot key, which chooses it at once as a click would.
  virtual bool Key(int virtualKey) = 0;
  virtual SelectionChoice Hit(int x, int y) = 0;
};

// One option or button of a selection.
struct SelectionEntry {
  std::int32_t left = 0, top = 0;          // the hit rectangle on the screen
  std::int32_t right = 0, bottom = 0;      // exclusive edges
  std::int32_t lookLayer = -1;             // -1: a text option; else the bitmap layer of a button's looks
  std::int32_t width = 0, height = 0;      // a button's size
  std::int32_t activeX = -1, activeY = -1; // the active look's place in the look layer's picture
  std::int32_t clickX = -1, clickY = -1;   // the clicked look's place
  std::string text;                        // a text option's text (escape bytes kept)
  EntryKind kind = EntryKind::Jump;
  char key = 0;             // access or hot key, upper-cased; 0 none
  std::int32_t keyKind = 0; // 2 HOTKEY, 3 ACCESSKEY
  bool hot = false;         // under the mouse: shows its active look
};

enum AutoActivate : std::int32_t { AutoActivateTrue = 4, AutoActivateOnce = 5, AutoActivateFalse = 6 };
enum KeyKind : std::int32_t { HotKey = 2, AccessKey = 3 };

// The options and buttons a script offers, and what the mouse and keys do with them.
class Selection : public ISelection {
public:
  static constexpr int Capacity = 64;

  // Draws on `screen`'s surfaces with the message window's font and colours; repaints and moves
  // the cursor through `window`.
  Selection(Screen& screenParts, MessageWindow& messages, IWindow& mainWindow)
      : screen(screenParts), messageWindow(messages), window(mainWindow) {}

  // ISelection.
  void Hover(int x, int y) override;
  void Up() override;
  void Down() override;
  bool Key(int virtualKey) override;
  SelectionChoice Hit(int x, int y) override;

  // @BeginSelect.
  void Begin(std::int32_t autoActivateMode);
  // Adds an entry and returns its number; the caller has checked that there is room.
  int Add(const SelectionEntry& entry, bool isDefault);
  // Draws a text option with a colour pair at its place and sets its right and bottom edges.
  void DrawOption(SelectionEntry& entry, int pair);
  // Moves the mouse cursor onto the default entry step by step (@EndSelect with AutoSelect).
  void MoveCursorToDefault();

  int Count() const { return count; }
  int Active() const { return active; }
  int Default() const { return defaultEntry; }
  std::int32_t AutoActivateMode() const { return autoActivate; }
  const SelectionEntry& Entry(int n) const { return entries[static_cast<std::size_t>(n)]; }

private:
  enum class Look { Normal, Active, Clicked };
  void DrawLook(SelectionEntry& entry, Look look);

  Screen& screen;
  MessageWindow& messageWindow;
  IWindow& window;
  int count = 0;
  int active = -1;
  int defaultEntry = -1;
  std::int32_t autoActivate = AutoActivateTrue;
  std::array<SelectionEntry, Capacity> entries;
};

// The virtual key `virtualKey` as the character it types without modifiers (0 for none), as the
// selection's access and hot keys compare it: letters upper-case, the digits of the main row and
// of the numeric keypad, and the punctuation keys of a Japanese keyboard.
char KeyCharacter(int virtualKey);

} // namespace velmo
