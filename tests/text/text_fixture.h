#pragma once

// An engine on the headless platform whose message window and selection are the engine's own,
// with every piece of text painted recorded, for the tests of message text, the text commands and
// selections. Literals are Shift-JIS (the sources are compiled for code page 932).
#include "engine/commands/command_set.h"
#include "engine/core/command_table.h"
#include "engine/core/engine.h"
#include "engine/core/interpreter.h"
#include "engine/core/script_door.h"
#include "engine/core/script_observer.h"
#include "engine/graphics/screen.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"
#include "tests/support/script_errors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmo {

// The headless graphics, remembering each PaintText call before painting it.
class RecordingGraphics : public HeadlessGraphics {
public:
  struct Paint {
    const TSurface* surface;
    int x;
    int y;
    std::string text;
    std::uint32_t colour;
  };

  void PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) override {
    paints.push_back(Paint{&surface, x, y, std::string(text), colorRef});
    HeadlessGraphics::PaintText(surface, x, y, text, colorRef);
  }

  std::vector<Paint> paints;
};

// A character drawn in its text colour: where and what.
struct Glyph {
  int x;
  int y;
  std::string text;
  bool operator==(const Glyph&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Glyph& g) {
  return out << "(" << g.x << "," << g.y << " '" << g.text << "')";
}

using Pixel3 = std::array<std::uint8_t, 3>; // B, G, R as a surface stores them

// A COLORREF (0x00BBGGRR) as the three bytes a pixel of that colour holds.
inline Pixel3 Bgr(std::uint32_t colorRef) {
  return {static_cast<std::uint8_t>(colorRef >> 16), static_cast<std::uint8_t>(colorRef >> 8),
          static_cast<std::uint8_t>(colorRef)};
}

inline Pixel3 PixelAt(const TSurface& surface, int x, int y) {
  const std::uint8_t* p =
      surface.Bits() + static_cast<std::size_t>(y) * TSurface::Stride + static_cast<std::size_t>(x) * 3;
  return {p[0], p[1], p[2]};
}

class TextFixture : public ::testing::Test, public IScriptObserver {
protected:
  // The colour pairs every test starts with: text and shadow of message, option, active and
  // clicked text, all different.
  static constexpr std::uint32_t MessageText = 0x000000FF, MessageShadow = 0x00FF0000;
  static constexpr std::uint32_t OptionText = 0x0000FF00, OptionShadow = 0x00404040;
  static constexpr std::uint32_t ActiveText = 0x00FFFF00, ActiveShadow = 0x00101010;
  static constexpr std::uint32_t ClickText = 0x0000FFFF, ClickShadow = 0x00202020;

  TextFixture() {
    files.files["main.scn"] = "@Exit\r\n";
    engine.script.scenario->Open("main.scn");
    auto& colours = Window().colours;
    colours[MessagePair] = {MessageText, MessageShadow};
    colours[OptionPair] = {OptionText, OptionShadow};
    colours[ActivePair] = {ActiveText, ActiveShadow};
    colours[ClickPair] = {ClickText, ClickShadow};
  }

  void OnMessageText(const char* text) override { texts.emplace_back(text); }
  void OnScriptError(const TBaseException& error, const ScriptPosition&) override {
    errors.push_back((error.fatal ? "fatal " : "error ") + std::to_string(error.code) + " " + error.info);
  }

  // Runs one command line as the interpreter runs a scenario line; the error it raised as
  // Error() writes it, "" for none.
  std::string Do(const std::string& line) {
    const std::size_t before = errors.size();
    engine.run.state = RunState::Running;
    RunScenario(engine, line.c_str());
    return errors.size() == before ? std::string() : errors.back();
  }
  void DoAll(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) ASSERT_EQ(Do(line), "") << line;
  }

  // A text band of one layer that receives the messages, with the given rectangle and mode.
  void MakeTextLayer(const std::string& rect, const std::string& mode = "STREAM") {
    DoAll({"@AssignLayer 1 1 1", "@TextLayer 0 MODE=" + mode + " RECT=\"" + rect + "\""});
    ASSERT_NE(TextLayer(), nullptr);
  }
  TTextLayer* TextLayer() { return Window().TextLayer(); }
  MessageWindow& Window() { return engine.messageWindow; }
  Selection& Choices() { return engine.selection; }

  // Starts a message as a message line of a scenario does (in a wait of its own), with nothing
  // posted yet.
  void Message(const std::string& text) {
    window.ClearPosted();
    engine.door.BeginWait();
    engine.Messages().SetMessageText(text.c_str());
  }
  // Adds the scenario "main.scn" (lines joined with CR LF), opens it and runs it up to its first
  // stop.
  void RunScenarioLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    files.files["main.scn"] = bytes;
    engine.script.scenario->Open("main.scn");
    Resume();
  }
  // One UM_RESUME taken from the posted messages (or given when none was posted).
  void Resume() {
    if (!window.posted.empty()) window.TakePosted();
    engine.run.state = RunState::Running;
    RunScenario(engine);
  }
  // Output steps until the text waits or is done; the number of steps taken.
  int TypeOut(int maxSteps = 5000) {
    int steps = 0;
    while (engine.run.state == RunState::TextOutput && window.posted.empty() && steps < maxSteps) {
      Window().OutputStep();
      ++steps;
    }
    return steps;
  }
  // The characters painted in `colour` (by default the message text colour) on `surface` since the
  // last ClearPaints.
  std::vector<Glyph> Glyphs(const TSurface& surface, std::uint32_t colour = MessageText) const {
    std::vector<Glyph> glyphs;
    for (const auto& paint : graphics.paints) {
      if (paint.surface == &surface && paint.colour == colour) glyphs.push_back(Glyph{paint.x, paint.y, paint.text});
    }
    return glyphs;
  }
  std::vector<Glyph> ScreenGlyphs() const { return Glyphs(*engine.screen.screenSurface); }
  void ClearPaints() { graphics.paints.clear(); }
  std::string Var(const std::string& name) const { return engine.script.variables.GetVar(name); }
  std::pair<int, int> Cursor() {
    TextLayerState& layout = Window().Layout();
    return {layout.CursorX(), layout.CursorY()};
  }

  HeadlessClock clock;
  HeadlessWindow window;
  MemoryFileSystem files;
  RecordingGraphics graphics;
  HeadlessModules modules;
  HeadlessMedia media{clock, files};
  Platform platform{clock, window, files, graphics, modules, media, media, media};
  Engine engine{platform, StandardCommands(), EngineSeams{.observer = this}};
  std::vector<std::string> texts; // every message line, as the message window received it
  std::vector<std::string> errors;
};

} // namespace velmo
