// The menu commands without a window: the skip toggle and its gray test, hiding the message window
// in every state, the questions and the jumps they guard, full screen and the window scale, the
// commands that arrive while something holds the script door, and the window's placement and
// display checks.
#include "engine/shell/menu_commands.h"

#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/resources/resource_ids.h"
#include "tests/support/script_fixture.h"
#include "tests/support/shell_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace velmo {
namespace {

TEST(MenuCommandTest, SkipNextTogglesWhereSkippingIsAllowed) {
  struct Case {
    const char* name;
    SkipMode skipMode;
    bool enabled;
    bool skipBefore;
    RunState state;
    RunState saved;
    bool skipAfter;
    RunState stateAfter;
  };
  const Case cases[] = {
      {"on", SkipMode::Text, true, false, RunState::TextOutput, RunState::NotStarted, true, RunState::TextOutput},
      {"off again", SkipMode::All, true, true, RunState::TextOutput, RunState::NotStarted, false, RunState::TextOutput},
      {"never with skipping off", SkipMode::Off, true, false, RunState::TextOutput, RunState::NotStarted, false,
       RunState::TextOutput},
      {"grayed", SkipMode::Text, false, false, RunState::ClickWait, RunState::NotStarted, false, RunState::ClickWait},
      // A page that waits for its click goes on at once.
      {"click wait", SkipMode::Text, true, false, RunState::ClickWait, RunState::NotStarted, true,
       RunState::TextOutput},
      // The hidden message window comes back, and its page goes on.
      {"hidden click wait", SkipMode::Text, true, false, RunState::MessageHidden, RunState::ClickWait, true,
       RunState::TextOutput},
      // A selection shown again waits for the player: the command's own click chooses nothing.
      {"hidden selection", SkipMode::Text, true, false, RunState::MessageHidden, RunState::SelectWait, true,
       RunState::SelectWait},
  };
  for (const Case& c : cases) {
    RecordingSelection selection;
    selection.choice = SelectionChoice{0, EntryKind::Jump, 0};
    ScriptFixture f(EngineSeams{.selection = &selection});
    f.engine.run.skipMode = c.skipMode;
    f.engine.menus.skipNextEnabled = c.enabled;
    f.engine.run.skipToOption = c.skipBefore;
    f.engine.run.state = c.state;
    f.engine.run.savedState = c.saved;
    RunMenuCommand(f.engine, IDM_SKIPNEXT);
    EXPECT_EQ(f.engine.run.skipToOption, c.skipAfter) << c.name;
    EXPECT_EQ(f.engine.run.state, c.stateAfter) << c.name;
    EXPECT_TRUE(selection.hits.empty()) << c.name;
  }
}

TEST(MenuCommandTest, EraseMessageHidesAndRestoresEveryState) {
  for (int s = static_cast<int>(RunState::NotStarted); s < static_cast<int>(RunState::MessageHidden); ++s) {
    const auto state = static_cast<RunState>(s);
    ScriptFixture f;
    f.engine.run.state = state;
    RunMenuCommand(f.engine, IDM_ERASEMESSAGE);
    const bool transition = state == RunState::TransitionStep || state == RunState::TransitionLast;
    // A running transition is only painted again.
    EXPECT_EQ(f.engine.run.state, transition ? state : RunState::MessageHidden) << s;
    RunMenuCommand(f.engine, IDM_ERASEMESSAGE);
    EXPECT_EQ(f.engine.run.state, state) << s;
    EXPECT_EQ(f.window.repaints, 2) << s;
  }
}

// A game whose title is reached by the menus, waiting on its first page.
class MenuJumpTest : public ::testing::Test {
protected:
  static void Start(ScriptFixture& g) {
    g.AddScenario("main.scn",
                  {"@SetTitleEntry \"#title\"", "first page", "second page", "// title", "title page", "@Wait"});
    g.Open("main.scn");
    g.Resume();
  }
  MenuJumpTest() { Start(f); }
  ScriptFixture f;
};

TEST_F(MenuJumpTest, TheQuestionsGuardLeavingAndReturningToTheTitle) {
  struct Case {
    int id;
    MessageAnswer answer;
    std::size_t boxes;
    bool shutdown;
    const char* shown;
  };
  const Case cases[] = {
      {IDM_EXIT, MessageAnswer::No, 1, false, "first page"},
      {IDM_EXIT, MessageAnswer::Yes, 1, true, "first page"},
      {IDM_TITLE, MessageAnswer::No, 1, false, "first page"},
      {IDM_TITLE, MessageAnswer::Yes, 1, false, "title page"},
      {IDM_TITLE_NOASK, MessageAnswer::No, 0, false, "title page"},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    Start(g);
    g.window.answers = {c.answer};
    RunMenuCommand(g.engine, c.id);
    const bool shutdown =
        std::find(g.window.posted.begin(), g.window.posted.end(), PostedMessage::Shutdown) != g.window.posted.end();
    EXPECT_EQ(shutdown, c.shutdown) << c.id;
    if (!shutdown) g.driver.DispatchOne();
    EXPECT_EQ(g.texts.back(), c.shown) << c.id;
    ASSERT_EQ(g.window.messageBoxes.size(), c.boxes) << c.id;
    if (c.boxes == 0) continue;
    const HeadlessWindow::MessageBoxCall& box = g.window.messageBoxes[0];
    EXPECT_EQ(box.buttons, MessageButtons::YesNo);
    if (c.id == IDM_EXIT) {
      EXPECT_EQ(box.text, "シナリオを中断してＶＥＬＭＯを終了します.\nよろしいですか？");
      EXPECT_EQ(box.caption, "プログラムの終了 - VELMO");
      EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    } else {
      EXPECT_EQ(box.text, "シナリオを中断してタイトル画面に戻ります.\nよろしいですか？");
      EXPECT_EQ(box.caption, "タイトルに戻る - VELMO");
      EXPECT_EQ(box.icon, MessageIcon::Question);
    }
  }
}

TEST_F(MenuJumpTest, LoadResumesAtTheLoadedBookmarksEntry) {
  f.engine.script.variables.SetVarText("save[3]", "main.scn#title");
  f.window.dialogAnswers = {false, true};
  RunMenuCommand(f.engine, IDM_LOAD); // closed without loading
  EXPECT_TRUE(f.window.posted.empty());
  RunMenuCommand(f.engine, IDM_LOAD);
  f.driver.DispatchOne();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"first page", "title page"}));
  EXPECT_EQ(f.window.dialogs, (std::vector<EngineDialog>{EngineDialog::LoadBookmark, EngineDialog::LoadBookmark}));
}

TEST_F(MenuJumpTest, CommandsWaitWhileSomethingHoldsTheDoor) {
  f.window.answers = {MessageAnswer::Yes};
  {
    const ScriptDoor::Hold box(f.engine.door);
    f.window.PostCommand(IDM_TITLE);
    EXPECT_EQ(f.driver.DispatchOne(), HeadlessDriver::Dispatched::Held);
    EXPECT_TRUE(f.window.messageBoxes.empty());
  }
  // Delivered once the door is free.
  EXPECT_EQ(f.window.messageBoxes.size(), 1u);
  f.RunUntilIdle(1);
  EXPECT_EQ(f.texts.back(), "title page");
}

TEST(MenuCommandTest, FullScreenTogglesAndKeepsTheOldLayoutWhenItFails) {
  struct Case {
    std::int32_t before;
    bool works;
    std::int32_t after;
    std::vector<int> layouts;
  };
  const Case cases[] = {
      {0, true, 1, {1}},
      {1, true, 0, {0}},
      {2, true, 2, {2}},
      {0, false, 0, {1}},
  };
  for (const Case& c : cases) {
    ScriptFixture f;
    f.engine.settings.fullScreen = c.before;
    f.window.displayLayoutWorks = c.works;
    RunMenuCommand(f.engine, IDM_FULLSCREEN);
    EXPECT_EQ(f.engine.settings.fullScreen, c.after) << c.before;
    EXPECT_EQ(f.window.layouts, c.layouts) << c.before;
  }
}

TEST(MenuCommandTest, TheWindowScaleIsKeptCheckedAndLaysOutAWindowAtOnce) {
  struct Case {
    int id;
    std::int32_t fullScreen;
    bool enabled;
    std::int32_t scale;       // in the settings and checked afterwards
    std::vector<int> layouts; // the layouts asked of the window
  };
  const Case cases[] = {
      {IDM_WINDOW_X2, 0, true, 2, {0}},
      {IDM_WINDOW_X3, 0, true, 3, {0}},
      {IDM_WINDOW_X1, 0, true, 1, {0}},
      // A full screen keeps its picture; the scale serves when it becomes a window.
      {IDM_WINDOW_X2, 1, true, 2, {}},
      // A screen with no room for a window grays the items: nothing changes.
      {IDM_WINDOW_X3, 2, false, 1, {}},
  };
  for (const Case& c : cases) {
    ScriptFixture f;
    f.engine.settings.fullScreen = c.fullScreen;
    ApplySettingsToMenus(f.engine, {.grayFullScreenCommand = !c.enabled});
    ASSERT_TRUE(IsMenuCommand(c.id));
    RunMenuCommand(f.engine, c.id);
    EXPECT_EQ(f.engine.settings.windowScale, c.scale) << c.id << " " << c.fullScreen;
    EXPECT_EQ(f.window.menus.windowScale, c.scale) << c.id << " " << c.fullScreen;
    EXPECT_EQ(f.window.layouts, c.layouts) << c.id << " " << c.fullScreen;
  }
  // The scale of the settings file is checked at start.
  ScriptFixture f;
  f.engine.settings.windowScale = 3;
  ApplySettingsToMenus(f.engine, {});
  EXPECT_EQ(f.window.menus.windowScale, 3);
}

TEST(MenuCommandTest, DialogsAndTheScenariosAboutFile) {
  ScriptFixture f;
  f.engine.settings.aboutThisScenario = "doc\\about.html";
  f.engine.script.variables.SetVarText("sysCurPath", "C:\\game\\");
  for (const int id : {IDM_CONFIG, IDM_ABOUT, IDM_SAVE, IDM_ABOUTSCENARIO, 40002}) RunMenuCommand(f.engine, id);
  EXPECT_EQ(f.window.dialogs,
            (std::vector<EngineDialog>{EngineDialog::Settings, EngineDialog::About, EngineDialog::SaveBookmark}));
  ASSERT_EQ(f.window.shellCalls.size(), 1u);
  EXPECT_EQ(f.window.shellCalls[0].file, "C:\\game\\doc\\about.html");
  EXPECT_FALSE(IsMenuCommand(40002));
  EXPECT_FALSE(IsMenuCommand(IDM_CAPTURE)); // the window's own
}

TEST(MenuCommandTest, NothingRunsOnceTheEngineIsEnding) {
  ScriptFixture f;
  f.engine.run.state = RunState::Terminating;
  for (const int id : {IDM_EXIT, IDM_TITLE, IDM_ERASEMESSAGE, IDM_SKIPNEXT, IDM_CONFIG}) RunMenuCommand(f.engine, id);
  EXPECT_TRUE(f.window.messageBoxes.empty());
  EXPECT_TRUE(f.window.dialogs.empty());
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
}

TEST(MenuCommandTest, SettingsSetTheMenusAtStart) {
  struct Case {
    SettingsEffects effects;
    bool runsFromCd;
    MenuStates expected;
  };
  const Case cases[] = {
      {{}, false, {}},
      {{.enableAboutScenario = true}, false, {.aboutScenarioEnabled = true}},
      {{.grayFullScreenCommand = true}, false, {.fullScreenEnabled = false, .windowScaleEnabled = false}},
      {{}, true, {.saveEnabled = false}},
  };
  for (const Case& c : cases) {
    ScriptFixture f;
    f.engine.runsFromCd = c.runsFromCd;
    ApplySettingsToMenus(f.engine, c.effects);
    EXPECT_EQ(f.engine.menus, c.expected);
    EXPECT_EQ(f.window.menus, c.expected);
  }
}

// Which action a setting and a layout pick is the frame driver's test; here, the command each posts.
TEST(MenuCommandTest, TheRightButtonsCommandForEachAction) {
  const std::pair<RightClickAction, int> cases[] = {
      {RightClickAction::None, 0},
      {RightClickAction::SkipToOption, IDM_SKIPNEXT},
      {RightClickAction::EraseMessage, IDM_ERASEMESSAGE},
      {RightClickAction::Config, IDM_CONFIG},
      {RightClickAction::Capture, IDM_CAPTURE},
      {RightClickAction::CaptureAuto, IDM_CAPTURE_AUTO},
      // The pop-up's items post their own commands.
      {RightClickAction::FullScreenMenu, 0},
  };
  for (const auto& [action, command] : cases) {
    EXPECT_EQ(RightButtonCommand(action), command) << static_cast<int>(action);
  }
}

TEST(WindowPlaceTest, WhereTheWindowGoes) {
  struct Case {
    int x;
    int y;
    WindowPlace expected;
  };
  // A 646 x 525 window on a work area of 1024 x 738 (a task bar of 30 pixels below).
  const Case cases[] = {
      {100, 50, {100, 50}},   {-1, -1, {189, 106}}, // the default centres
      {-5, 50, {189, 106}},                         // off to the left
      {378, 213, {378, 213}},                       // touches the right and bottom edges
      {379, 50, {189, 106}},                        // past the right edge
      {100, 214, {189, 106}},                       // past the bottom edge
  };
  for (const Case& c : cases) {
    const WindowPlace place = PlaceWindow(646, 525, c.x, c.y, 0, 0, 1024, 738);
    EXPECT_EQ(place.x, c.expected.x) << c.x << "," << c.y;
    EXPECT_EQ(place.y, c.expected.y) << c.x << "," << c.y;
  }
  // A window larger than the work area is centred at a negative position, rounded toward zero.
  const WindowPlace large = PlaceWindow(646, 525, 0, 0, 0, 0, 640, 480);
  EXPECT_EQ(large.x, -3);
  EXPECT_EQ(large.y, -22);
}

TEST(DisplayTest, TheFullScreenModeAndTheColourCheck) {
  EXPECT_EQ(FindFullScreenMode({{800, 600, 32}, {640, 480, 8}, {640, 480, 32}}), 1);
  EXPECT_EQ(FindFullScreenMode({{800, 600, 32}, {640, 400, 32}}), -1);
  EXPECT_EQ(FindFullScreenMode({}), -1);

  struct Case {
    bool palette;
    int numColors;
    int colorResolution;
    DisplayColors expected;
  };
  const Case cases[] = {
      {false, -1, 24, DisplayColors::Enough},   {false, -1, 0, DisplayColors::Enough},
      {false, -1, 16, DisplayColors::Doubtful}, {false, 256, 24, DisplayColors::TooFew},
      {false, 0, 24, DisplayColors::TooFew},    {true, -1, 24, DisplayColors::TooFew},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeDisplayColors(c.palette, c.numColors, c.colorResolution), c.expected)
        << c.palette << " " << c.numColors << " " << c.colorResolution;
  }
}

} // namespace
} // namespace velmo
