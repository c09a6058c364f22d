#pragma once

#include "engine/base/errors.h"
#include "engine/script/error_log.h"

#include <cstdint>
#include <string_view>

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
  // @SaveBookmark wrote bookmark `number`, which resumes at `entry`.
  virtual void OnBookmarkSaved(std::int32_t /*number*/, std::string_view /*entry*/) {}
  // @LoadBookmark read bookmark `number` (resuming at `entry`); `existed` is false for a missing
  // one, which was made empty.
  virtual void OnBookmarkLoaded(std::int32_t /*number*/, std::string_view /*entry*/, bool /*existed*/) {}
  // @SetTitleEntry made `entry` the title screen's entry.
  virtual void OnTitleEntry(std::string_view /*entry*/) {}
  // @UserProc is about to call the plug-in procedure `name` with the list `parameters`; false keeps
  // it from running, and `exit` and argv[] are left as they were.
  virtual bool OnUserProc(std::string_view /*name*/, std::string_view /*parameters*/) { return true; }
  // What a sound, music, CD, voice, movie or mixer command did, or a media event that fired, in
  // words: "sound play NAME once", "sound stop", "music play NAME loop", "cd play 3 wait",
  // "voice NAME", "movie play NAME wait", "mixer master 100 -1 1000 wait", "event WAVE_NOTIFY", with
  // " (missing)", " (disabled)" or " (no device)" after a play that could not happen. Names are
  // Shift-JIS as the script wrote them.
  virtual void OnMedia(std::string_view /*report*/) {}
};

} // namespace velmo
