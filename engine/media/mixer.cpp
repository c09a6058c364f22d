#include "engine/media/mixer.h"

#include <algorithm>
#include <limits>

namespace velmo {

namespace {

// The step of a fade over `ticks` ticks: the difference shared out, truncated toward zero, and
// never 0, so that every fade ends.
std::int64_t StepOf(std::int64_t difference, std::int64_t ticks) {
  const std::int64_t step = difference / ticks;
  if (step != 0) return step;
  return difference > 0 ? 1 : -1;
}

} // namespace

Mixer::Mixer(IMixerControls& mixerControls, IWindow& mainWindow) : devices(mixerControls), window(mainWindow) {
  const std::array<std::optional<MixerControlId>, MixerTargets> found = devices.FindVolumeControls();
  bool any = false;
  for (std::size_t slot = 0; slot < found.size(); ++slot) {
    std::uint32_t value = 0;
    // A control whose value cannot be read could not be set back at the end: it is left alone.
    if (!found[slot] || !devices.ReadValue(*found[slot], value)) continue;
    MixerControl control;
    control.id = *found[slot];
    control.startValue = value;
    control.target = value;
    control.current = value;
    controls[slot] = control;
    any = true;
  }
  if (any) threadRunning = devices.StartTicks([this] { Tick(); });
}

Mixer::~Mixer() {
  if (threadRunning) devices.StopTicks();
  for (const std::optional<MixerControl>& control : controls) {
    if (control && control->changed) devices.WriteValue(control->id, control->startValue);
  }
}

void Mixer::SetVolume(MixerTarget target, std::int32_t percent) {
  const std::lock_guard<std::mutex> guard(lock);
  std::optional<MixerControl>& control = controls[Slot(target)];
  if (!control) return;
  const std::int64_t scaled = std::int64_t{std::clamp(percent, 0, 200)} * 256 / 200;
  const std::int64_t range = std::int64_t{control->id.maximum} - std::int64_t{control->id.minimum};
  control->target = std::int64_t{control->id.minimum} + ((range * scaled) >> 8);
}

void Mixer::SetPan(MixerTarget target, std::int32_t pan) {
  const std::lock_guard<std::mutex> guard(lock);
  std::optional<MixerControl>& control = controls[Slot(target)];
  if (control) control->panTarget = pan;
}

bool Mixer::StartFade(MixerTarget target, std::optional<std::uint32_t> resumeTicket, std::int32_t ms) {
  const std::lock_guard<std::mutex> guard(lock);
  std::optional<MixerControl>& control = controls[Slot(target)];
  if (!control || !threadRunning) return false;
  control->resumeTicket = resumeTicket;
  std::uint32_t present = 0;
  if (devices.ReadValue(control->id, present)) control->current = present;
  const std::int64_t difference = control->target - control->current;
  const std::int64_t panDifference = std::int64_t{control->panTarget} - control->currentPan;
  control->step = difference != 0 ? difference : 1;
  control->panStep = panDifference != 0 ? panDifference : 1;
  if (ms > 0) {
    const std::int64_t ticks = ms / 100 + 1;
    control->step = StepOf(control->step, ticks);
    control->panStep = StepOf(control->panStep, ticks);
  }
  return true;
}

void Mixer::DetachFades() {
  const std::lock_guard<std::mutex> guard(lock);
  for (std::optional<MixerControl>& control : controls) {
    if (control) control->resumeTicket.reset();
  }
}

void Mixer::Tick() {
  const std::lock_guard<std::mutex> guard(lock);
  for (std::optional<MixerControl>& control : controls) {
    if (!control || control->step == 0) continue;
    control->current += control->step;
    const bool ended = (control->step > 0 && control->current >= control->target) ||
                       (control->step < 0 && control->current <= control->target);
    if (ended) {
      control->current = control->target;
      control->currentPan = control->panTarget;
      control->step = 0;
      control->panStep = 0;
    }
    const std::int64_t value = std::clamp<std::int64_t>(control->current, 0, std::numeric_limits<std::uint32_t>::max());
    devices.WriteValue(control->id, static_cast<std::uint32_t>(value));
    control->changed = true;
    // The script waiting for the fade goes on only once the control holds its last value.
    if (ended && control->resumeTicket) window.PostResume(*control->resumeTicket);
    if (ended) control->resumeTicket.reset();
  }
}

bool Mixer::Fading() const {
  const std::lock_guard<std::mutex> guard(lock);
  return std::any_of(controls.begin(), controls.end(),
                     [](const std::optional<MixerControl>& control) { return control && control->step != 0; });
}

std::optional<MixerControl> Mixer::Control(MixerTarget target) const {
  const std::lock_guard<std::mutex> guard(lock);
  return controls[Slot(target)];
}

} // namespace velmo
