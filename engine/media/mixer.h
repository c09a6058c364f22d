#pragma once

#include "engine/platform/media_devices.h"
#include "engine/platform/platform.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

namespace velmo {

// The four volumes a script sets: the master output and the CD, wave and line inputs.
enum class MixerTarget { Master = 0, Cdda = 1, Wave = 2, Line = 3 };
inline constexpr int MixerTargets = 4;

// One volume control and its fade. Values are the control's own units, between its bounds.
struct MixerControl {
  MixerControlId id;
  std::uint32_t startValue = 0; // what it held when found; put back at the end if it changed
  std::int64_t target = 0;      // where a fade ends: the start value until a volume is set
  std::int32_t panTarget = 0;   // recorded by PAN; nothing plays it
  std::int64_t current = 0;     // the value during a fade
  std::int32_t currentPan = 0;
  std::int64_t step = 0; // added at every fade tick; 0: no fade
  std::int64_t panStep = 0;
  std::optional<std::uint32_t> resumeTicket; // the wait a fade's end resumes
  bool changed = false;                      // the engine has written a value to it
};

// The system mixer's volume controls for the four targets, found when the mixer is made, and
// their fades, stepped every 100 ms by the fade thread. The thread shares the controls with the
// GUI thread under one lock and speaks to the GUI thread only by posting resumes. At the end the
// thread is stopped and joined, and every control the engine changed is set back to its start
// value.
class Mixer {
public:
  Mixer(IMixerControls& mixerControls, IWindow& mainWindow);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  bool Has(MixerTarget target) const { return controls[Slot(target)].has_value(); }
  // The target's fade ends at `percent` of its range: 0 the minimum, 100 the middle, 200 the
  // maximum; the percentage is held between 0 and 200. Nothing changes until a fade runs.
  void SetVolume(MixerTarget target, std::int32_t percent);
  void SetPan(MixerTarget target, std::int32_t pan);
  // Fades the target from its present value to the volume set last over `ms` milliseconds (a
  // negative time counts as 0, which reaches the end on the next tick); a new fade replaces a
  // running one. With a ticket, the fade's end resumes that wait. False, and nothing fades, when
  // the target has no control or the fade thread does not run.
  bool StartFade(MixerTarget target, std::optional<std::uint32_t> resumeTicket, std::int32_t ms);
  // Running fades go on to their end without resuming anything.
  void DetachFades();
  // One tick of the fade thread: every fading control moves one step; one that reaches its target
  // stops there and resumes its wait.
  void Tick();
  bool Fading() const;
  bool ThreadRunning() const { return threadRunning; }
  // A copy of a control's state, for tests and reports.
  std::optional<MixerControl> Control(MixerTarget target) const;

private:
  static std::size_t Slot(MixerTarget target) { return static_cast<std::size_t>(target); }

  IMixerControls& devices;
  IWindow& window;
  mutable std::mutex lock;
  std::array<std::optional<MixerControl>, MixerTargets> controls;
  bool threadRunning = false;
};

} // namespace velmo
