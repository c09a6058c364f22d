#include "engine/media/media_set.h"

#include "engine/base/sjis.h"

#include <cctype>
#include <string>
#include <vector>

namespace velmo {

MediaSet::MediaSet(Platform& platform, IScriptDoor& door, RunControl& run)
    : mixer(platform.mixer, platform.window), wave(platform.sound, door, run), music(platform.sound, door),
      cd(platform.sound, door), movie(platform.movie, door), devices(platform.sound), files(platform.files) {}

bool MediaSet::CdAudioAvailable(char driveLetter) {
  for (const std::string& name : files.FindFiles("cd", ".wav")) {
    // "trackNN.wav", any case
    if (name.size() == 11 && EqualsNoCase(name.substr(0, 5), "track") &&
        std::isdigit(static_cast<unsigned char>(name[5])) != 0 &&
        std::isdigit(static_cast<unsigned char>(name[6])) != 0) {
      return true;
    }
  }
  // The channel's own drive, if it holds one open, counts; else the drive is tried.
  if (cd.DeviceId() != 0) return true;
  const OpenedDevice opened = devices.OpenCd(driveLetter);
  if (opened.id == 0) return false;
  devices.Close(opened.id);
  return true;
}

} // namespace velmo
