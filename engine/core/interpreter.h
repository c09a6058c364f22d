#pragma once

#include <string_view>

namespace velmo {

class Engine;

// Runs the current scenario from where it stands until a command waits or jumps, or, with a
// `command`, runs that one line in place of reading one. Script errors are reported (error log
// and message box) and never leave the call. Returns 1 when the run stopped normally, 0 after a
// reported error. The caller sets RunState to Running before running the scenario.
int RunScenario(Engine& engine, const char* command = nullptr);

// Runs the action of event slot `slot` once (@GoTo or @GoSub to its label) and clears it, so a
// handler fires once per @OnEvent. A slot without an action does nothing.
void FireEvent(Engine& engine, int slot);

// Restarts at `location` ("file#label"): empties the call stack, reopens the current scenario
// there, empties the message window, clears the event slots and the wait deadline, and posts
// UM_RESUME.
void JumpToEntry(Engine& engine, std::string_view location);

} // namespace velmo
