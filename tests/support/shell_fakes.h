#pragma once

// Recording stand-ins for the subsystems an engine can be given in place of its own (message
// window, selection, media channels, transition). Each records what it was asked, in order, and
// answers from fields a test sets.

#include "engine/base/run_control.h"
#include "engine/media/media_channels.h"
#include "engine/plugin/effect_host.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace velmo {

// Keeps every message line and starts its output (RunState TextOutput of `run`, which the test
// points at its engine's), as the real window does.
class RecordingMessageWindow : public IMessageWindow {
public:
  void SetMessageText(const char* text) override {
    texts.emplace_back(text);
    if (run != nullptr) run->state = RunState::TextOutput;
  }
  void OutputStep() override { ++outputSteps; }
  void BlinkPageMarker(bool show) override { markerCalls.push_back(show); }
  void Reset() override { ++resets; }

  RunControl* run = nullptr;
  std::vector<std::string> texts;
  int outputSteps = 0;
  std::vector<bool> markerCalls; // the `show` argument of each BlinkPageMarker
  int resets = 0;
};

class RecordingSelection : public ISelection {
public:
  void Hover(int x, int y) override { hovers.emplace_back(x, y); }
  void Up() override { ++ups; }
  void Down() override { ++downs; }
  bool Key(int virtualKey) override {
    keys.push_back(virtualKey);
    return false;
  }
  SelectionChoice Hit(int x, int y) override {
    hits.emplace_back(x, y);
    return choice;
  }

  SelectionChoice choice; // what every Hit answers; by default nothing (-1)
  std::vector<std::pair<int, int>> hovers;
  std::vector<std::pair<int, int>> hits;
  std::vector<int> keys;
  int ups = 0;
  int downs = 0;
};

// Calls are recorded as "wave 7", "music 7", "cd 7" (with " failed" for a failed play), "movie",
// "stop wave", "stop music", "stop cd", "close movie", "detach fades". A channel takes a
// notification when its flag is set.
class RecordingMediaChannels : public IMediaChannels {
public:
  bool WaveNotify(std::uint32_t deviceId, PlayEnd end) override { return Asked("wave", deviceId, end, waveTakes); }
  bool MusicNotify(std::uint32_t deviceId, PlayEnd end) override { return Asked("music", deviceId, end, musicTakes); }
  bool CdNotify(std::uint32_t deviceId, PlayEnd end) override { return Asked("cd", deviceId, end, cdTakes); }
  bool MovieNotify() override {
    calls.emplace_back("movie");
    return movieTakes;
  }
  void StopWave() override { calls.emplace_back("stop wave"); }
  void StopMusic() override { calls.emplace_back("stop music"); }
  void StopCd() override { calls.emplace_back("stop cd"); }
  void CloseMovie() override { calls.emplace_back("close movie"); }
  void DetachFades() override { calls.emplace_back("detach fades"); }

  bool waveTakes = false;
  bool musicTakes = false;
  bool cdTakes = false;
  bool movieTakes = false;
  std::vector<std::string> calls;

private:
  bool Asked(const char* channel, std::uint32_t deviceId, PlayEnd end, bool takes) {
    calls.push_back(std::string(channel) + " " + std::to_string(deviceId) + (end == PlayEnd::Failed ? " failed" : ""));
    return takes;
  }
};

// Calls are recorded as "step", "finish" and "copy". Step answers from `results`, then 1 (not
// finished yet).
class RecordingTransition : public ITransitionRunner {
public:
  int Step() override {
    calls.emplace_back("step");
    if (results.empty()) return 1;
    const int result = results.front();
    results.pop_front();
    return result;
  }
  void StartFinish() override { calls.emplace_back("finish"); }
  void CopyFinalPicture() override { calls.emplace_back("copy"); }
  std::uint32_t FrameIntervalMs() const override { return frameIntervalMs; }

  std::deque<int> results;
  std::uint32_t frameIntervalMs = 33;
  std::vector<std::string> calls;
};

} // namespace velmo
