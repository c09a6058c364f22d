// The bookmark commands as scripts use them: the entries NAME builds, the snapshot, the bookmark
// number and READONLY, resuming a loaded bookmark, and the faults that are refused.
#include "engine/commands/save_commands.h"

#include "engine/base/nibbles.h"
#include "engine/core/interpreter.h"
#include "engine/save/save_data.h"
#include "tests/support/script_errors.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

class SaveCommandTest : public ::testing::Test {
protected:
  SaveCommandTest() { f.clock.localTime = LocalTime{2024, 12, 7, 13, 5, 0}; }

  // Plays "main.scn" from its start until the engine idles.
  void Play(const std::vector<std::string>& lines) {
    f.AddScenario("main.scn", lines);
    f.Open("main.scn");
    f.Resume();
    f.RunUntilIdle();
  }
  // The errors reported, as Error() and Fatal() write them.
  std::vector<std::string> Errors() const {
    std::vector<std::string> raised;
    for (const ScriptFixture::ReportedError& e : f.errors)
      raised.push_back(e.fatal ? Fatal(e.code, e.info) : Error(e.code, e.info));
    return raised;
  }
  std::vector<std::string> SaveFiles() const {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : f.files.files) {
      if (name.rfind("system\\save", 0) == 0) names.push_back(name);
    }
    return names;
  }

  ScriptFixture f;
};

TEST_F(SaveCommandTest, EntriesBuiltFromName) {
  struct Case {
    const char* name;
    const char* entry;
  };
  const Case cases[] = {
      {"other.scn#start", "other.scn#start"},
      {"other.scn", "other.scn"},
      {"#label", "main.scn#label"},
      {"\"#\"", "main.scn#here"},
      {"", "main.scn#here"},
      {"NAME=", "main.scn#here"},
      // Escapes are restored as in every jump target.
      {"cg\\\\a.scn#x", "cg\\a.scn#x"},
  };
  for (const Case& c : cases) {
    ScriptFixture g;
    g.AddScenario("main.scn", {"// here", std::string("@SetTitleEntry ") + c.name,
                               "@SetBookmarkEntry " + std::string(c.name), "@Wait"});
    g.Open("main.scn");
    g.Resume();
    EXPECT_TRUE(g.errors.empty()) << c.name;
    EXPECT_EQ(g.Var("sysTitleEntry"), c.entry) << c.name;
    EXPECT_EQ(g.Var("save[3]"), c.entry) << c.name;
  }
}

TEST_F(SaveCommandTest, SetBookmarkEntrySnapshotsEveryValueWithTheEntryAndComment) {
  for (int k = 1; k <= SaveValueCount; ++k)
    f.engine.script.variables.SetVarText(ValueName("save", k), std::to_string(k * 7));
  Play({"// here", "@SetBookmarkEntry COMMENT=はじめ", "@Let save[256] = changed", "@SetBookmarkEntry #x \"\"",
        "@Wait"});
  EXPECT_EQ(f.Var("__save[2]"), "はじめ");
  EXPECT_EQ(f.Var("__save[3]"), "main.scn#x");
  EXPECT_EQ(f.Var("__save[1]"), "7");
  EXPECT_EQ(f.Var("__save[255]"), "1785");
  EXPECT_EQ(f.Var("__save[256]"), "changed");
}

TEST_F(SaveCommandTest, AnEntryTooLongForAVariableIsRefusedBeforeAnythingChanges) {
  const std::string file(59, 'f');
  Play({"@Let save[3] = old", "@SetBookmarkEntry " + file + ".scn#label", "@SetTitleEntry " + file + ".scn#label",
        "@Wait"});
  EXPECT_EQ(Errors(),
            (std::vector<std::string>{Error(ErrRange, file + ".scn#label"), Error(ErrRange, file + ".scn#label")}));
  EXPECT_EQ(f.Var("save[3]"), "old");
  EXPECT_EQ(f.Var("__save[3]"), "");
  EXPECT_EQ(f.Var("sysTitleEntry"), "");
  // 63 bytes fit.
  RunScenario(f.engine, ("@SetBookmarkEntry " + file + ".s#l").c_str());
  EXPECT_EQ(f.Var("__save[3]"), file + ".s#l");
}

TEST_F(SaveCommandTest, SaveBookmarkWritesTheSnapshotUnderItsNumber) {
  Play({"// here", "@Let save[4] = data", "@SetBookmarkEntry", "@SaveBookmark 12", "@Let __save[4] = again",
        "@SaveBookmark", "@SaveBookmark BOOKMARK=100 READONLY", "@SaveBookmark 7 READONLY=1",
        "@SaveBookmark 8 x READONLY", "@Wait"});
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(SaveFiles(), (std::vector<std::string>{"system\\save07.dat", "system\\save08.dat", "system\\save100.dat",
                                                   "system\\save12.dat"}));
  EXPECT_EQ(f.Var("sysCurBookmark"), "8");
  // Without a number, the bookmark last used.
  f.engine.saveData.LoadBookmark(12);
  EXPECT_EQ(f.Var("save[4]"), "again");
  EXPECT_EQ(f.Var("save[3]"), "main.scn#here");
  // READONLY marks a bookmark only as a bare word after the number.
  auto mark = [&](const char* file) { return SwapNibbles(f.files.files[file][0]); };
  EXPECT_EQ(mark("system\\save100.dat"), 1);
  EXPECT_EQ(mark("system\\save07.dat"), 2);
  EXPECT_EQ(mark("system\\save08.dat"), 1);
}

// Bookmark 0 is the memo file and nothing below it is a file: such a number touches no file.
TEST_F(SaveCommandTest, BookmarkNumbersOfZeroOrBelowAreRefused) {
  Play({"@SaveBookmark", "@LoadBookmark", "@SaveBookmark READONLY", "@SaveBookmark -1", "@LoadBookmark 0 MODE=RESUME",
        "@Let sysCurBookmark = -3", "@SaveBookmark", "@Wait"});
  EXPECT_EQ(Errors(), (std::vector<std::string>{Error(ErrRange, "sysCurBookmark"), Error(ErrRange, "sysCurBookmark"),
                                                Error(ErrRange, "READONLY"), Error(ErrRange, "-1"),
                                                Error(ErrRange, "0"), Error(ErrRange, "sysCurBookmark")}));
  EXPECT_TRUE(SaveFiles().empty());
}

TEST_F(SaveCommandTest, ASaveThatCannotBeWrittenIsAnErrorNamingTheFile) {
  f.files.readOnly.push_back("system\\save03.dat");
  Play({"@SaveBookmark 3", "@Wait"});
  EXPECT_EQ(Errors(), std::vector<std::string>{Error(ErrFileIO, "system\\save03.dat")});
  EXPECT_EQ(f.Var("sysCurBookmark"), "");
}

TEST_F(SaveCommandTest, LoadBookmarkGoesOnOrResumesAtTheEntry) {
  f.AddScenario("scene.scn", {"skipped", "// back", "resumed $save[4]", "@Wait"});
  Play({"@Let save[4] = kept", "@SetBookmarkEntry scene.scn#back", "@SaveBookmark 2", "@Let save[4] = changed",
        "@LoadBookmark 2", "loaded $save[4]", "@OnEvent USER_CLICK GOTO #x", "@LoadBookmark 2 MODE=resume", "not run"});
  EXPECT_EQ(f.texts, (std::vector<std::string>{"loaded kept", "resumed kept"}));
  EXPECT_EQ(f.engine.script.Scenario().fileName, "scene.scn");
  EXPECT_FALSE(f.engine.script.EventSet(UserClick));
}

TEST_F(SaveCommandTest, AnEmptyEntryRestartsAtTheStartupScenario) {
  f.AddScenario(StartupScenario, {"started again", "@Wait"});
  Play({"@LoadBookmark 9 MODE=RESUME", "not run"});
  EXPECT_EQ(f.files.files["system\\save09.dat"], std::string(SaveValueCount, '\0'));
  EXPECT_EQ(f.texts, std::vector<std::string>{"started again"});

  // The title entry, never set: the menus' return to the title.
  f.texts.clear();
  ReturnToTitle(f.engine);
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, std::vector<std::string>{"started again"});
}

} // namespace
} // namespace velmo
