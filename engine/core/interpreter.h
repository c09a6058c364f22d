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
// handler fires once per @OnEvent. Goes through the script door: held while something holds it, and
// then only when the slot is still set; nothing fires once shutdown is under way. A slot without
// an action does nothing.
void FireEvent(Engine& engine, int slot);

// Ends the wait the engine is in as if it had been cancelled: a transition gets its finishing
// call and its final picture, the channel a media wait waits for stops, the movie closes, fades
// go on without resuming anything, a voice that belongs to the text on screen stops, the wait
// deadline goes.
void CancelWait(Engine& engine);

// Restarts at `location` ("file#label"): cancels the current wait, drops the resumes posted for
// it, empties the call stack, reopens the current scenario there, empties the message window,
// clears the event slots, and asks for the one resume that runs the entry.
void JumpToEntry(Engine& engine, std::string_view location);

} // namespace velmo
