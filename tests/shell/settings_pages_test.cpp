// The settings sheet without its windows: the pages shown, the apply flag (OK writes only the
// pages that were shown, Cancel nothing), the message speed and its preview, the font list's
// filter, the right button, the multimedia page's disabled boxes and CD rule, the plug-in list,
// and the devices stopped after the sheet with the waits on them ended.
#include "engine/shell/settings_pages.h"

#include "engine/base/run_control.h"
#include "engine/core/script_door.h"
#include "engine/plugin/plugin_set.h"
#include "engine/resources/resource_ids.h"
#include "engine/shell/menu_commands.h"
#include "engine/text/message_window.h"
#include "plugins/include/velmo_plugin.h"
#include "tests/support/script_fixture.h"
#include "tests/support/shell_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmo {
namespace {

TEST(SettingsSheetTest, TheMousePageIsLeftOutInFullScreenWithAModeChange) {
  Settings settings;
  const std::vector<SettingsPageId> all = {SettingsPageId::Behaviour,  SettingsPageId::Message,
                                           SettingsPageId::Font,       SettingsPageId::Mouse,
                                           SettingsPageId::Multimedia, SettingsPageId::Plugins};
  EXPECT_EQ(SettingsSheetPages(settings), all);
  settings.fullScreen = 2;
  EXPECT_EQ(SettingsSheetPages(settings), all);
  settings.fullScreen = 1;
  const std::vector<SettingsPageId> five = {SettingsPageId::Behaviour, SettingsPageId::Message, SettingsPageId::Font,
                                            SettingsPageId::Multimedia, SettingsPageId::Plugins};
  EXPECT_EQ(SettingsSheetPages(settings), five);
  EXPECT_EQ(static_cast<int>(SettingsPageId::Message), IDD_PAGE_MESSAGE);
}

// The player changes every control of the pages that are shown, then OK or Cancel.
struct SheetRun {
  bool ok;
  bool showBehaviour;
  bool showMessage;
  bool showMouse;
  bool showMultimedia;
};

TEST(SettingsSheetTest, OkWritesOnlyTheShownPagesAndCancelNothing) {
  const SheetRun runs[] = {
      {false, true, true, true, true},   {true, true, false, false, false}, {true, false, true, true, false},
      {true, false, false, false, true}, {true, true, true, true, true},
  };
  for (const SheetRun& run : runs) {
    ScriptFixture f;
    const Settings before = f.engine.settings;
    SettingsSheet sheet(f.engine);
    std::optional<BehaviourPage> behaviour;
    std::optional<MessagePage> message;
    std::optional<MousePage> mouse;
    std::optional<MultimediaPage> multimedia;
    if (run.showBehaviour) {
      behaviour.emplace(sheet);
      behaviour->checked = {false, false, false, false};
    }
    if (run.showMessage) {
      message.emplace(sheet);
      message->EndTrack(9);
    }
    if (run.showMouse) {
      mouse.emplace(sheet);
      mouse->selected = 4;
    }
    if (run.showMultimedia) {
      multimedia.emplace(sheet, std::vector<char>{'Q'}, false, true);
      for (DeviceBox& box : multimedia->boxes) box.checked = false;
    }
    // OK reaches every page that was shown; then the sheet destroys them.
    if (run.ok) sheet.applied = true;
    if (behaviour) behaviour->Close();
    if (message) message->Close();
    if (mouse) mouse->Close();
    if (multimedia) multimedia->Close();

    const Settings& now = f.engine.settings;
    const bool b = run.ok && run.showBehaviour;
    EXPECT_EQ(now.transition, b ? 0 : before.transition);
    EXPECT_EQ(now.effect, b ? 0 : before.effect);
    EXPECT_EQ(now.autoSelect, b ? 0 : before.autoSelect);
    EXPECT_EQ(now.nativeCode, b ? 0 : before.nativeCode);
    EXPECT_EQ(now.speed, run.ok && run.showMessage ? 9 : before.speed);
    EXPECT_EQ(now.rightClick, run.ok && run.showMouse ? 4 : before.rightClick);
    const bool m = run.ok && run.showMultimedia;
    EXPECT_EQ(now.enableSe, m ? 0 : before.enableSe);
    EXPECT_EQ(now.enableVoice, m ? 0 : before.enableVoice);
    EXPECT_EQ(now.enableMidi, m ? 0 : before.enableMidi);
    EXPECT_EQ(now.enableCdda, m ? 0 : before.enableCdda);
    EXPECT_EQ(now.enableAvi, m ? 0 : before.enableAvi);
    EXPECT_EQ(now.enableFade, m ? 0 : before.enableFade);
    EXPECT_EQ(now.enableMmx, before.enableMmx); // its box is never enabled
    EXPECT_EQ(now.cdrom, m ? 'Q' : before.cdrom);
    EXPECT_EQ(now.faceName, before.faceName);
  }
}

TEST(SettingsSheetTest, BehaviourBoxesShowTheirSettingsAndWriteOneOrZero) {
  ScriptFixture f;
  f.engine.settings.transition = 0;
  f.engine.settings.effect = 7;
  SettingsSheet sheet(f.engine);
  BehaviourPage page(sheet);
  EXPECT_EQ(page.checked, (std::array<bool, 4>{false, true, true, true}));
  sheet.applied = true;
  page.Close();
  EXPECT_EQ(f.engine.settings.transition, 0);
  EXPECT_EQ(f.engine.settings.effect, 1);
}

TEST(MessagePageTest, TheSpeedIsClampedAndThePreviewNeverSleepsLong) {
  ScriptFixture f;
  SettingsSheet sheet(f.engine);
  for (const auto& [speed, position] : {std::pair{5, 5}, {99, 10}, {-3, 0}, {0, 0}, {10, 10}}) {
    f.engine.settings.speed = speed;
    MessagePage page(sheet);
    EXPECT_EQ(page.position, position) << speed;
    EXPECT_EQ(page.previewSpeed, position) << speed;
  }
  EXPECT_EQ(PreviewDelayMs(0, 5), 20u);
  EXPECT_EQ(PreviewDelayMs(13, 5), 20u);
  EXPECT_EQ(PreviewDelayMs(14, 5), 520u);
  EXPECT_EQ(PreviewDelayMs(3, 0), 0u);
  EXPECT_EQ(PreviewDelayMs(3, 2000000000), 40u);
  EXPECT_EQ(PreviewDelayMs(3, -7), 0u);
  EXPECT_EQ(PreviewText(0), "");
  EXPECT_EQ(PreviewText(2), "■■");
  EXPECT_EQ(PreviewText(14), "■■■■■■■■■■■■■■");
  EXPECT_EQ(PreviewText(99), PreviewText(14));

  // A track ending past the bar is clamped too (writing the speed back is the OK test's).
  MessagePage page(sheet);
  page.EndTrack(12);
  EXPECT_EQ(page.position, 10);
  EXPECT_EQ(page.previewSpeed, 10);
}

// Face names as the system enumerates them in code page 932.
const std::vector<FontFace> SystemFaces = {
    {"ＭＳ ゴシック", true}, {"@ＭＳ ゴシック", true}, {"ＭＳ Ｐゴシック", false},
    {"Arial", false},        {"Courier New", true},    {"\xB1\xB2\xB3", true}, // half-width katakana only: no lead byte
    {"表示", true},          // 0x95 0x5C: a trail byte that is a backslash
    {"ＭＳ ゴシック", true}, // listed twice by the system
    {"A\x81", true},         // a lead byte without its trail byte
};

TEST(FontPageTest, OnlyJapaneseFacesAreListedAndVerticalOnesNever) {
  EXPECT_FALSE(FaceIsListed({"", true}, false));

  ScriptFixture f;
  SettingsSheet sheet(f.engine);
  FontPage page(sheet, SystemFaces);
  EXPECT_TRUE(page.fixedPitchOnly);
  EXPECT_EQ(page.faces, (std::vector<std::string>{"ＭＳ ゴシック", "表示"}));
  EXPECT_EQ(page.selected, 0);
  page.Select(1);
  page.SetFixedPitchOnly(false);
  EXPECT_EQ(page.faces, (std::vector<std::string>{"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "表示"}));
  EXPECT_EQ(page.selected, 2); // the face chosen stays chosen
  page.Select(1);
  page.SetFixedPitchOnly(true);
  EXPECT_EQ(page.selected, 0); // a proportional face gone: the settings' face

  f.engine.settings.faceName = "ない書体";
  FontPage missing(sheet, SystemFaces);
  EXPECT_EQ(missing.selected, -1);
}

TEST(FontPageTest, OkWithoutAFaceKeepsTheOldOneAndLongFacesAreCutOnCharacters) {
  ScriptFixture f;
  SettingsSheet sheet(f.engine);
  sheet.applied = true;
  f.engine.settings.faceName = "ない書体";
  FontPage none(sheet, SystemFaces);
  none.fixedPitchOnly = false;
  none.Close();
  EXPECT_EQ(f.engine.settings.faceName, "ない書体");
  EXPECT_EQ(f.engine.settings.fixedPitch, 0);
  EXPECT_TRUE(f.engine.messageWindow.font.dirty);

  // Sixteen double-byte characters: 32 bytes, cut to 30.
  const std::string longFace = "あいうえおかきくけこさしすせそた";
  FontPage page(sheet, {{longFace, true}});
  page.Select(0);
  page.forceUserFont = true;
  f.engine.messageWindow.font.dirty = false;
  page.Close();
  EXPECT_EQ(f.engine.settings.faceName, longFace.substr(0, 30));
  EXPECT_EQ(f.engine.settings.forceUserFont, 1);
  EXPECT_EQ(std::string(f.engine.messageWindow.font.description.faceName), longFace.substr(0, 30));
  EXPECT_TRUE(f.engine.messageWindow.font.dirty);
}

TEST(FontPageTest, WithoutForceUserFontTheMessageFontKeepsItsFace) {
  ScriptFixture f;
  std::strcpy(f.engine.messageWindow.font.description.faceName, "System");
  SettingsSheet sheet(f.engine);
  FontPage page(sheet, SystemFaces);
  page.SetFixedPitchOnly(false);
  page.Select(1);
  sheet.applied = true;
  page.Close();
  EXPECT_EQ(f.engine.settings.faceName, "ＭＳ Ｐゴシック");
  EXPECT_STREQ(f.engine.messageWindow.font.description.faceName, "System");
}

TEST(MousePageTest, TheCheckedButtonIsTheRightClickSetting) {
  ScriptFixture f;
  SettingsSheet sheet(f.engine);
  f.engine.settings.rightClick = 3;
  EXPECT_EQ(MousePage(sheet).selected, 3);
  f.engine.settings.rightClick = 9;
  MousePage odd(sheet);
  EXPECT_EQ(odd.selected, -1);
  sheet.applied = true;
  odd.Close();
  EXPECT_EQ(f.engine.settings.rightClick, 9);
}

TEST(MultimediaPageTest, NoDeviceShowsAGrayUncheckedBoxAndStaysTwo) {
  ScriptFixture f;
  Settings& settings = f.engine.settings;
  settings.enableMidi = 2;
  settings.enableVoice = 0;
  settings.cdrom = 'E';
  SettingsSheet sheet(f.engine);
  MultimediaPage page(sheet, {'D', 'E'}, false, true);
  EXPECT_FALSE(page.boxes[MultimediaPage::Midi].enabled);
  EXPECT_FALSE(page.boxes[MultimediaPage::Midi].checked);
  EXPECT_TRUE(page.boxes[MultimediaPage::Voice].enabled);
  EXPECT_FALSE(page.boxes[MultimediaPage::Voice].checked);
  EXPECT_TRUE(page.boxes[MultimediaPage::SoundEffects].checked);
  EXPECT_FALSE(page.boxes[MultimediaPage::Mmx].enabled);
  EXPECT_TRUE(page.boxes[MultimediaPage::Fade].enabled);
  EXPECT_EQ(page.boxes[MultimediaPage::CdAudio].id, IDC_ENABLE_CDDA);
  EXPECT_TRUE(page.driveListEnabled);
  EXPECT_EQ(page.selectedDrive, 1);
  page.boxes[MultimediaPage::Midi].checked = true; // a gray box cannot be changed, but even so
  page.boxes[MultimediaPage::Voice].checked = true;
  page.selectedDrive = 0;
  sheet.applied = true;
  page.Close();
  EXPECT_EQ(settings.enableMidi, 2);
  EXPECT_EQ(settings.enableVoice, 1);
  EXPECT_EQ(settings.cdrom, 'D');

  // A CDROM letter that is no CD drive selects the first drive.
  settings.cdrom = 'A';
  EXPECT_EQ(MultimediaPage(sheet, {'D', 'E'}, false, true).selectedDrive, 0);
}

TEST(MultimediaPageTest, CdAudioIsGrayOnlyWithNeitherADriveNorTrackFiles) {
  {
    ScriptFixture f;
    SettingsSheet sheet(f.engine);
    const MultimediaPage page(sheet, {}, false, true);
    // At once, whether the sheet is then cancelled or not.
    EXPECT_EQ(f.engine.settings.enableCdda, 2);
    EXPECT_FALSE(page.boxes[MultimediaPage::CdAudio].enabled);
    EXPECT_FALSE(page.driveListEnabled);
    EXPECT_EQ(page.selectedDrive, -1);
  }
  {
    ScriptFixture f;
    f.files.files["cd\\track02.wav"] = "RIFF";
    EXPECT_TRUE(HasCdTrackFiles(f.files));
    SettingsSheet sheet(f.engine);
    MultimediaPage page(sheet, {}, HasCdTrackFiles(f.files), true);
    EXPECT_EQ(f.engine.settings.enableCdda, 1);
    EXPECT_TRUE(page.boxes[MultimediaPage::CdAudio].enabled);
    EXPECT_TRUE(page.boxes[MultimediaPage::CdAudio].checked);
    EXPECT_FALSE(page.driveListEnabled);
    page.boxes[MultimediaPage::CdAudio].checked = false;
    sheet.applied = true;
    page.Close();
    EXPECT_EQ(f.engine.settings.enableCdda, 0);
    EXPECT_EQ(f.engine.settings.cdrom, 65); // no drive chosen
  }
  {
    ScriptFixture f;
    f.files.files["cd\\intro.wav"] = "RIFF";
    EXPECT_FALSE(HasCdTrackFiles(f.files));
  }
}

TEST(MultimediaPageTest, TheVolumeButtonNeedsTheVolumeControlAndNoModeChange) {
  ScriptFixture f;
  SettingsSheet sheet(f.engine);
  EXPECT_TRUE(MultimediaPage(sheet, {}, true, true).volumeEnabled);
  EXPECT_FALSE(MultimediaPage(sheet, {}, true, false).volumeEnabled);
  f.engine.settings.fullScreen = 1;
  EXPECT_TRUE(MultimediaPage(sheet, {}, true, true).volumeEnabled); // borderless over the desktop
  f.engine.settings.changeDisplayMode = 1;
  EXPECT_FALSE(MultimediaPage(sheet, {}, true, true).volumeEnabled);
  f.engine.settings.fullScreen = 2;
  EXPECT_TRUE(MultimediaPage(sheet, {}, true, true).volumeEnabled);
}

// Plug-ins of the four kinds and one of the delivered plug-ins' tag.
int CopyInfo(const char* tag, const char* description, int number, char* buffer, int length) {
  const char* text = number == 0 ? tag : number == 1 ? description : nullptr;
  if (text == nullptr || text[0] == '\0') return 0;
  std::snprintf(buffer, static_cast<std::size_t>(length), "%s", text);
  return static_cast<int>(std::strlen(buffer));
}
int VELMO_STDCALL InfoEffect(int n, char* b, int l) { return CopyInfo("00ME", "効果の詰め合わせ", n, b, l); }
int VELMO_STDCALL InfoProcedure(int n, char* b, int l) { return CopyInfo("00MP", "", n, b, l); }
int VELMO_STDCALL InfoPicture(int n, char* b, int l) { return CopyInfo("00IN", "Picture loader", n, b, l); }
int VELMO_STDCALL InfoArchive(int n, char* b, int l) { return CopyInfo("00AM", "Archive", n, b, l); }
int VELMO_STDCALL InfoVariant(int n, char* b, int l) { return CopyInfo("00MX", "Stripes 1.20", n, b, l); }
int configured = -1;
int VELMO_STDCALL Configure(void*, int function) {
  configured = function;
  return 1;
}

TEST(PluginPageTest, EveryPluginIsARowWithTheIconOfItsType) {
  ScriptFixture f;
  const struct {
    const char* file;
    void* info;
  } plugins[] = {{"pic.spi", reinterpret_cast<void*>(InfoPicture)},
                 {"arc.spi", reinterpret_cast<void*>(InfoArchive)},
                 {"fx.vpx", reinterpret_cast<void*>(InfoEffect)},
                 {"proc.vpx", reinterpret_cast<void*>(InfoProcedure)},
                 {"bandwipe.vpx", reinterpret_cast<void*>(InfoVariant)}};
  for (const auto& plugin : plugins) {
    HeadlessModules::Module& module = f.modules.modules[plugin.file];
    module.exports["GetPluginInfo"] = plugin.info;
    if (std::string(plugin.file) == "fx.vpx") module.exports["ConfigurationDlg"] = reinterpret_cast<void*>(Configure);
    f.engine.plugins.list.Add("system", plugin.file);
  }
  const std::vector<PluginRow> rows = ListPlugins(f.engine.plugins.list, f.modules);
  ASSERT_EQ(rows.size(), 5u);
  const struct {
    const char* file;
    const char* tag;
    const char* description;
    int icon;
  } expected[] = {{"pic.spi", "00IN", "Picture loader", 1},
                  {"arc.spi", "00AM", "Archive", 2},
                  {"fx.vpx", "00ME", "効果の詰め合わせ", 3},
                  {"proc.vpx", "00MP", "", 4},
                  {"bandwipe.vpx", "00MX", "Stripes 1.20", 0}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].node, static_cast<int>(i));
    EXPECT_EQ(rows[i].fileName, expected[i].file);
    EXPECT_EQ(rows[i].tag, expected[i].tag);
    EXPECT_EQ(rows[i].description, expected[i].description);
    EXPECT_EQ(rows[i].icon, expected[i].icon);
  }
  EXPECT_EQ(PluginConfigurationFunction(IDM_PLUGIN_CONFIG), 1);
  EXPECT_EQ(PluginConfigurationFunction(IDM_PLUGIN_ABOUT), 0);
  f.engine.plugins.list.CallConfigurationDlg(rows[2].node, nullptr, PluginConfigurationFunction(IDM_PLUGIN_ABOUT));
  EXPECT_EQ(configured, 0);
  // One without the export is left alone.
  EXPECT_EQ(f.engine.plugins.list.CallConfigurationDlg(rows[3].node, nullptr, 1), 0);
}

// --- after the sheet

bool ResumePosted(const ScriptFixture& g) {
  return std::find(g.window.posted.begin(), g.window.posted.end(), PostedMessage::Resume) != g.window.posted.end();
}

class SwitchedOffTest : public ::testing::Test {
protected:
  SwitchedOffTest() { f.engine.run.state = RunState::TextOutput; }
  RecordingMediaChannels media;
  ScriptFixture f{EngineSeams{.media = &media}};
};

TEST_F(SwitchedOffTest, SwitchingSoundEffectsOffDuringAWaitSoundResumesTheScript) {
  f.engine.run.state = RunState::SoundWait;
  f.engine.settings.enableSe = 0;
  f.window.dialogAnswers = {true};
  RunMenuCommand(f.engine, IDM_CONFIG);
  EXPECT_EQ(f.window.dialogs, std::vector<EngineDialog>{EngineDialog::Settings});
  EXPECT_EQ(media.calls, std::vector<std::string>{"stop wave"});
  EXPECT_TRUE(ResumePosted(f));
}

// Which channel stops is the frame driver's test; here, which waits end with it.
TEST_F(SwitchedOffTest, OnlyAWaitOnADeviceSwitchedOffEnds) {
  const struct {
    RunState wait;
    void (*off)(Settings&);
    std::vector<std::string> calls;
    bool resumes;
  } cases[] = {
      {RunState::TextOutput,
       [](Settings& s) {
         s.enableMidi = 0;
         s.enableCdda = 2;
         s.enableSe = 0;
         s.enableAvi = 0;
       },
       {"stop music", "stop cd", "stop wave", "close movie"},
       false},
      {RunState::MusicWait, [](Settings& s) { s.enableSe = 0; }, {"stop wave"}, false},
      {RunState::MusicWait, [](Settings& s) { s.enableMidi = 0; }, {"stop music"}, true},
      {RunState::CDWait, [](Settings& s) { s.enableCdda = 2; }, {"stop cd"}, true},
      {RunState::MovieWait, [](Settings& s) { s.enableAvi = 0; }, {"close movie"}, true},
  };
  for (const auto& c : cases) {
    RecordingMediaChannels channels;
    ScriptFixture g(EngineSeams{.media = &channels});
    g.engine.run.state = c.wait;
    c.off(g.engine.settings);
    StopDisabledMedia(g.engine);
    EXPECT_EQ(channels.calls, c.calls) << static_cast<int>(c.wait);
    if (c.resumes) {
      EXPECT_EQ(g.window.posted.size(), 1u) << static_cast<int>(c.wait);
    } else {
      EXPECT_FALSE(ResumePosted(g)) << static_cast<int>(c.wait);
      EXPECT_EQ(g.engine.run.state, c.wait);
    }
  }
}

TEST_F(SwitchedOffTest, AVoiceOfTheTextStopsAndItsPageGoesOn) {
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.voicePending = true;
  f.engine.settings.enableVoice = 0;
  StopDisabledMedia(f.engine);
  EXPECT_EQ(media.calls, std::vector<std::string>{"stop wave"});
  EXPECT_FALSE(f.engine.run.voicePending);
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);

  // With the wave channel off the voice stops with it, also behind a hidden message window.
  RecordingMediaChannels channels;
  ScriptFixture g(EngineSeams{.media = &channels});
  g.engine.run.state = RunState::MessageHidden;
  g.engine.run.savedState = RunState::VoiceWait;
  g.engine.run.voicePending = true;
  g.engine.settings.enableSe = 2;
  StopDisabledMedia(g.engine);
  EXPECT_EQ(channels.calls, std::vector<std::string>{"stop wave"});
  EXPECT_EQ(g.engine.run.savedState, RunState::TextOutput);
  EXPECT_EQ(g.engine.run.state, RunState::MessageHidden);
}

TEST(SwitchedOffWithoutMediaTest, AWaitEndsEvenWithoutMediaChannels) {
  ScriptFixture f;
  f.engine.run.state = RunState::CDWait;
  f.engine.settings.enableCdda = 0;
  StopDisabledMedia(f.engine);
  EXPECT_EQ(f.window.posted.size(), 1u);
}

} // namespace
} // namespace velmo
