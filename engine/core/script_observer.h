#pragma once

#include "engine/base/errors.h"
#include "engine/script/error_log.h"

namespace velmo {

// Told what a running game does that a player would notice: for velmo-run's transcript and for
// tests. Every method is optional.
class IScriptObserver {
public:
  virtual ~IScriptObserver() = default;
  // A line of message text, references expanded, as the message window receives it.
  virtual void OnMessageText(const char* /*text*/) {}
  // A script error, before it is reported to the player.
  virtual void OnScriptError(const TBaseException& /*error*/, const ScriptPosition& /*where*/) {}
  // @Exit at the outermost level: the game ends (then through the fatal-error report).
  virtual void OnGameExit() {}
};

} // namespace velmo
