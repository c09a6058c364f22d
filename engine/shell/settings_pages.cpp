#include "engine/shell/settings_pages.h"

#include "engine/base/run_control.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/core/settings.h"
#include "engine/media/media_channels.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_list.h"
#include "engine/text/message_window.h"
#include "plugins/include/velmo_plugin.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velmo {

namespace {

// The preview's square, one double-byte character.
constexpr std::string_view PreviewSquare = "■";
constexpr std::uint32_t PreviewLinePauseMs = 500;

constexpr std::int32_t NoDevice = 2;

std::int32_t Flag(bool on) { return on ? 1 : 0; }

} // namespace

std::vector<SettingsPageId> SettingsSheetPages(const Settings& settings) {
  std::vector<SettingsPageId> pages = {SettingsPageId::Behaviour, SettingsPageId::Message, SettingsPageId::Font};
  if (settings.fullScreen != 1) pages.push_back(SettingsPageId::Mouse);
  pages.push_back(SettingsPageId::Multimedia);
  pages.push_back(SettingsPageId::Plugins);
  return pages;
}

// ----- 動作

BehaviourPage::BehaviourPage(SettingsSheet& owner) : sheet(owner) {
  const Settings& settings = sheet.engine.settings;
  checked = {settings.transition != 0, settings.effect != 0, settings.autoSelect != 0, settings.nativeCode != 0};
}

void BehaviourPage::Close() {
  if (!sheet.applied) return;
  Settings& settings = sheet.engine.settings;
  settings.transition = Flag(checked[0]);
  settings.effect = Flag(checked[1]);
  settings.autoSelect = Flag(checked[2]);
  settings.nativeCode = Flag(checked[3]);
}

// ----- ﾒｯｾｰｼﾞ

int ClampMessageSpeed(std::int32_t speed) { return std::clamp<std::int32_t>(speed, 0, MaxMessageSpeed); }

std::string PreviewText(int shown) {
  std::string text;
  for (int i = 0; i < std::clamp(shown, 0, PreviewSquares); ++i) text += PreviewSquare;
  return text;
}

std::uint32_t PreviewDelayMs(int shown, int speed) {
  const auto step = static_cast<std::uint32_t>(ClampMessageSpeed(speed)) * 4;
  return shown >= PreviewSquares ? step + PreviewLinePauseMs : step;
}

MessagePage::MessagePage(SettingsSheet& owner) : sheet(owner) {
  position = ClampMessageSpeed(sheet.engine.settings.speed);
  previewSpeed = position;
}

void MessagePage::EndTrack(int trackPosition) {
  position = ClampMessageSpeed(trackPosition);
  previewSpeed = position;
}

void MessagePage::Close() {
  if (sheet.applied) sheet.engine.settings.speed = position;
}

// ----- ﾌｫﾝﾄ

bool FaceIsListed(const FontFace& face, bool fixedPitchOnly) {
  const std::string_view name = face.name;
  if (name.empty() || name[0] == '@') return false;
  if (fixedPitchOnly && !face.fixedPitch) return false;
  for (std::size_t i = 0; i < name.size(); i += CharLength(name.substr(i))) {
    if (IsLeadByte(name[i]) && i + 1 < name.size()) return true;
  }
  return false;
}

FontPage::FontPage(SettingsSheet& owner, std::vector<FontFace> systemFaces)
    : sheet(owner), system(std::move(systemFaces)) {
  const Settings& settings = sheet.engine.settings;
  forceUserFont = settings.forceUserFont != 0;
  fixedPitchOnly = settings.fixedPitch != 0;
  Fill(settings.faceName);
}

void FontPage::Fill(std::string_view keep) {
  faces.clear();
  for (const FontFace& face : system) {
    if (FaceIsListed(face, fixedPitchOnly) && std::find(faces.begin(), faces.end(), face.name) == faces.end()) {
      faces.push_back(face.name);
    }
  }
  selected = -1;
  for (const std::string_view wanted : {keep, std::string_view(sheet.engine.settings.faceName)}) {
    const auto found = std::find(faces.begin(), faces.end(), wanted);
    if (found != faces.end()) {
      selected = static_cast<int>(found - faces.begin());
      return;
    }
  }
}

void FontPage::SetFixedPitchOnly(bool only) {
  const std::string current = selected >= 0 ? faces[static_cast<std::size_t>(selected)] : std::string();
  fixedPitchOnly = only;
  Fill(current);
}

void FontPage::Close() {
  if (!sheet.applied) return;
  Engine& engine = sheet.engine;
  Settings& settings = engine.settings;
  if (selected >= 0) {
    settings.faceName = std::string(CutAtCharBoundary(faces[static_cast<std::size_t>(selected)], MaxFaceNameBytes));
  }
  settings.fixedPitch = Flag(fixedPitchOnly);
  settings.forceUserFont = Flag(forceUserFont);
  MessageFont& font = engine.messageWindow.font;
  if (forceUserFont) {
    const std::string_view face = CutAtCharBoundary(settings.faceName, sizeof font.description.faceName - 1);
    std::memset(font.description.faceName, 0, sizeof font.description.faceName);
    std::memcpy(font.description.faceName, face.data(), face.size());
  }
  font.dirty = true;
}

// ----- ﾏｳｽ

MousePage::MousePage(SettingsSheet& owner) : sheet(owner) {
  const std::int32_t action = sheet.engine.settings.rightClick;
  selected = action >= 0 && action < RightClickChoices ? action : -1;
}

void MousePage::Close() {
  if (sheet.applied && selected >= 0 && selected < RightClickChoices) sheet.engine.settings.rightClick = selected;
}

// ----- ﾏﾙﾁﾒﾃﾞｨｱ

bool HasCdTrackFiles(IFileSystem& files) {
  for (const std::string& name : files.FindFiles("cd", ".wav")) {
    if (name.size() > 5 && EqualsNoCase(name.substr(0, 5), "track")) return true;
  }
  return false;
}

MultimediaPage::MultimediaPage(SettingsSheet& owner, std::vector<char> cdDrives, bool cdTrackFiles,
                               bool volumeControlFound)
    : drives(std::move(cdDrives)), sheet(owner) {
  Settings& settings = sheet.engine.settings;
  // Without a drive and without the game's own tracks there is no CD audio, from now on.
  if (drives.empty() && !cdTrackFiles) settings.enableCdda = NoDevice;
  const std::int32_t values[BoxCount] = {settings.enableSe,   settings.enableVoice, settings.enableMidi,
                                         settings.enableCdda, settings.enableAvi,   settings.enableMmx,
                                         settings.enableFade};
  for (int i = 0; i < BoxCount; ++i) {
    DeviceBox& box = boxes[static_cast<std::size_t>(i)];
    box.id = BoxIds[static_cast<std::size_t>(i)];
    box.checked = values[i] == 1;
    box.enabled = values[i] != NoDevice;
  }
  boxes[Mmx].enabled = false;
  boxes[Fade].enabled = true;
  driveListEnabled = settings.enableCdda != NoDevice && !drives.empty();
  if (!drives.empty()) {
    const auto found = std::find(drives.begin(), drives.end(), static_cast<char>(settings.cdrom));
    selectedDrive = found != drives.end() ? static_cast<int>(found - drives.begin()) : 0;
  }
  // Over a full screen in a display mode of its own the volume control could not be seen.
  volumeEnabled = !FullScreenChangesDisplayMode(settings) && volumeControlFound;
}

void MultimediaPage::Close() {
  if (!sheet.applied) return;
  Settings& settings = sheet.engine.settings;
  std::int32_t* targets[BoxCount] = {&settings.enableSe,   &settings.enableVoice, &settings.enableMidi,
                                     &settings.enableCdda, &settings.enableAvi,   &settings.enableMmx,
                                     &settings.enableFade};
  for (int i = 0; i < BoxCount; ++i) {
    const DeviceBox& box = boxes[static_cast<std::size_t>(i)];
    if (box.enabled) *targets[i] = Flag(box.checked);
  }
  if (selectedDrive >= 0 && selectedDrive < static_cast<int>(drives.size())) {
    settings.cdrom = static_cast<unsigned char>(drives[static_cast<std::size_t>(selectedDrive)]);
  }
}

// ----- ﾌﾟﾗｸﾞｲﾝ

int PluginIconIndex(std::string_view tag) {
  if (tag == "00IN") return 1;
  if (tag == "00AM") return 2;
  if (tag == "00ME") return 3;
  if (tag == "00MP") return 4;
  return 0;
}

std::vector<PluginRow> ListPlugins(const TListPlugin& list, IModules& modules) {
  std::vector<PluginRow> rows;
  for (int i = 0; i <= list.LastIndex(); ++i) {
    const TPluginNode& node = list.Node(i);
    PluginRow row;
    row.node = i;
    row.fileName = node.fileName;
    row.tag = std::string(node.tag, strnlen(node.tag, sizeof node.tag));
    row.icon = PluginIconIndex(row.tag);
    if (auto info = reinterpret_cast<VelmoGetPluginInfo>(modules.Export(node.module, "GetPluginInfo"))) {
      char buffer[256] = {};
      if (info(1, buffer, sizeof buffer) != 0) row.description.assign(buffer, strnlen(buffer, sizeof buffer));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

int PluginConfigurationFunction(int command) { return command == 40033 ? 0 : 1; }

} // namespace velmo
