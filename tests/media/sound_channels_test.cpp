// The sound channels and the movie player on the headless devices: what each mode does at the end
// of a play, plays that cannot start or that fail, stops, the voice that ends with its channel,
// and the CD channel's tracks with the game's track files in place of a drive.
#include "engine/media/media_set.h"

#include "engine/core/script_door.h"
#include "engine/platform/headless/headless_media.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Calls = std::vector<std::string>;

class ChannelTest : public ::testing::Test {
protected:
  ChannelTest() {
    media.record = true;
    files.files["a.wav"] = WaveFile(500);
    files.files["cd\\track02.wav"] = WaveFile(700);
  }

  // The next end of a play, handed to `notify` as the frame driver would hand it on.
  bool NextEnd(const std::function<bool(std::uint32_t, PlayEnd)>& notify) {
    clock.nowMs = media.NextDue().value_or(clock.nowMs);
    const std::optional<HeadlessMedia::Due> due = media.TakeDue();
    return due && notify(due->device, due->end);
  }
  bool NextEnd(MCIChannel& channel) {
    return NextEnd([&](std::uint32_t device, PlayEnd end) { return channel.Notify(device, end); });
  }
  int Plays() const {
    int plays = 0;
    for (const std::string& call : media.calls) plays += call.rfind("play ", 0) == 0 || call.rfind("track ", 0) == 0;
    return plays;
  }

  HeadlessClock clock;
  HeadlessWindow window;
  MemoryFileSystem files;
  HeadlessMedia media{clock, files};
  ScriptDoor door{window};
  RunControl run;
  WaveChannel wave{media, door, run};
};

// --- The end of a play ---

struct EndCase {
  PlayMode mode;
  PlayEnd end;
  bool playingAfter;
  int plays;
  bool resumes;
};

void PrintTo(const EndCase& c, std::ostream* out) {
  *out << "mode " << static_cast<int>(c.mode) << (c.end == PlayEnd::Failed ? " failed" : " finished");
}

class PlayEndTest : public ChannelTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(PlayEndTest, TheModeDecidesAndAFailureEndsEveryMode) {
  media.failPlays = GetParam().end == PlayEnd::Failed;
  wave.Open("a.wav");
  door.BeginWait();
  const std::uint32_t ticket = door.CurrentWait();
  ASSERT_EQ(wave.Play(GetParam().mode), PlayOutcome::Playing);
  EXPECT_TRUE(NextEnd(wave));
  EXPECT_EQ(wave.Playing(), GetParam().playingAfter);
  EXPECT_EQ(Plays(), GetParam().plays);
  EXPECT_EQ(window.resumeTickets, GetParam().resumes ? std::deque<std::uint32_t>{ticket} : std::deque<std::uint32_t>{});
}

INSTANTIATE_TEST_SUITE_P(Modes, PlayEndTest,
                         ::testing::Values(EndCase{PlayMode::Once, PlayEnd::Finished, false, 1, false},
                                           EndCase{PlayMode::Loop, PlayEnd::Finished, true, 2, false},
                                           EndCase{PlayMode::Wait, PlayEnd::Finished, false, 1, true},
                                           EndCase{PlayMode::Once, PlayEnd::Failed, false, 1, false},
                                           EndCase{PlayMode::Loop, PlayEnd::Failed, false, 1, false},
                                           EndCase{PlayMode::Wait, PlayEnd::Failed, false, 1, true}));

TEST_F(ChannelTest, ALoopWhoseReplayIsRefusedEndsAsOnce) {
  wave.Open("a.wav");
  wave.Play(PlayMode::Loop);
  media.refusePlays = true;
  EXPECT_TRUE(NextEnd(wave));
  EXPECT_FALSE(wave.Playing());
  EXPECT_FALSE(media.NextDue().has_value());
}

// --- Plays that cannot start ---

TEST_F(ChannelTest, APlayTheDeviceRefusesLeavesNothingToWaitFor) {
  wave.Open("a.wav");
  media.refusePlays = true;
  EXPECT_EQ(wave.Play(PlayMode::Wait), PlayOutcome::NoDevice);
  EXPECT_FALSE(wave.Playing());
  EXPECT_FALSE(media.NextDue().has_value());
  wave.Stop();
  EXPECT_TRUE(window.resumeTickets.empty());
}

// --- Notifications, stops and reopening ---

TEST_F(ChannelTest, OnlyTheRunningPlaysOwnNotificationIsTakenAndOnlyARunningPlayIsStopped) {
  wave.Open("a.wav");
  const std::uint32_t device = wave.DeviceId();
  EXPECT_FALSE(wave.Notify(device, PlayEnd::Finished)); // nothing plays yet
  wave.Play(PlayMode::Wait);
  EXPECT_FALSE(wave.Notify(device + 1, PlayEnd::Finished));
  EXPECT_FALSE(wave.Notify(0, PlayEnd::Finished));
  wave.Stop(); // a stopped WAIT play ends its wait, once
  wave.Stop();
  EXPECT_FALSE(wave.Notify(device, PlayEnd::Finished)); // a late end after the stop
  EXPECT_EQ(window.resumeTickets.size(), 1u);
  EXPECT_EQ(media.calls, (Calls{"open wave a.wav 1", "play 1", "stop 1"}));
}

TEST_F(ChannelTest, StoppingOrReopeningTheWaveChannelEndsThePendingVoice) {
  const std::function<void()> ends[] = {[&] { wave.Stop(); }, [&] { wave.Open("a.wav"); }};
  for (const auto& end : ends) {
    wave.Open("a.wav");
    wave.Play(PlayMode::Once);
    run.voicePending = true;
    run.state = RunState::VoiceWait;
    end();
    EXPECT_FALSE(run.voicePending);
    EXPECT_EQ(run.state, RunState::TextOutput);
  }
  // A hidden page that waited for the voice goes on once it shows again.
  run.voicePending = true;
  run.state = RunState::MessageHidden;
  run.savedState = RunState::VoiceWait;
  wave.Stop();
  EXPECT_EQ(run.savedState, RunState::TextOutput);
}

// --- The CD channel ---

struct TrackCase {
  const char* name;
  bool drive;
  bool waveDevice;
  std::int32_t track;
  PlayOutcome outcome;
  Calls calls;
};

void PrintTo(const TrackCase& c, std::ostream* out) { *out << c.name; }

class CdTrackTest : public ChannelTest, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(CdTrackTest, PlaysTheDiscsTrackOrTheGamesCopyOfIt) {
  media.noCd = !GetParam().drive;
  media.noWave = !GetParam().waveDevice;
  CDChannel cd(media, door);
  cd.OpenCD('Q', GetParam().track);
  EXPECT_EQ(cd.Play(PlayMode::Loop), GetParam().outcome);
  EXPECT_EQ(media.calls, GetParam().calls);
  if (GetParam().outcome != PlayOutcome::Playing) return;
  // A loop plays the same track again.
  media.calls.clear();
  EXPECT_TRUE(NextEnd([&](std::uint32_t device, PlayEnd end) { return cd.Notify(device, end); }));
  EXPECT_EQ(media.calls, Calls{GetParam().calls.back()});
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, CdTrackTest,
    ::testing::Values(
        TrackCase{"TrackToTheNext", true, true, 2, PlayOutcome::Playing, {"open cd Q: 1", "track 1 2"}},
        TrackCase{
            "LastTrackToTheEndOfTheDisc", true, true, 99, PlayOutcome::Playing, {"open cd Q: 1", "track 1 99 last"}},
        TrackCase{"LowEightBits", true, true, 258, PlayOutcome::Playing, {"open cd Q: 1", "track 1 2"}},
        TrackCase{
            "TrackFileWithoutDrive", false, true, 2, PlayOutcome::Playing, {"open wave cd\\track02.wav 1", "play 1"}},
        TrackCase{"TrackFileForATrackTheDiscLacks", true, true, 0, PlayOutcome::Missing, {"open cd Q: 1", "track 1 0"}},
        TrackCase{"NeitherDriveNorFile", false, true, 3, PlayOutcome::Missing, {}},
        TrackCase{"NoWaveDeviceForTheFile", false, false, 2, PlayOutcome::NoDevice, {}}),
    [](const ::testing::TestParamInfo<TrackCase>& tested) { return tested.param.name; });

TEST_F(ChannelTest, TrackFilesMakeCdAudioAvailableWithoutADrive) {
  media.noCd = true;
  HeadlessGraphics graphics;
  HeadlessModules modules;
  Platform platform{clock, window, files, graphics, modules, media, media, media};
  MediaSet set(platform, door, run);
  EXPECT_TRUE(set.CdAudioAvailable('Q'));
  files.files.erase("cd\\track02.wav");
  EXPECT_FALSE(set.CdAudioAvailable('Q'));
  media.noCd = false;
  EXPECT_TRUE(set.CdAudioAvailable('Q'));
}

// --- The movie player ---

class MovieTest : public ChannelTest {
protected:
  MovieTest() { files.files["m.avi"] = AviFile(30, 100000); }
  MoviePlayer movie{media, door};
};

TEST_F(MovieTest, AtItsEndALoopPlaysAgainAndOnceOrWaitClose) {
  const PlayMode modes[] = {PlayMode::Loop, PlayMode::Once, PlayMode::Wait};
  for (const PlayMode mode : modes) {
    window.ClearPosted();
    ASSERT_EQ(movie.LoadMovie("m.avi"), OpenFailure::None);
    ASSERT_EQ(movie.PlayMovie(0, 0, 0, 0, mode), PlayOutcome::Playing);
    clock.nowMs = *media.NextDue();
    EXPECT_EQ(clock.nowMs % 3000, 0u); // the movie's 30 frames of 0.1 s
    media.TakeDue();
    EXPECT_TRUE(movie.MovieNotify());
    EXPECT_EQ(movie.Loaded(), mode == PlayMode::Loop);
    EXPECT_EQ(media.moviePlaying, mode == PlayMode::Loop);
    EXPECT_EQ(window.resumeTickets.size(), mode == PlayMode::Wait ? 1u : 0u);
  }
  EXPECT_FALSE(movie.MovieNotify()); // nothing plays any more
}

TEST_F(MovieTest, AMovieClosedWhileWaitedOnEndsTheWaitOnce) {
  movie.LoadMovie("m.avi");
  movie.PlayMovie(0, 0, 640, 480, PlayMode::Wait);
  movie.CloseMovie();
  movie.CloseMovie();
  EXPECT_EQ(window.resumeTickets.size(), 1u);
  EXPECT_FALSE(media.movieLoaded);
}

} // namespace
} // namespace velmo
