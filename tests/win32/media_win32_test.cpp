// Sound, voice, mixer, movies and CD audio in the main window on the system's devices: MCI
// waveaudio plays and notifies, the mixer's master volume, an MCI window for movies. The tests
// need a sound server (scripts/wine-env.sh starts a silent one and sets VELMO_SOUND); without one
// those that play sound are skipped. The machine has no MIDI device and no CD drive.
#include "engine/base/nibbles.h"
#include "engine/core/engine.h"
#include "engine/media/media_set.h"
#include "engine/script/script_state.h"
#include "engine/shell/win32/main_window.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace velmo {
namespace {

class MediaWin32Test : public ::testing::Test {
protected:
  void SetUp() override {
    instance = GetModuleHandleA(nullptr);
    MainWindow::RegisterWindowClass(instance);
  }

  // Skips the test on a machine without wave devices, unless the test run provided a sound server.
  bool NoSound() const { return waveOutGetNumDevs() == 0 && std::getenv("VELMO_SOUND") == nullptr; }

  void Write(const std::string& name, const std::string& bytes) {
    const std::filesystem::path file = folder.path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  // system\startup.scx of the lines (Shift-JIS literals), stored scrambled.
  void Script(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    for (char& c : bytes) c = SwapNibbles(c);
    Write("system/startup.scx", bytes);
  }

  // Starts the game and runs the program's loop until `done` or `timeoutMs`; false on the timeout.
  bool Start() {
    if (!main.Create(instance)) return false;
    main.Show(SW_SHOWNOACTIVATE);
    PostMessageA(main.Handle(), UM_STARTUP, 0, 0);
    return true;
  }
  bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = timeGetTime();
    MSG message;
    while (timeGetTime() - start < timeoutMs) {
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      main.TickIfDue(timeGetTime());
      if (done()) return true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return false;
  }
  std::string Var(const char* name) { return main.GetEngine()->script.variables.GetVar(name); }
  // Milliseconds until the variable `step` holds `value`; -1 when it does not within 10 s.
  long UntilStep(const char* value) {
    const DWORD start = timeGetTime();
    if (!RunUntil([&] { return Var("step") == value; }, 10000)) return -1;
    return static_cast<long>(timeGetTime() - start);
  }
  void Shutdown() {
    if (main.Handle() == nullptr) return;
    PostMessageA(main.Handle(), UM_SHUTDOWN, 0, 0);
    RunUntil([&] { return main.GetEngine() == nullptr; }, 10000);
  }
  void TearDown() override { Shutdown(); }

  HINSTANCE instance = nullptr;
  TempFolder folder;
  MainWindow main{folder.path.string() + "\\"};
};

TEST_F(MediaWin32Test, AWaitedSoundResumesTheScriptAfterItsLength) {
  if (NoSound()) GTEST_SKIP() << "no sound server";
  Write("tone.wav", WaveFile(800, 8000));
  Script({"@Let step = 1", "@PlaySound tone.wav MODE=WAIT", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  ASSERT_GE(UntilStep("1"), 0);
  const long waited = UntilStep("2");
  EXPECT_GE(waited, 750);
  EXPECT_LT(waited, 3000);
}

TEST_F(MediaWin32Test, ALoopedSoundFiresWaveNotifyAtTheEndOfEveryPass) {
  if (NoSound()) GTEST_SKIP() << "no sound server";
  Write("tone.wav", WaveFile(300, 8000));
  Script({"@Let n = 0", "@OnEvent WAVE_NOTIFY GOSUB #pass", "@PlaySound tone.wav MODE=LOOP", "// wait", "@Wait 100",
          "@if $n < 3 THEN", "@GoTo #wait", "@EndIf", "@StopSound", "@Let step = 2", "@Wait 60000", "// pass",
          "@Let n += 1", "@OnEvent WAVE_NOTIFY GOSUB #pass", "@Exit"});
  ASSERT_TRUE(Start());
  const long waited = UntilStep("2");
  EXPECT_GE(waited, 850); // three passes of 0.3 s
  EXPECT_LT(waited, 5000);
  EXPECT_EQ(Var("n"), "3");
}

TEST_F(MediaWin32Test, AVoiceKeepsThePageAtItsWaitMarkUntilItEnds) {
  if (NoSound()) GTEST_SKIP() << "no sound server";
  Write("voice.wav", WaveFile(1000, 8000));
  Script({"@AssignLayer 1 1 1", "@TextLayer 0 RECT=\"40,300,560,150\"", "@Text WAIT=0", "@Let step = 1",
          "@Voice voice.wav", "声\\w続き", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  ASSERT_GE(UntilStep("1"), 0);
  DWORD voiceWaitStart = 0;
  DWORD voiceWaitEnd = 0;
  ASSERT_TRUE(RunUntil(
      [&] {
        const bool waiting = main.GetEngine()->run.state == RunState::VoiceWait;
        if (waiting && voiceWaitStart == 0) voiceWaitStart = timeGetTime();
        if (!waiting && voiceWaitStart != 0 && voiceWaitEnd == 0) voiceWaitEnd = timeGetTime();
        return Var("step") == "2";
      },
      10000));
  ASSERT_NE(voiceWaitStart, 0u);
  EXPECT_GE(voiceWaitEnd - voiceWaitStart, 700u);
  EXPECT_FALSE(main.GetEngine()->run.voicePending);
}

TEST_F(MediaWin32Test, SetMixerChangesTheMasterVolumeAndTheEndPutsItBack) {
  if (NoSound()) GTEST_SKIP() << "no sound server";
  Script({"@SetMixer MASTER 50 TIME=300 MODE=WAIT", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  const std::optional<MixerControl> master = main.GetEngine()->media.mixer.Control(MixerTarget::Master);
  ASSERT_TRUE(master.has_value()) << "no master volume control";
  auto read = [&] {
    MIXERCONTROLDETAILS_UNSIGNED value = {};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = master->id.control;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    EXPECT_EQ(mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(master->id.mixer)), &details,
                                      MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE),
              0u);
    return value.dwValue;
  };
  const DWORD start = read();
  EXPECT_EQ(start, master->startValue);
  ASSERT_GE(UntilStep("2"), 0);
  // 50 of 200: a quarter of the range.
  EXPECT_NEAR(read(), master->id.minimum + ((master->id.maximum - master->id.minimum) * 64 >> 8), 2);
  EXPECT_NE(read(), start);
  Shutdown();
  EXPECT_EQ(read(), start);
}

TEST_F(MediaWin32Test, WithoutAMidiDeviceOrACdDriveOrATrackFileNothingWaits) {
  Write("song.mid", MidiFile(0, 480, {Note(1920)}));
  Script({"@PlayMusic song.mid MODE=WAIT", "@PlayCD 2 MODE=WAIT", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  const long waited = UntilStep("2");
  EXPECT_GE(waited, 0);
  EXPECT_LT(waited, 1500);
  EXPECT_FALSE(main.GetEngine()->media.music.Playing());
  EXPECT_FALSE(main.GetEngine()->media.cd.Playing());
}

TEST_F(MediaWin32Test, TheGamesTrackFilePlaysInPlaceOfTheCd) {
  if (NoSound()) GTEST_SKIP() << "no sound server";
  Write("cd/track02.wav", WaveFile(700, 8000));
  Script({"@Let step = 1", "@PlayCD 2 MODE=WAIT", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  ASSERT_GE(UntilStep("1"), 0);
  const long waited = UntilStep("2");
  EXPECT_GE(waited, 650);
  EXPECT_LT(waited, 3000);
}

#ifdef VELMO_TEST_MOVIE
TEST_F(MediaWin32Test, AnMsVideo1MoviePlaysInItsWindowAndTheScriptGoesOnAtItsEnd) {
  std::ifstream movie(VELMO_TEST_MOVIE, std::ios::binary);
  Write("movie.avi", std::string(std::istreambuf_iterator<char>(movie), {}));
  Script({"@Let step = 1", "@PlayMovie movie.avi RECT=\"80,60,160,120\"", "@Let step = 2", "@Wait 60000"});
  ASSERT_TRUE(Start());
  ASSERT_GE(UntilStep("1"), 0);
  // The movie window shows while the movie plays, and is gone after its end.
  HWND shown = nullptr;
  RECT place = {};
  const DWORD start = timeGetTime();
  ASSERT_TRUE(RunUntil(
      [&] {
        HWND child = GetWindow(main.Handle(), GW_CHILD);
        if (shown == nullptr && child != nullptr && IsWindowVisible(child)) {
          shown = child;
          GetWindowRect(child, &place);
          MapWindowPoints(nullptr, main.Handle(), reinterpret_cast<POINT*>(&place), 2);
        }
        return Var("step") == "2";
      },
      10000));
  const DWORD waited = timeGetTime() - start;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(place.left, 80);
  EXPECT_EQ(place.top, 60);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_GE(waited, 1500u); // 20 frames at 10 a second
  EXPECT_LT(waited, 6000u);
}
#endif

} // namespace
} // namespace velmo
