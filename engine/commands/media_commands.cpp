// The sound, music, CD, voice and movie commands and @SetMixer: each drives one channel of the
// engine's media set, as far as the player's settings let it, and tells the observer what it did.
#include "engine/commands/media_commands.h"

#include "engine/base/escapes.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/core/script_observer.h"
#include "engine/media/media_set.h"
#include "engine/script/command_line.h"
#include "engine/script/word_list.h"

#include <optional>
#include <string>

namespace velmo {
namespace {

const char* ModeWord(PlayMode mode) {
  switch (mode) {
  case PlayMode::Loop:
    return "loop";
  case PlayMode::Wait:
    return "wait";
  default:
    return "once";
  }
}

// MODE=ONCE, LOOP or WAIT; any other value leaves `fallback`.
PlayMode ReadMode(const TCommandLine& line, PlayMode fallback) {
  const char* value = FindParam(line, "MODE", 0);
  if (value == nullptr) return fallback;
  if (EqualsNoCase(value, "ONCE")) return PlayMode::Once;
  if (EqualsNoCase(value, "LOOP")) return PlayMode::Loop;
  if (EqualsNoCase(value, "WAIT")) return PlayMode::Wait;
  return fallback;
}

// A file name given by SRC (named or the first parameter), escapes restored; empty when none is
// given.
std::optional<std::string> Source(const TCommandLine& line) {
  const char* value = FindParam(line, "SRC", 1);
  if (value == nullptr || value[0] == '\0') return std::nullopt;
  return RestoredText(value);
}

// Why a device whose setting is not 1 does not play: 2 is a device the machine lacks.
const char* SettingSuffix(std::int32_t setting) { return setting == 2 ? " (no device)" : " (disabled)"; }

const char* OutcomeSuffix(PlayOutcome outcome) {
  switch (outcome) {
  case PlayOutcome::Playing:
    return "";
  case PlayOutcome::Missing:
    return " (missing)";
  case PlayOutcome::NoDevice:
    break;
  }
  return " (no device)";
}

void Report(Engine& engine, const std::string& words) {
  if (IScriptObserver* observer = engine.Observer()) observer->OnMedia(words);
}

// "DEVICE play NAME MODE", the name as the script gave it ("-" for none).
std::string PlayWords(const char* device, const std::string& name, PlayMode mode) {
  return std::string(device) + " play " + (name.empty() ? std::string("-") : name) + " " + ModeWord(mode);
}

// A WAIT play that started waits in `state`; every other play lets the script go on, also a WAIT
// play that could not start, whose wait would never end.
CommandResult WaitFor(Engine& engine, PlayMode mode, PlayOutcome outcome, RunState state) {
  if (mode != PlayMode::Wait || outcome != PlayOutcome::Playing) return CommandResult::Continue;
  engine.run.state = state;
  return CommandResult::Stop;
}

CommandResult CmdLoadSound(ScriptContext& ctx) {
  // A disabled device opens nothing: opening would cut a voice that is playing.
  if (ctx.engine.settings.enableSe != 1) return CommandResult::Continue;
  for (const ParamToken p : Params(ctx.line)) {
    if (!p.Empty() && p.Is("SRC", 1)) ctx.engine.media.wave.Open(RestoredText(p.Value()));
  }
  return CommandResult::Continue;
}

CommandResult CmdPlaySound(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  WaveChannel& wave = engine.media.wave;
  const std::optional<std::string> source = Source(ctx.line);
  const PlayMode mode = ReadMode(ctx.line, PlayMode::Once);
  const std::string words = PlayWords("sound", source ? *source : wave.FileName(), mode);
  if (engine.settings.enableSe != 1) {
    Report(engine, words + SettingSuffix(engine.settings.enableSe));
    return CommandResult::Continue;
  }
  if (source) wave.Open(*source);
  const PlayOutcome outcome = wave.Play(mode);
  Report(engine, words + OutcomeSuffix(outcome));
  return WaitFor(engine, mode, outcome, RunState::SoundWait);
}

CommandResult CmdStopSound(ScriptContext& ctx) {
  ctx.engine.media.wave.Stop();
  Report(ctx.engine, "sound stop");
  return CommandResult::Continue;
}

CommandResult CmdLoadMusic(ScriptContext& ctx) {
  for (const ParamToken p : Params(ctx.line)) {
    if (!p.Empty() && p.Is("SRC", 1)) ctx.engine.media.music.Open(RestoredText(p.Value()));
  }
  return CommandResult::Continue;
}

CommandResult CmdPlayMusic(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  MusicChannel& music = engine.media.music;
  bool reset = false;
  for (const ParamToken p : Params(ctx.line)) reset = reset || p.IsFlag("RESET");
  // RESET plays the reset file and waits for it; nothing else of the line counts.
  const std::optional<std::string> source = reset ? std::optional<std::string>("system\\reset.mid") : Source(ctx.line);
  const PlayMode mode = reset ? PlayMode::Wait : ReadMode(ctx.line, PlayMode::Loop);
  if (source) music.Open(*source);
  const std::string words = PlayWords("music", source ? *source : music.FileName(), mode);
  if (engine.settings.enableMidi != 1) {
    Report(engine, words + SettingSuffix(engine.settings.enableMidi));
    return CommandResult::Continue;
  }
  const PlayOutcome outcome = music.Play(mode);
  Report(engine, words + OutcomeSuffix(outcome));
  return WaitFor(engine, mode, outcome, RunState::MusicWait);
}

CommandResult CmdStopMusic(ScriptContext& ctx) {
  ctx.engine.media.music.Stop();
  Report(ctx.engine, "music stop");
  return CommandResult::Continue;
}

CommandResult CmdPlayCD(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  CDChannel& cd = engine.media.cd;
  const char* trackText = FindParam(ctx.line, "TRACK", 1);
  const PlayMode mode = ReadMode(ctx.line, PlayMode::Loop);
  cd.OpenCD(static_cast<char>(engine.settings.cdrom), trackText != nullptr ? ParseNumber(trackText) : 0);
  const std::string words = "cd play " + std::to_string(cd.Track()) + " " + ModeWord(mode);
  if (engine.settings.enableCdda != 1) {
    cd.Stop();
    Report(engine, words + SettingSuffix(engine.settings.enableCdda));
    return CommandResult::Continue;
  }
  const PlayOutcome outcome = cd.Play(mode);
  Report(engine, words + OutcomeSuffix(outcome));
  return WaitFor(engine, mode, outcome, RunState::CDWait);
}

CommandResult CmdStopCD(ScriptContext& ctx) {
  ctx.engine.media.cd.Stop();
  Report(ctx.engine, "cd stop");
  return CommandResult::Continue;
}

CommandResult CmdVoice(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const std::optional<std::string> source = Source(ctx.line);
  if (engine.run.skipToOption || !source) return CommandResult::Continue;
  const std::string words = "voice " + *source;
  // Without the voice setting (off, or no device) nothing plays and nothing waits for it.
  if (engine.settings.enableVoice != 1) {
    Report(engine, words + SettingSuffix(engine.settings.enableVoice));
    return CommandResult::Continue;
  }
  WaveChannel& wave = engine.media.wave;
  wave.Open(*source);
  const PlayOutcome outcome = wave.Play(PlayMode::Once);
  // Only a voice that plays belongs to the text: the page's wait mark then waits for its end.
  if (outcome == PlayOutcome::Playing) engine.run.voicePending = true;
  Report(engine, words + OutcomeSuffix(outcome));
  return CommandResult::Continue;
}

CommandResult CmdLoadMovie(ScriptContext& ctx) {
  for (const ParamToken p : Params(ctx.line)) {
    if (!p.Empty() && p.Is("SRC", 1)) ctx.engine.media.movie.LoadMovie(RestoredText(p.Value()));
  }
  return CommandResult::Continue;
}

CommandResult CmdPlayMovie(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  MoviePlayer& movie = engine.media.movie;
  CmdLoadMovie(ctx);
  const PlayMode mode = ReadMode(ctx.line, PlayMode::Wait);
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  if (const char* rect = FindParam(ctx.line, "RECT", 0)) {
    if (EqualsNoCase(rect, "FULLSCREEN")) {
      width = 640;
      height = 480;
    } else {
      const TWordList items(rect);
      x = ParseNumber(items.Item(1));
      y = ParseNumber(items.Item(2));
      width = ParseNumber(items.Item(3));
      height = ParseNumber(items.Item(4));
    }
  }
  const std::string words = PlayWords("movie", movie.FileName(), mode);
  if (engine.settings.enableAvi != 1) {
    Report(engine, words + " (disabled)");
    return CommandResult::Continue;
  }
  const PlayOutcome outcome = movie.PlayMovie(x, y, width, height, mode);
  Report(engine, words + OutcomeSuffix(outcome));
  return WaitFor(engine, mode, outcome, RunState::MovieWait);
}

CommandResult CmdStopMovie(ScriptContext& ctx) {
  ctx.engine.media.movie.CloseMovie();
  Report(ctx.engine, "movie stop");
  return CommandResult::Continue;
}

CommandResult CmdSetMixer(ScriptContext& ctx) {
  static constexpr const char* Targets[MixerTargets] = {"MASTER", "CDDA", "WAVE", "LINE"};
  static constexpr const char* TargetWords[MixerTargets] = {"master", "cdda", "wave", "line"};
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  std::size_t slot = 0;
  if (const char* value = FindParam(line, "TARGET", 1)) {
    for (std::size_t i = 0; i < MixerTargets; ++i) {
      if (EqualsNoCase(value, Targets[i])) slot = i;
    }
  }
  const MixerTarget target = static_cast<MixerTarget>(slot);
  const char* volumeText = FindParam(line, "VOLUME", 2);
  const char* panText = FindParam(line, "PAN", 0);
  const char* timeText = FindParam(line, "TIME", 0);
  const char* modeText = FindParam(line, "MODE", 0);
  const std::int32_t volume = volumeText != nullptr ? ParseNumber(volumeText) : -1;
  const std::int32_t pan = panText != nullptr ? ParseNumber(panText) : -1;
  const std::int32_t time = timeText != nullptr ? ParseNumber(timeText) : 0;
  const bool wait = modeText != nullptr && EqualsNoCase(modeText, "WAIT");

  Mixer& mixer = engine.media.mixer;
  if (volume != -1) mixer.SetVolume(target, volume);
  if (pan != -1) mixer.SetPan(target, pan);
  std::string words = std::string("mixer ") + TargetWords[slot] + " " + std::to_string(volume) + " " +
                      std::to_string(pan) + " " + std::to_string(time) + (wait ? " wait" : " nowait");
  // Without fades the mixer is not touched at all.
  if (engine.settings.enableFade != 1) {
    Report(engine, words + " (disabled)");
    return CommandResult::Continue;
  }
  // A target without a control, or a fade thread that does not run, has no fade to wait for.
  const bool fading =
      mixer.StartFade(target, wait ? std::optional<std::uint32_t>(engine.door.CurrentWait()) : std::nullopt, time);
  Report(engine, words + (fading ? "" : " (no device)"));
  if (!fading || !wait) return CommandResult::Continue;
  engine.run.state = RunState::MixerWait;
  return CommandResult::Stop;
}

} // namespace

void RegisterMediaCommands(CommandTable& table) {
  static constexpr CommandSpec Media[] = {
      {"@LoadSound", CmdLoadSound}, {"@PlaySound", CmdPlaySound}, {"@StopSound", CmdStopSound},
      {"@LoadMusic", CmdLoadMusic}, {"@PlayMusic", CmdPlayMusic}, {"@StopMusic", CmdStopMusic},
      {"@PlayCD", CmdPlayCD},       {"@StopCD", CmdStopCD},       {"@Voice", CmdVoice},
      {"@LoadMovie", CmdLoadMovie}, {"@PlayMovie", CmdPlayMovie}, {"@StopMovie", CmdStopMovie},
  };
  static constexpr CommandSpec Mixer[] = {{"@SetMixer", CmdSetMixer}};
  table.Add(CommandGroup::Media, Media);
  table.Add(CommandGroup::Mixer, Mixer);
}

} // namespace velmo
