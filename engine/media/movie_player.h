#pragma once

#include "engine/base/run_control.h"
#include "engine/media/sound_channels.h"
#include "engine/platform/media_devices.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// One movie at a time in the movie window, played once, in a loop or waited for. A WAIT play ends
// its wait when the movie ends or is closed, whatever closes it.
class MoviePlayer {
public:
  MoviePlayer(IMovieWindow& movieWindow, IScriptDoor& scriptDoor) : window(movieWindow), door(scriptDoor) {}
  ~MoviePlayer() { CloseMovie(); }
  MoviePlayer(const MoviePlayer&) = delete;
  MoviePlayer& operator=(const MoviePlayer&) = delete;

  // Closes the movie shown, then loads the file hidden.
  OpenFailure LoadMovie(std::string_view file);
  // Shows the loaded movie at (x, y), w x h (both 0: its own size), and plays it from its start.
  // A WAIT play belongs to the wait the engine enters now (the door's current ticket).
  PlayOutcome PlayMovie(int x, int y, int width, int height, PlayMode mode);
  void CloseMovie();
  // The movie window reports that the movie stopped: taken only while it plays. A loop plays
  // again; otherwise the movie closes, and a WAIT play resumes the script.
  bool MovieNotify();

  bool Loaded() const { return loaded; }
  bool Playing() const { return playing; }
  // The file last asked to be loaded, as the script named it ("" when none).
  const std::string& FileName() const { return fileName; }

private:
  IMovieWindow& window;
  IScriptDoor& door;
  std::string fileName;
  OpenFailure loadFailure = OpenFailure::Missing;
  bool loaded = false;
  bool playing = false;
  PlayMode mode = PlayMode::Never;
  std::uint32_t waitTicket = 0;
};

} // namespace velmo
