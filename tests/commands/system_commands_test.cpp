// The system commands as scripts use them: the window's title and cursor, the menu flags, the
// boxes and posted commands of @CallDialog with their defaults and results, and starting outside
// programs and plug-in procedures behind the safety question.
#include "engine/commands/system_commands.h"

#include "engine/core/script_observer.h"
#include "engine/resources/resource_ids.h"
#include "plugins/include/velmo_plugin.h"
#include "tests/support/script_errors.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

class SystemCommandTest : public ::testing::Test {
protected:
  // Plays "main.scn" from its start until the engine idles.
  static void PlayIn(ScriptFixture& g, const std::vector<std::string>& lines) {
    g.AddScenario("main.scn", lines);
    g.Open("main.scn");
    g.Resume();
  }
  void Play(const std::vector<std::string>& lines) { PlayIn(f, lines); }

  ScriptFixture f;
};

TEST_F(SystemCommandTest, SetWindowAppliesEachParameterInOrder) {
  f.window.loadableCursorFiles = {"pen.cur"};
  Play({"@SetWindow TITLE=第一話 CURSOR=pen.cur", "@Wait"});
  EXPECT_EQ(f.window.title, "第一話 - VELMO");
  EXPECT_EQ(f.window.cursor, CursorChoice::File);

  struct Case {
    const char* line;
    CursorChoice cursor;
  };
  const Case cases[] = {
      {"@SetWindow CURSOR=default", CursorChoice::Program},
      {"@SetWindow CURSOR=SYSTEM", CursorChoice::Arrow},
      // A file that gives no cursor leaves the program's own.
      {"@SetWindow CURSOR=missing.cur", CursorChoice::Program},
      // Written last, the arrow wins.
      {"@SetWindow CURSOR=DEFAULT MODE=anything CURSOR=SYSTEM", CursorChoice::Arrow},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    PlayIn(g, {"@SetWindow TITLE=残す", c.line, "@SetWindow TITLE=", "@Wait"});
    EXPECT_EQ(g.window.cursor, c.cursor) << c.line;
    // An empty title changes nothing.
    EXPECT_EQ(g.window.title, "残す - VELMO") << c.line;
  }
}

TEST_F(SystemCommandTest, EnableMenuGraysOnlyForFalse) {
  struct Case {
    const char* line;
    bool runsFromCd;
    MenuStates expected;
  };
  const MenuStates all;
  const Case cases[] = {
      {"@EnableMenu LOAD=FALSE", false, {.loadEnabled = false}},
      {"@EnableMenu SKIPNEXT=false ERASEMESSAGE=False",
       false,
       {.eraseMessageEnabled = false, .skipNextEnabled = false}},
      // A bare keyword and any other value enable.
      {"@EnableMenu LOAD=FALSE LOAD", false, all},
      {"@EnableMenu SAVE=FALSE SAVE=no", false, all},
      {"@EnableMenu SAVE=FALSE", false, {.saveEnabled = false}},
      // A game on a CD cannot be saved: SAVE stays grayed.
      {"@EnableMenu SAVE", true, {.saveEnabled = false}},
      {"@EnableMenu UNKNOWN=FALSE", false, all},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    g.engine.runsFromCd = c.runsFromCd;
    if (c.runsFromCd) g.engine.menus.saveEnabled = false;
    PlayIn(g, {c.line, "@Wait"});
    EXPECT_EQ(g.engine.menus, c.expected) << c.line;
    EXPECT_EQ(g.window.menus, c.expected) << c.line;
    EXPECT_EQ(g.window.menusShown, 1) << c.line;
  }
}

TEST_F(SystemCommandTest, CallDialogPostsTheEngineDialogsForLater) {
  struct Case {
    const char* line;
    std::vector<PostedMessage> posted;
    std::vector<int> ids;
  };
  const Case cases[] = {
      {"@CallDialog LOAD", {PostedMessage::Command}, {IDM_LOAD}},
      {"@CallDialog MODE=save", {PostedMessage::Command}, {IDM_SAVE}},
      {"@CallDialog CONFIG", {PostedMessage::Command}, {IDM_CONFIG}},
      {"@CallDialog TITLE", {PostedMessage::Command}, {IDM_TITLE}},
      {"@CallDialog TITLE NOASK", {PostedMessage::Command}, {IDM_TITLE_NOASK}},
      {"@CallDialog EXIT", {PostedMessage::Command}, {IDM_EXIT}},
      {"@CallDialog EXIT NOASK", {PostedMessage::Shutdown}, {}},
      {"@CallDialog UNKNOWN", {}, {}},
      {"@CallDialog", {}, {}},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    PlayIn(g, {c.line, "after", "@Wait"});
    // Nothing is asked or opened while the script runs; the line after still runs.
    EXPECT_TRUE(g.window.messageBoxes.empty()) << c.line;
    EXPECT_EQ(g.texts, std::vector<std::string>{"after"}) << c.line;
    std::vector<PostedMessage> posted(g.window.posted.begin(), g.window.posted.end());
    std::erase(posted, PostedMessage::Resume);
    EXPECT_EQ(posted, c.posted) << c.line;
    EXPECT_EQ(std::vector<int>(g.window.commandIds.begin(), g.window.commandIds.end()), c.ids) << c.line;
  }
}

TEST_F(SystemCommandTest, CallDialogBoxesWithTheirDefaultsAndResults) {
  f.window.answers = {MessageAnswer::Yes, MessageAnswer::No};
  Play({"@CallDialog OK", "@CallDialog YESNO PARAM=\"続けますか？,二\"", "@Let a = $exit", "@CallDialog YESNO",
        "@Wait"});
  ASSERT_EQ(f.window.messageBoxes.size(), 3u);
  EXPECT_EQ(f.window.messageBoxes[0].text, "確認");
  EXPECT_EQ(f.window.messageBoxes[0].caption, "VELMO");
  EXPECT_EQ(f.window.messageBoxes[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(f.window.messageBoxes[0].icon, MessageIcon::Information);
  EXPECT_EQ(f.window.messageBoxes[1].text, "続けますか？");
  EXPECT_EQ(f.window.messageBoxes[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(f.window.messageBoxes[1].icon, MessageIcon::Question);
  EXPECT_EQ(f.Var("a"), "1");
  EXPECT_EQ(f.window.messageBoxes[2].text, "確認");
  EXPECT_EQ(f.Var("exit"), "0");
  EXPECT_EQ(f.Var("argv[1]"), "確認");
  EXPECT_EQ(f.Var("argv[2]"), "二"); // the defaults set argv[1] only
}

TEST_F(SystemCommandTest, CallDialogTextKeepsTheEditedTextEvenWhenCancelled) {
  struct Case {
    const char* line;
    HeadlessWindow::TextAnswer answer;
    HeadlessWindow::TextDialogCall asked;
    const char* argv1;
    const char* exit;
  };
  const std::string longAnswer = std::string(62, 'a') + "漢字";
  const Case cases[] = {
      {"@CallDialog TEXT", {true, "入力"}, {"VELMO", "値を入力して下さい", ""}, "入力", "1"},
      {"@CallDialog TEXT PARAM=\"太郎,名前は？,名前\"",
       {false, "次郎"},
       {"名前 - VELMO", "名前は？", "太郎"},
       "次郎",
       "0"},
      // At most 63 bytes come back, never half a character.
      {"@CallDialog TEXT", {true, longAnswer}, {"VELMO", "値を入力して下さい", ""}, "", "1"},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    g.window.textAnswers = {c.answer};
    PlayIn(g, {"@Let argv[3] = old", c.line, "@Wait"});
    ASSERT_EQ(g.window.textDialogs.size(), 1u) << c.line;
    EXPECT_EQ(g.window.textDialogs[0].title, c.asked.title) << c.line;
    EXPECT_EQ(g.window.textDialogs[0].prompt, c.asked.prompt) << c.line;
    EXPECT_EQ(g.window.textDialogs[0].text, c.asked.text) << c.line;
    const std::string expected = c.argv1[0] != '\0' ? c.argv1 : std::string(62, 'a');
    EXPECT_EQ(g.Var("argv[1]"), expected) << c.line;
    EXPECT_EQ(g.Var("exit"), c.exit) << c.line;
  }
}

TEST_F(SystemCommandTest, CallDialogMixerIsNotOpenedOverAFullScreenWithItsOwnMode) {
  for (const std::int32_t changeDisplayMode : {0, 1}) {
    for (const std::int32_t fullScreen : {0, 1, 2}) {
      ScriptFixture g;
      g.engine.settings.fullScreen = fullScreen;
      g.engine.settings.changeDisplayMode = changeDisplayMode;
      PlayIn(g, {"@CallDialog MIXER", "@Wait"});
      EXPECT_EQ(g.window.volumeControlsOpened, fullScreen == 1 && changeDisplayMode != 0 ? 0 : 1)
          << fullScreen << " " << changeDisplayMode;
    }
  }
}

TEST_F(SystemCommandTest, ShellExecResultsAndTheSafetyQuestion) {
  struct Case {
    const char* line;
    std::int32_t nativeCode;
    MessageAnswer question;
    int result;
    std::size_t calls;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"@ShellExec readme.txt", 0, MessageAnswer::Yes, 33, 1, {}},
      {"@ShellExec readme.txt", 0, MessageAnswer::Yes, 2, 1, {Error(ErrFileNotFound, "無し")}},
      {"@ShellExec readme.txt", 0, MessageAnswer::Yes, 11, 1, {Error(ErrBadFormat, "無し")}},
      {"@ShellExec readme.txt", 0, MessageAnswer::Yes, 32, 1, {Error(ErrInternal, "無し")}},
      {"@ShellExec readme.txt", 1, MessageAnswer::Yes, 42, 1, {}},
      // Declined: nothing is started and nothing is reported.
      {"@ShellExec readme.txt", 1, MessageAnswer::No, 2, 0, {}},
      {"@ShellExec", 1, MessageAnswer::Yes, 42, 0, {}},
      // Parameters without a program: the program is missing.
      {"@ShellExec PARAM=/s", 1, MessageAnswer::Yes, 42, 0, {Error(ErrFileNotFound, "無し")}},
      // An empty program is started and fails as the system answers.
      {"@ShellExec \"\"", 0, MessageAnswer::Yes, 2, 1, {Error(ErrFileNotFound, "無し")}},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    g.engine.settings.nativeCode = c.nativeCode;
    g.window.shellResult = c.result;
    g.window.answers = {c.question};
    g.engine.script.variables.SetVarText("sysCurPath", "C:\\game\\");
    PlayIn(g, {c.line, "@Wait"});
    EXPECT_EQ(g.window.shellCalls.size(), c.calls) << c.line;
    std::vector<std::string> raised;
    for (const ScriptFixture::ReportedError& e : g.errors) raised.push_back(Error(e.code, e.info));
    EXPECT_EQ(raised, c.errors) << c.line;
  }
}

TEST_F(SystemCommandTest, ShellExecAsksWithEverythingTheProgramGets) {
  f.engine.settings.nativeCode = 1;
  f.window.answers = {MessageAnswer::Yes};
  f.window.shellResult = 42;
  f.engine.script.variables.SetVarText("sysCurPath", "C:\\game\\");
  Play({"@ShellExec notes\\\\read.txt PARAM=\"/a /b\"", "@Wait"});
  // The question's wording is the error log's test; here, that it names what is started.
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_NE(f.window.messageBoxes[0].text.find("notes\\read.txt /a /b"), std::string::npos);
  ASSERT_EQ(f.window.shellCalls.size(), 1u);
  EXPECT_EQ(f.window.shellCalls[0].file, "notes\\read.txt");
  EXPECT_EQ(f.window.shellCalls[0].parameters, "/a /b");
  EXPECT_EQ(f.window.shellCalls[0].folder, "C:\\game\\");
}

// A plug-in with one user procedure, GREET, which answers through `exit` and argv[2].
int greetCalls = 0;
int VELMO_STDCALL TagUserProc(int number, char* buffer, int length) {
  if (number != 0 || length < 5) return 0;
  std::memcpy(buffer, VELMO_TAG_USERPROC, 5);
  return 4;
}
int VELMO_STDCALL UserProcedures(int index, EffectInfo* out) {
  if (index != 0) return 0;
  out->name = "GREET";
  out->functionName = "Greet";
  return 1;
}
int VELMO_STDCALL Greet(void* argument) {
  ++greetCalls;
  auto* block = static_cast<EffectBlock*>(argument);
  std::strcpy(reinterpret_cast<char*>(block->frameCounter), "hello");
  std::strcpy(reinterpret_cast<char*>(block->params[1]), reinterpret_cast<const char*>(block->params[0]));
  return 0;
}

TEST_F(SystemCommandTest, UserProcCallsTheProcedureOnceAllowed) {
  struct Case {
    std::int32_t nativeCode;
    MessageAnswer question;
    int calls;
    const char* exit;
    const char* argv2;
  };
  const Case cases[] = {
      {0, MessageAnswer::No, 1, "hello", "a"},
      {1, MessageAnswer::Yes, 1, "hello", "a"},
      // Declined: the variables are left as they were.
      {1, MessageAnswer::No, 0, "kept", "old"},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    auto& exports = g.modules.modules["up.vpx"].exports;
    exports["GetPluginInfo"] = reinterpret_cast<void*>(TagUserProc);
    exports["GetUserProcInfo"] = reinterpret_cast<void*>(UserProcedures);
    exports["Greet"] = reinterpret_cast<void*>(Greet);
    g.engine.plugins.list.Add("system", "up.vpx");
    g.engine.settings.nativeCode = c.nativeCode;
    g.window.answers = {c.question};
    greetCalls = 0;
    PlayIn(g, {"@Let exit = kept", "@Let argv[2] = old", "@UserProc GREET PARAM=a,b", "@Wait"});
    EXPECT_EQ(greetCalls, c.calls) << c.nativeCode;
    EXPECT_EQ(g.window.messageBoxes.size(), c.nativeCode != 0 ? 1u : 0u) << c.nativeCode;
    EXPECT_EQ(g.Var("exit"), c.exit) << c.nativeCode;
    EXPECT_EQ(g.Var("argv[2]"), c.argv2) << c.nativeCode;
  }
}

TEST_F(SystemCommandTest, UserProcWithoutSuchAProcedureDoesNothing) {
  f.engine.settings.nativeCode = 1;
  Play({"@Let exit = kept", "@UserProc NOSUCH PARAM=a,b", "@UserProc", "@Wait"});
  EXPECT_TRUE(f.window.messageBoxes.empty());
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.Var("exit"), "kept");
  EXPECT_EQ(f.Var("argv[1]"), "");
}

} // namespace
} // namespace velmo
