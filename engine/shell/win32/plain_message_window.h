#pragma once

#include "engine/shell/subsystems.h"

#include <string>

namespace velmo {

class Engine;

// The program's text display until the typed-out message window exists: a message-text line is
// drawn whole in a band at the bottom of the shown picture, and the player clicks to go on.
class PlainMessageWindow : public IMessageWindow {
public:
  explicit PlainMessageWindow(Engine& e) : engine(e) {}

  void SetMessageText(const char* text) override;
  void OutputStep() override;
  void Reset() override { text.clear(); }

private:
  void Draw();

  Engine& engine;
  std::string text;
  bool shown = false;
};

} // namespace velmo
