#include "engine/media/win32/win32_media.h"

#include <mmsystem.h>

#include <utility>
#include <vector>

namespace velmo {

namespace {

// Asks the wave mapper for its preferred device (mmddk.h's DRVM_MAPPER_PREFERRED_GET).
constexpr UINT MapperPreferredGet = 0x2000 + 21;

// The mixer device given by its index, as the mixer functions take it with MIXER_OBJECTF_MIXER.
HMIXEROBJ MixerObject(std::uint32_t mixer) { return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(mixer)); }

// The first volume control of a line.
std::optional<MixerControlId> FirstVolume(std::uint32_t mixer, const MIXERLINEA& line) {
  if (line.cControls == 0) return std::nullopt;
  std::vector<MIXERCONTROLA> found(line.cControls);
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = line.dwLineID;
  query.cControls = line.cControls;
  query.cbmxctrl = sizeof(MIXERCONTROLA);
  query.pamxctrl = found.data();
  if (mixerGetLineControlsA(MixerObject(mixer), &query, MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ALL) != 0) {
    return std::nullopt;
  }
  for (const MIXERCONTROLA& control : found) {
    if (control.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
      return MixerControlId{mixer, control.dwControlID, control.Bounds.dwMinimum, control.Bounds.dwMaximum};
    }
  }
  return std::nullopt;
}

// The target a source line of the speakers feeds: CD, wave or line; -1 for others.
int SourceSlot(DWORD componentType) {
  switch (componentType) {
  case MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC:
    return 1;
  case MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT:
    return 2;
  case MIXERLINE_COMPONENTTYPE_SRC_LINE:
  case MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY:
    return 3;
  default:
    return -1;
  }
}

// The controls of the speaker lines of one mixer (only those playing `waveDevice` when one is
// given); a later match replaces an earlier one.
void ScanMixer(std::uint32_t mixer, std::optional<DWORD> waveDevice,
               std::array<std::optional<MixerControlId>, 4>& controls) {
  MIXERCAPSA caps = {};
  if (mixerGetDevCapsA(mixer, &caps, sizeof caps) != 0) return;
  for (DWORD destination = 0; destination < caps.cDestinations; ++destination) {
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwDestination = destination;
    if (mixerGetLineInfoA(MixerObject(mixer), &line, MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_DESTINATION) != 0) {
      continue;
    }
    if (line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) continue;
    if (waveDevice && (line.Target.dwType != MIXERLINE_TARGETTYPE_WAVEOUT || line.Target.dwDeviceID != *waveDevice)) {
      continue;
    }
    if (std::optional<MixerControlId> master = FirstVolume(mixer, line)) controls[0] = master;
    for (DWORD source = 0; source < line.cConnections; ++source) {
      MIXERLINEA input = {};
      input.cbStruct = sizeof input;
      input.dwDestination = destination;
      input.dwSource = source;
      if (mixerGetLineInfoA(MixerObject(mixer), &input, MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_SOURCE) != 0) continue;
      const int slot = SourceSlot(input.dwComponentType);
      if (slot < 0) continue;
      if (std::optional<MixerControlId> volume = FirstVolume(mixer, input)) {
        controls[static_cast<std::size_t>(slot)] = volume;
      }
    }
  }
}

} // namespace

std::array<std::optional<MixerControlId>, 4> Win32MixerControls::FindVolumeControls() {
  std::array<std::optional<MixerControlId>, 4> controls;
  const UINT mixers = mixerGetNumDevs();
  // With several mixers, the one whose speakers play the preferred wave device; when none says
  // so, every mixer in turn.
  DWORD preferred = 0;
  DWORD status = 0;
  if (waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), MapperPreferredGet,
                     reinterpret_cast<DWORD_PTR>(&preferred), reinterpret_cast<DWORD_PTR>(&status)) != 0) {
    preferred = 0;
  }
  for (UINT mixer = 0; mixer < mixers; ++mixer) ScanMixer(mixer, preferred, controls);
  for (const std::optional<MixerControlId>& control : controls) {
    if (control) return controls;
  }
  for (UINT mixer = 0; mixer < mixers; ++mixer) ScanMixer(mixer, std::nullopt, controls);
  return controls;
}

bool Win32MixerControls::ReadValue(const MixerControlId& control, std::uint32_t& value) {
  MIXERCONTROLDETAILS_UNSIGNED detail = {};
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control.control;
  details.cChannels = 1; // every channel as one
  details.cbDetails = sizeof detail;
  details.paDetails = &detail;
  if (mixerGetControlDetailsA(MixerObject(control.mixer), &details,
                              MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE) != 0) {
    return false;
  }
  value = detail.dwValue;
  return true;
}

bool Win32MixerControls::WriteValue(const MixerControlId& control, std::uint32_t value) {
  MIXERCONTROLDETAILS_UNSIGNED detail = {};
  detail.dwValue = value;
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control.control;
  details.cChannels = 1;
  details.cbDetails = sizeof detail;
  details.paDetails = &detail;
  return mixerSetControlDetails(MixerObject(control.mixer), &details,
                                MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE) == 0;
}

bool Win32MixerControls::StartTicks(std::function<void()> tick) {
  return thread.Start(std::move(tick), std::chrono::milliseconds(100));
}

} // namespace velmo
