// The sound, music, CD, voice, movie and mixer commands: their parameters and defaults, what they
// ask of the devices, the settings that keep a device silent, which of them wait, and what they
// report.
#include "engine/commands/media_commands.h"

#include "engine/media/media_set.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Words = std::vector<std::string>;

struct CommandCase {
  const char* name;
  std::function<void(Engine&)> prepare;
  Words lines;
  Words calls;   // asked of the devices
  Words reports; // told to the observer
  RunState state;
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

const auto Defaults = [](Engine&) {};
constexpr RunState Goes = RunState::TimedWait; // the script went on to the @Wait after the lines

// What the devices are asked shows what the transcript lines of the scenario cases cannot: the
// defaults, which file opens, what a disabled device leaves alone, the drive and the rectangle.
const CommandCase Cases[] = {
    {"SoundModeOtherThanTheThreeKeepsOnce",
     Defaults,
     {"@PlaySound a.wav MODE=sometimes"},
     {"open wave a.wav 1", "play 1"},
     {"sound play a.wav once"},
     Goes},
    {"SoundWithoutSourceReplaysTheLoadedOne",
     Defaults,
     {"@LoadSound SRC=a.wav", "@PlaySound MODE=WAIT"},
     {"open wave a.wav 1", "play 1"},
     {"sound play a.wav wait"},
     RunState::SoundWait},
    {"SoundNameWithAnEscapedBackslash",
     Defaults,
     {"@PlaySound se\\\\b.wav"},
     {"open wave se\\b.wav 1", "play 1"},
     {"sound play se\\b.wav once"},
     Goes},
    // A disabled device opens nothing, which would cut a voice that plays.
    {"SoundDisabledOpensNothing",
     [](Engine& e) { e.settings.enableSe = 0; },
     {"@LoadSound a.wav", "@PlaySound a.wav MODE=WAIT"},
     {},
     {"sound play a.wav wait (disabled)"},
     Goes},
    {"MusicLoopsByDefault",
     Defaults,
     {"@PlayMusic b.mid"},
     {"open midi b.mid 1", "play 1"},
     {"music play b.mid loop"},
     Goes},
    {"MusicResetIgnoresTheRestOfTheLine",
     Defaults,
     {"@PlayMusic RESET SRC=b.mid MODE=ONCE"},
     {"open midi system\\reset.mid 1", "play 1"},
     {"music play system\\reset.mid wait"},
     RunState::MusicWait},
    {"MusicDisabledOpensButDoesNotPlay",
     [](Engine& e) { e.settings.enableMidi = 0; },
     {"@PlayMusic b.mid MODE=WAIT"},
     {"open midi b.mid 1"},
     {"music play b.mid wait (disabled)"},
     Goes},
    {"CdTrackZeroLoopsOnTheDriveOfTheSettings",
     [](Engine& e) { e.settings.cdrom = 'Q'; },
     {"@PlayCD"},
     {"open cd Q: 1", "track 1 0"},
     {"cd play 0 loop (missing)"},
     Goes},
    {"CdDisabledOpensTheDriveAndPlaysNothing",
     [](Engine& e) { e.settings.enableCdda = 0; },
     {"@PlayCD 2 MODE=WAIT"},
     {"open cd A: 1"},
     {"cd play 2 wait (disabled)"},
     Goes},
    {"VoiceWithoutSourceOrWhileSkippingToAnOption",
     [](Engine& e) { e.run.skipToOption = true; },
     {"@Voice", "@Voice v.wav"},
     {},
     {},
     Goes},
    {"VoiceDisabledOpensNothing",
     [](Engine& e) { e.settings.enableVoice = 0; },
     {"@Voice v.wav"},
     {},
     {"voice v.wav (disabled)"},
     Goes},
    {"MovieWaitsAtItsOwnSizeByDefault",
     Defaults,
     {"@PlayMovie m.avi"},
     {"movie load m.avi", "movie play 0,0,0,0"},
     {"movie play m.avi wait"},
     RunState::MovieWait},
    {"MovieRectangle",
     Defaults,
     {"@LoadMovie m.avi", "@PlayMovie RECT=\"10,20,320,240\" MODE=ONCE"},
     {"movie load m.avi", "movie play 10,20,320,240"},
     {"movie play m.avi once"},
     Goes},
    {"MovieDisabledLoadsOnly",
     [](Engine& e) { e.settings.enableAvi = 0; },
     {"@PlayMovie m.avi"},
     {"movie load m.avi"},
     {"movie play m.avi wait (disabled)"},
     Goes},
    {"MixerOtherTargetIsMaster",
     Defaults,
     {"@SetMixer speakers 10 PAN=30 MODE=WAIT"},
     {},
     {"mixer master 10 30 0 wait"},
     RunState::MixerWait},
};

class MediaCommandTest : public ::testing::TestWithParam<CommandCase> {
protected:
  MediaCommandTest() {
    for (const char* name : {"a.wav", "v.wav", "se\\b.wav"}) f.files.files[name] = WaveFile(300);
    f.files.files["b.mid"] = MidiFile(0, 480, {Note(480)});
    f.files.files["system\\reset.mid"] = MidiFile(0, 480, {Note(48)});
    f.files.files["m.avi"] = AviFile(5, 100000);
  }
  ScriptFixture f;
};

TEST_P(MediaCommandTest, AsksTheDevicesAndReports) {
  const CommandCase& c = GetParam();
  c.prepare(f.engine);
  Words lines = c.lines;
  lines.emplace_back("@Wait");
  f.AddScenario("main.scn", lines);
  f.Open("main.scn");
  f.media.record = true;
  f.Resume();
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.media.calls, c.calls);
  EXPECT_EQ(f.reports, c.reports);
  EXPECT_EQ(f.engine.run.state, c.state);
}

INSTANTIATE_TEST_SUITE_P(Commands, MediaCommandTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<CommandCase>& tested) { return tested.param.name; });

// --- What the commands leave behind ---

using MediaCommandEffectTest = MediaCommandTest;

TEST_F(MediaCommandEffectTest, OnlyAVoiceThatPlaysBelongsToTheTextAndTheWaveChannelEndsIt) {
  const std::vector<std::pair<Words, bool>> cases = {
      {{"@Voice v.wav"}, true},
      {{"@Voice none.wav"}, false},
      {{"@Voice v.wav", "@StopSound"}, false},
      {{"@Voice v.wav", "@PlaySound a.wav"}, false},
      {{"@Voice v.wav", "@LoadSound a.wav"}, false},
      {{"@Voice v.wav", "@PlayMusic b.mid"}, true},
  };
  for (const auto& [lines, pending] : cases) {
    Words script = lines;
    script.emplace_back("@Wait");
    f.AddScenario("main.scn", script);
    f.Open("main.scn");
    f.engine.run.voicePending = false;
    f.Resume();
    EXPECT_EQ(f.engine.run.voicePending, pending) << lines.back();
  }
}

TEST_F(MediaCommandEffectTest, SetMixerSetsTheVolumeThatItsFadeReaches) {
  f.AddScenario("main.scn", {"@SetMixer WAVE 100 PAN=20 TIME=0", "@Wait"});
  f.Open("main.scn");
  f.Resume();
  const Mixer& mixer = f.engine.media.mixer;
  ASSERT_TRUE(mixer.Fading());
  f.clock.nowMs = *f.media.NextDue();
  f.driver.DeliverMedia();
  EXPECT_FALSE(mixer.Fading());
  EXPECT_EQ(f.media.values[2], 32767u);
  EXPECT_EQ(mixer.Control(MixerTarget::Wave)->currentPan, 20);

  // Without fades the control keeps its value, although the volume asked for is kept.
  f.engine.settings.enableFade = 0;
  f.AddScenario("main.scn", {"@SetMixer WAVE 0 TIME=0", "@Wait"});
  f.Open("main.scn");
  f.Resume();
  EXPECT_FALSE(mixer.Fading());
  EXPECT_EQ(mixer.Control(MixerTarget::Wave)->target, 0);
  EXPECT_EQ(f.media.values[2], 32767u);
}

} // namespace
} // namespace velmo
