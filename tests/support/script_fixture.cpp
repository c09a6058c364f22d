#include "tests/support/script_fixture.h"

#include "engine/script/interpreter.h"
#include "engine/script/scenario.h"

namespace velmo {

ScriptFixture::ScriptFixture() {
  engine.messageWindow = this;
  engine.observer = this;
}

void ScriptFixture::AddScenario(const std::string& name, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  if (IsScrambledName(name)) {
    for (char& c : bytes) c = SwapNibbles(c);
  }
  files.files[name] = bytes;
}

void ScriptFixture::Open(const std::string& location) { engine.scenario->Open(location); }

int ScriptFixture::Resume() {
  engine.runState = RunState::Running;
  return RunScenario(engine);
}

void ScriptFixture::RunUntilIdle(int maxResumes) {
  for (int i = 0; i < maxResumes; ++i) {
    if (!window.posted.empty()) {
      const PostedMessage message = window.posted.front();
      window.posted.pop_front();
      if (message == PostedMessage::Shutdown) return;
      if (engine.runState != RunState::Terminating) Resume();
      continue;
    }
    if (engine.runState == RunState::TextOutput) {
      window.PostResume();
    } else if (engine.runState == RunState::TimedWait && engine.waitDeadline != 0) {
      clock.nowMs = engine.waitDeadline;
      engine.waitDeadline = 0;
      window.PostResume();
    } else {
      return;
    }
  }
}

void ScriptFixture::SetMessageText(const char* text) {
  texts.emplace_back(text);
  engine.runState = RunState::TextOutput;
}

void ScriptFixture::OnScriptError(const TBaseException& error, const ScriptPosition& where) {
  errors.push_back(ReportedError{error.code, error.fatal, error.info, std::string(where.fileName), where.line,
                                 std::string(where.paragraph)});
}

} // namespace velmo
