#include "engine/media/movie_player.h"

namespace velmo {

OpenFailure MoviePlayer::LoadMovie(std::string_view file) {
  CloseMovie();
  fileName = file;
  loadFailure = window.Load(file);
  loaded = loadFailure == OpenFailure::None;
  return loadFailure;
}

PlayOutcome MoviePlayer::PlayMovie(int x, int y, int width, int height, PlayMode playMode) {
  mode = playMode;
  playing = false;
  if (!loaded) return OutcomeOf(loadFailure);
  if (!window.Play(x, y, width, height)) return PlayOutcome::NoDevice;
  playing = true;
  if (mode == PlayMode::Wait) waitTicket = door.CurrentWait();
  return PlayOutcome::Playing;
}

void MoviePlayer::CloseMovie() {
  const bool ended = playing && mode == PlayMode::Wait;
  // Stopped before the window closes, so that the stop it reports on closing is not taken.
  playing = false;
  mode = PlayMode::Never;
  if (loaded) window.Close();
  loaded = false;
  loadFailure = OpenFailure::Missing;
  if (ended) door.RequestResume(waitTicket);
}

bool MoviePlayer::MovieNotify() {
  if (!playing) return false;
  if (mode == PlayMode::Loop && window.Replay()) return true;
  CloseMovie();
  return true;
}

} // namespace velmo
