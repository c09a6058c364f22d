// Plays arbitrary bytes as a scenario file: the first byte picks plain or scrambled storage, the
// rest is the file. A second file "sub.scn" holds the same bytes, so calls and jumps into another
// file are reached too. The run is bounded in resumes; script errors are reported and answered
// "go on" as a player might. Anything else (a crash, an overrun, a leak, a hang) is a finding.
#include "engine/commands/command_set.h"
#include "engine/core/engine.h"
#include "engine/core/interpreter.h"
#include "engine/core/script_door.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/script_state.h"
#include "engine/shell/headless_driver.h"
#include "engine/text/message_window.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Message text counts as read at once: it only waits for the driver to take it as read.
class Sink : public velmo::IMessageWindow {
public:
  void SetMessageText(const char*) override { run->state = velmo::RunState::TextOutput; }

  velmo::RunControl* run = nullptr;
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
  velmo::HeadlessMedia media(clock, files);
  velmo::Platform platform{clock, window, files, graphics, modules, media, media, media};
  Sink sink;
  velmo::Engine engine(platform, velmo::StandardCommands(), velmo::EngineSeams{.messageWindow = &sink});
  sink.run = &engine.run;
  velmo::HeadlessDriver driver(engine, clock, window, media);

  engine.script.Scenario().Open(name);
  engine.door.RequestResume();
  for (int step = 0; step < 300; ++step) {
    const velmo::HeadlessDriver::Dispatched dispatched = driver.DispatchOne();
    if (dispatched == velmo::HeadlessDriver::Dispatched::Shutdown) break;
    if (dispatched != velmo::HeadlessDriver::Dispatched::Nothing || driver.SkipWait()) continue;
    if (!engine.script.EventSet(velmo::UserClick)) break;
    velmo::FireEvent(engine, velmo::UserClick);
  }
  return 0;
}
