#pragma once

#include "engine/core/settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

class Engine;
class IModules;
class IFileSystem;
class TListPlugin;

// The settings sheet "環境設定 - VELMO" without its windows: which pages it shows, the apply flag,
// and for each page what its controls start as and what it writes back. The Win32 property sheet
// makes one page object when a page is first shown and closes it when the page is destroyed;
// the tests drive the same objects.

inline constexpr const char* SettingsSheetCaption = "環境設定 - VELMO";

// The pages by their dialog templates, in the sheet's order.
enum class SettingsPageId : int {
  Behaviour = 115,  // 動作
  Message = 134,    // ﾒｯｾｰｼﾞ
  Font = 118,       // ﾌｫﾝﾄ
  Mouse = 116,      // ﾏｳｽ
  Multimedia = 117, // ﾏﾙﾁﾒﾃﾞｨｱ
  Plugins = 119,    // ﾌﾟﾗｸﾞｲﾝ
};

// The pages shown for these settings: all six, without ﾏｳｽ in full screen with a display mode
// change (FullScreen 1), where the right button always opens the pop-up.
std::vector<SettingsPageId> SettingsSheetPages(const Settings& settings);

// One showing of the sheet. The apply flag is set by OK (PSN_APPLY reaches every page that was
// shown); pages write back only when it is set, so Cancel changes nothing and pages never shown
// write nothing.
struct SettingsSheet {
  explicit SettingsSheet(Engine& sheetEngine) : engine(sheetEngine) {}
  Engine& engine;
  bool applied = false;
};

// 動作 (115): four check boxes, one setting each, written as 1 or 0.
class BehaviourPage {
public:
  // The boxes in order: 1008 Transition, 1054 Effect, 1055 AutoSelect, 1072 NativeCode.
  static constexpr std::array<int, 4> BoxIds = {1008, 1054, 1055, 1072};

  explicit BehaviourPage(SettingsSheet& sheet);
  void Close();

  std::array<bool, 4> checked{};

private:
  SettingsSheet& sheet;
};

// ﾒｯｾｰｼﾞ (134): the message speed on a trackbar of 0-10 and a preview line that types fourteen
// squares at the previewed speed.
inline constexpr int SpeedTrackbarId = 1078;
inline constexpr int SpeedPreviewId = 1079;
inline constexpr int MaxMessageSpeed = 10;
inline constexpr int PreviewSquares = 14;
// A speed as the trackbar and the preview take it: 0-10.
int ClampMessageSpeed(std::int32_t speed);
// The preview line with `shown` of its squares (0-14).
std::string PreviewText(int shown);
// How long the preview waits after showing `shown` squares at `speed`: speed x 4 ms, and 500 ms
// more after the full line.
std::uint32_t PreviewDelayMs(int shown, int speed);

class MessagePage {
public:
  explicit MessagePage(SettingsSheet& sheet);
  // The trackbar's drag, click or key ended at `position`: the preview takes that speed.
  void EndTrack(int position);
  void Close();

  int position = 0;     // the trackbar's
  int previewSpeed = 0; // the speed the preview types at

private:
  SettingsSheet& sheet;
};

// ﾌｫﾝﾄ (118): the player's face for message text, from the system's Japanese faces.
inline constexpr int ForceUserFontId = 1083;
inline constexpr int SmoothFontId = 1084;
inline constexpr int FaceListId = 1006;
inline constexpr int FixedPitchOnlyId = 1066;
inline constexpr std::size_t MaxFaceNameBytes = 31;

// A font family as the system enumerates it (the face name in code page 932).
struct FontFace {
  std::string name;
  bool fixedPitch = false;
};
// Whether the face list offers `face`: not a vertical face ('@' first), a name with a Shift-JIS
// lead byte (a Japanese name), and fixed pitch when only those are asked for.
bool FaceIsListed(const FontFace& face, bool fixedPitchOnly);

class FontPage {
public:
  FontPage(SettingsSheet& sheet, std::vector<FontFace> systemFaces);
  // The box 等幅ﾌｫﾝﾄのみを選択する was clicked: the list is made again, keeping the selected face
  // when it is still listed (else the settings' face, when listed).
  void SetFixedPitchOnly(bool only);
  void Select(int index) { selected = index >= 0 && index < static_cast<int>(faces.size()) ? index : -1; }
  // OK: FaceName = the selected face cut to 31 bytes on a character boundary (no selection keeps
  // the old face), FixedPitch and ForceUserFont = the boxes. With ForceUserFont the face goes into
  // the message font at once; the message font is made again on the next page either way.
  void Close();

  bool forceUserFont = false;
  bool fixedPitchOnly = false;
  std::vector<std::string> faces; // the list, in the system's order
  int selected = -1;

private:
  void Fill(std::string_view keep);

  SettingsSheet& sheet;
  std::vector<FontFace> system;
};

// ﾏｳｽ (116): six radio buttons 30001-30006 for MOUSE RightClick 0-5.
inline constexpr int RightClickFirstId = 30001;
inline constexpr int RightClickChoices = 6;
class MousePage {
public:
  explicit MousePage(SettingsSheet& sheet);
  void Close();

  int selected = -1; // 0-5, or -1 when the setting names none of them (then it is kept)

private:
  SettingsSheet& sheet;
};

// ﾏﾙﾁﾒﾃﾞｨｱ (117): the devices the game may use.
struct DeviceBox {
  int id = 0;
  bool enabled = false;
  bool checked = false;
};
class MultimediaPage {
public:
  // The boxes in order: 1012 効果音 (EnbaleSE), 1014 音声 (EnbaleVOICE), 1011 音楽 MIDI (EnbaleMIDI),
  // 1013 音楽 CD-DA (EnbaleCDDA), 1019 動画 (EnbaleAVI), 1015 MMX (EnbaleMMX, never enabled),
  // 1070 ﾐｷｻ (EnableFade, always enabled).
  enum Box { SoundEffects, Voice, Midi, CdAudio, Movie, Mmx, Fade, BoxCount };
  static constexpr std::array<int, BoxCount> BoxIds = {1012, 1014, 1011, 1013, 1019, 1015, 1070};
  static constexpr int DriveListId = 1088;
  static constexpr int VolumeButtonId = 1075;

  // `cdDrives` are the letters of the machine's CD drives; `cdTrackFiles` whether the game has its
  // own copy of CD tracks (cd\trackNN.wav), which plays without a drive. With neither, CD audio
  // cannot play: EnbaleCDDA becomes 2 at once, even if the sheet is cancelled. The volume button
  // is offered outside full screen with a mode change, when the volume control was found.
  MultimediaPage(SettingsSheet& sheet, std::vector<char> cdDrives, bool cdTrackFiles, bool volumeControlFound);
  // OK: each enabled box writes 1 or 0 into its setting (a disabled one leaves it, so 2 stays 2);
  // CDROM = the selected drive's letter.
  void Close();

  std::array<DeviceBox, BoxCount> boxes{};
  std::vector<char> drives;
  int selectedDrive = -1;
  bool driveListEnabled = false;
  bool volumeEnabled = false;

private:
  SettingsSheet& sheet;
};
// Whether the game in the current folder has CD track files (cd\track*.wav).
bool HasCdTrackFiles(IFileSystem& files);

// ﾌﾟﾗｸﾞｲﾝ (119): the loaded plug-ins; writes no setting.
inline constexpr int PluginListId = 1000;
struct PluginRow {
  int node = 0;            // the plug-in's index in the list
  std::string fileName;    // column ﾌﾟﾗｸﾞｲﾝ
  std::string tag;         // column ﾀｲﾌﾟ
  std::string description; // column 説明: GetPluginInfo(1), or empty
  int icon = 0;            // 0 icon 102, 1 "00IN", 2 "00AM", 3 icon 103 ("00ME"), 4 icon 104 ("00MP")
};
int PluginIconIndex(std::string_view tag);
std::vector<PluginRow> ListPlugins(const TListPlugin& list, IModules& modules);
// The ConfigurationDlg function a command of the plug-in list asks for: 1 (settings) for a double
// click and 設定 (40032), 0 (about) for このﾌﾟﾗｸﾞｲﾝについて (40033).
int PluginConfigurationFunction(int command);

// After the sheet, whatever its answer: every device class that is no longer enabled stops. MIDI,
// CD and sound effects stop their channels, and a wait for the stopped channel ends as a click
// would end it; a voice of the text on screen stops when voices or the wave channel are off, and
// its page goes on; movies off closes the movie and ends a wait for it.
void StopSwitchedOffDevices(Engine& engine);

} // namespace velmo
