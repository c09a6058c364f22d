#include "engine/platform/headless/headless_media.h"

#include "engine/platform/headless/play_length.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace velmo {

namespace {

// The file's first bytes, as many as its headers need (the whole of a MIDI file, up to a limit).
std::string ReadHead(IFileSystem& files, std::string_view file, std::size_t limit) {
  std::string bytes;
  std::unique_ptr<IReadFile> read = files.OpenRead(file);
  if (read == nullptr) return bytes;
  char block[4096];
  while (bytes.size() < limit) {
    const std::size_t n = read->Read(block, sizeof block);
    if (n == 0) break;
    bytes.append(block, n);
  }
  return bytes;
}

constexpr std::size_t HeaderBytes = 64 * 1024;
constexpr std::size_t MidiBytes = 4 * 1024 * 1024;

// Whether `due` has come at `now` on the wrapping clock.
bool HasCome(std::uint32_t due, std::uint32_t now) { return static_cast<std::int32_t>(due - now) <= 0; }

// Whether `a` comes before `b` as seen from `now`.
bool Earlier(std::uint32_t a, std::uint32_t b, std::uint32_t now) { return a - now < b - now; }

} // namespace

std::uint32_t HeadlessMedia::LengthOf(std::string_view file, SoundDevice kind) const {
  const std::string bytes = ReadHead(files, file, kind == SoundDevice::Midi ? MidiBytes : HeaderBytes);
  const std::optional<std::uint32_t> length = kind == SoundDevice::Midi ? MidiLengthMs(bytes) : WaveLengthMs(bytes);
  return length.value_or(UnknownLengthMs);
}

std::uint32_t HeadlessMedia::MovieLength(std::string_view file) const {
  return AviLengthMs(ReadHead(files, file, HeaderBytes)).value_or(UnknownLengthMs);
}

std::uint32_t HeadlessMedia::After(std::uint32_t ms) const { return clock.NowMs() + (ms == 0 ? 1 : ms); }

void HeadlessMedia::Note(std::string call) {
  if (record) calls.push_back(std::move(call));
}

OpenedDevice HeadlessMedia::Open(SoundDevice kind, std::string_view file) {
  OpenedDevice opened;
  if ((kind == SoundDevice::Wave && noWave) || (kind == SoundDevice::Midi && noMidi) || kind == SoundDevice::Cd) {
    opened.failure = OpenFailure::NoDevice;
    return opened;
  }
  if (!files.Exists(file) && files.OpenRead(file) == nullptr) {
    opened.failure = OpenFailure::Missing;
    return opened;
  }
  opened.id = nextId++;
  devices[opened.id] = Device{kind, std::string(file), LengthOf(file, kind), std::nullopt, PlayEnd::Finished};
  Note((kind == SoundDevice::Wave ? "open wave " : "open midi ") + std::string(file) + " " + std::to_string(opened.id));
  return opened;
}

OpenedDevice HeadlessMedia::OpenCd(char driveLetter) {
  OpenedDevice opened;
  if (noCd) {
    opened.failure = OpenFailure::NoDevice;
    return opened;
  }
  opened.id = nextId++;
  opened.tracks = DiscTracks;
  devices[opened.id] =
      Device{SoundDevice::Cd, std::string(1, driveLetter) + ":", UnknownLengthMs, std::nullopt, PlayEnd::Finished};
  Note("open cd " + std::string(1, driveLetter) + ": " + std::to_string(opened.id));
  return opened;
}

bool HeadlessMedia::Play(std::uint32_t device) {
  Note("play " + std::to_string(device));
  const auto found = devices.find(device);
  if (found == devices.end() || found->second.kind == SoundDevice::Cd || refusePlays) return false;
  found->second.end = failPlays ? PlayEnd::Failed : PlayEnd::Finished;
  found->second.dueMs = After(failPlays ? 4 : found->second.lengthMs);
  return true;
}

bool HeadlessMedia::PlayTrack(std::uint32_t device, int track, bool lastTrack) {
  Note("track " + std::to_string(device) + " " + std::to_string(track) + (lastTrack ? " last" : ""));
  const auto found = devices.find(device);
  if (found == devices.end() || found->second.kind != SoundDevice::Cd || refusePlays) return false;
  if (track < 1 || track > DiscTracks) return false;
  // The disc's track is as long as the game's own copy of it, where it has one.
  char name[32];
  std::snprintf(name, sizeof name, "cd\\track%02d.wav", track);
  const std::uint32_t length = files.Exists(name) ? LengthOf(name, SoundDevice::Wave) : UnknownLengthMs;
  found->second.end = failPlays ? PlayEnd::Failed : PlayEnd::Finished;
  found->second.dueMs = After(failPlays ? 4 : length);
  return true;
}

void HeadlessMedia::Stop(std::uint32_t device) {
  Note("stop " + std::to_string(device));
  const auto found = devices.find(device);
  if (found != devices.end()) found->second.dueMs.reset();
}

void HeadlessMedia::Close(std::uint32_t device) {
  Note("close " + std::to_string(device));
  devices.erase(device);
}

std::array<std::optional<MixerControlId>, 4> HeadlessMedia::FindVolumeControls() {
  std::array<std::optional<MixerControlId>, 4> found;
  if (noMixer) return found;
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (controls[i]) found[i] = MixerControlId{0, i, 0, ControlMaximum};
  }
  return found;
}

bool HeadlessMedia::ReadValue(const MixerControlId& control, std::uint32_t& value) {
  if (control.control >= 4 || unreadable[control.control]) return false;
  value = values[control.control];
  return true;
}

bool HeadlessMedia::WriteValue(const MixerControlId& control, std::uint32_t value) {
  if (control.control >= 4) return false;
  Note("write " + std::to_string(control.control) + " " + std::to_string(value));
  values[control.control] = value;
  return true;
}

bool HeadlessMedia::StartTicks(std::function<void()> tick) {
  if (fadeThreadFails) return false;
  fadeTick = std::move(tick);
  nextFadeTickMs = clock.NowMs() + FadeTickMs;
  return true;
}

OpenFailure HeadlessMedia::Load(std::string_view file) {
  Close();
  Note("movie load " + std::string(file));
  if (noMovie) return OpenFailure::NoDevice;
  if (!files.Exists(file) && files.OpenRead(file) == nullptr) return OpenFailure::Missing;
  movieLoaded = true;
  movieLengthMs = MovieLength(file);
  return OpenFailure::None;
}

bool HeadlessMedia::Play(int x, int y, int width, int height) {
  Note("movie play " + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) + "," +
       std::to_string(height));
  if (!movieLoaded) return false;
  moviePlaying = true;
  movieDueMs = After(movieLengthMs);
  return true;
}

bool HeadlessMedia::Replay() {
  Note("movie replay");
  if (!movieLoaded) return false;
  moviePlaying = true;
  movieDueMs = After(movieLengthMs);
  return true;
}

void HeadlessMedia::Close() {
  if (!movieLoaded) return;
  Note("movie close");
  movieLoaded = false;
  moviePlaying = false;
  movieDueMs.reset();
}

std::optional<std::uint32_t> HeadlessMedia::NextDue() const {
  const std::uint32_t now = clock.NowMs();
  std::optional<std::uint32_t> next;
  auto consider = [&](std::uint32_t due) {
    if (!next || Earlier(due, *next, now)) next = due;
  };
  for (const auto& [id, device] : devices) {
    if (device.dueMs) consider(HasCome(*device.dueMs, now) ? now : *device.dueMs);
  }
  if (movieDueMs) consider(HasCome(*movieDueMs, now) ? now : *movieDueMs);
  if (fadeTick) consider(HasCome(nextFadeTickMs, now) ? now : nextFadeTickMs);
  return next;
}

std::optional<HeadlessMedia::Due> HeadlessMedia::TakeDue() {
  const std::uint32_t now = clock.NowMs();
  // Times that have come are compared as seen from half a cycle back, where all of them lie
  // ahead. On a tie the sound devices come first in the order they were opened, then the movie,
  // then the fade thread.
  const std::uint32_t base = now - 0x80000000u;
  Device* earliest = nullptr;
  std::uint32_t earliestId = 0;
  for (auto& [id, device] : devices) {
    if (device.dueMs && HasCome(*device.dueMs, now) &&
        (earliest == nullptr || Earlier(*device.dueMs, *earliest->dueMs, base))) {
      earliest = &device;
      earliestId = id;
    }
  }
  const bool movieCame = movieDueMs && HasCome(*movieDueMs, now);
  const bool tickCame = fadeTick && HasCome(nextFadeTickMs, now);
  if (earliest != nullptr && (!movieCame || !Earlier(*movieDueMs, *earliest->dueMs, base)) &&
      (!tickCame || !Earlier(nextFadeTickMs, *earliest->dueMs, base))) {
    earliest->dueMs.reset();
    return Due{Due::Kind::Sound, earliestId, earliest->end};
  }
  if (movieCame && (!tickCame || !Earlier(nextFadeTickMs, *movieDueMs, base))) {
    movieDueMs.reset();
    moviePlaying = false;
    return Due{Due::Kind::Movie, 0, PlayEnd::Finished};
  }
  if (tickCame) return Due{Due::Kind::FadeTick, 0, PlayEnd::Finished};
  return std::nullopt;
}

void HeadlessMedia::RunFadeTick() {
  nextFadeTickMs += FadeTickMs;
  if (fadeTick) fadeTick();
}

bool HeadlessMedia::RemoveDevice(std::string_view name) {
  bool* flags[] = {&noWave, &noMidi, &noCd, &noMixer, &noMovie};
  const std::string_view names[] = {"wave", "midi", "cd", "mixer", "movie"};
  for (std::size_t i = 0; i < 5; ++i) {
    if (name == names[i]) {
      *flags[i] = true;
      return true;
    }
  }
  return false;
}

} // namespace velmo
