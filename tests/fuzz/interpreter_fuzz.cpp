// Plays arbitrary bytes as a scenario file: the first byte picks plain or scrambled storage, the
// rest is the file. A second file "sub.scn" holds the same bytes, so calls and jumps into another
// file are reached too. The run is bounded in resumes; script errors are reported and answered
// "go on" as a player might. Anything else (a crash, an overrun, a leak, a hang) is a finding.
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/interpreter.h"
#include "engine/script/scenario.h"
#include "engine/shell/engine.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class Sink : public velmo::IMessageWindow {
public:
  explicit Sink(velmo::Engine& e) : engine(e) {}
  void SetMessageText(const char*) override { engine.runState = velmo::RunState::TextOutput; }

private:
  velmo::Engine& engine;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool scrambled = (data[0] & 1) != 0;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string name = scrambled ? "system\\startup.scx" : "system\\startup.scn";
  std::string stored = bytes;
  if (scrambled) {
    for (char& c : stored) c = velmo::SwapNibbles(c);
  }

  velmo::HeadlessClock clock;
  velmo::HeadlessWindow window;
  velmo::MemoryFileSystem files;
  files.files[name] = stored;
  files.files["sub.scn"] = bytes;
  velmo::HeadlessGraphics graphics;
  velmo::HeadlessModules modules;
  velmo::Platform platform{clock, window, files, graphics, modules};
  velmo::Engine engine(platform);
  Sink sink(engine);
  engine.messageWindow = &sink;

  engine.scenario->Open(name);
  window.PostResume();
  for (int step = 0; step < 300; ++step) {
    if (window.posted.empty()) {
      if (engine.runState == velmo::RunState::TextOutput) {
        window.PostResume();
      } else if (engine.runState == velmo::RunState::TimedWait && engine.waitDeadline != 0) {
        clock.nowMs = engine.waitDeadline;
        engine.waitDeadline = 0;
        window.PostResume();
      } else if (engine.events[velmo::UserClick].action != velmo::EventAction::None) {
        velmo::FireEvent(engine, velmo::UserClick);
      } else {
        break;
      }
      continue;
    }
    const velmo::PostedMessage message = window.posted.front();
    window.posted.pop_front();
    if (message == velmo::PostedMessage::Shutdown) break;
    engine.runState = velmo::RunState::Running;
    velmo::RunScenario(engine);
  }
  return 0;
}
