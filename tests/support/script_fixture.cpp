#include "tests/support/script_fixture.h"

#include "engine/commands/command_set.h"
#include "engine/core/interpreter.h"
#include "engine/script/scenario.h"

namespace velmo {

namespace {

EngineSeams Observed(EngineSeams seams, ScriptFixture& fixture) {
  seams.observer = &fixture;
  if (seams.messageWindow == nullptr) seams.messageWindow = &fixture;
  return seams;
}

} // namespace

ScriptFixture::ScriptFixture(EngineSeams seams) : engine(platform, StandardCommands(), Observed(seams, *this)) {}

void ScriptFixture::AddScenario(const std::string& name, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  if (IsScrambledName(name)) {
    for (char& c : bytes) c = SwapNibbles(c);
  }
  files.files[name] = bytes;
}

void ScriptFixture::Open(const std::string& location) { engine.script.Scenario().Open(location); }

int ScriptFixture::Resume() {
  engine.run.state = RunState::Running;
  return RunScenario(engine);
}

void ScriptFixture::RunUntilIdle(int maxResumes) {
  for (int i = 0; i < maxResumes; ++i) {
    switch (driver.DispatchOne()) {
    case HeadlessDriver::Dispatched::Shutdown:
      return;
    case HeadlessDriver::Dispatched::Resume:
    case HeadlessDriver::Dispatched::Command:
    case HeadlessDriver::Dispatched::Held:
      continue;
    case HeadlessDriver::Dispatched::Nothing:
      if (!driver.SkipWait()) return;
      break;
    }
  }
}

void ScriptFixture::SetMessageText(const char* text) {
  texts.emplace_back(text);
  engine.run.state = RunState::TextOutput;
}

void ScriptFixture::OnScriptError(const TBaseException& error, const ScriptPosition& where) {
  errors.push_back(ReportedError{error.code, error.fatal, error.info, std::string(where.fileName), where.line,
                                 std::string(where.paragraph)});
}

} // namespace velmo
