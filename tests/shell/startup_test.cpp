#include "engine/shell/startup.h"

#include "engine/save/read_record.h"
#include "engine/save/save_data.h"
#include "engine/script/error_log.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace velmo {
namespace {

int VELMO_STDCALL GoodPluginInfo(int number, char* buffer, int length) {
  if (number != 0 || length < 5) return 0;
  std::memcpy(buffer, "00ME", 5);
  return 4;
}

TEST(StartEngineTest, PluginsThatCannotLoadAreLoggedAfterTheHeaderWithoutAQuestion) {
  ScriptFixture f;
  f.files.files["system\\broken.vpx"] = "not a module";
  f.files.files["system\\good.vpx"] = "";
  f.files.files["system\\startup.scx"] = "";
  f.modules.modules["good.vpx"].exports["GetPluginInfo"] = reinterpret_cast<void*>(&GoodPluginInfo);

  ASSERT_EQ(CreateEngineObjects(f.engine, "system"), nullptr);
  StartEngine(f.engine, "C:\\game\\", "C:\\temp\\VELMO\\");

  ASSERT_EQ(f.engine.plugins.list.LastIndex(), 0);
  EXPECT_EQ(f.engine.plugins.list.Node(0).fileName, "good.vpx");
  const std::string& log = f.files.files[ErrorLogPath];
  const std::size_t header = log.find("実行開始： ");
  const std::size_t record = log.find(
      "エラー内容： 無効なファイル形式です．\r\nファイル： \r\n発生箇所： 0行目 ()\r\n追加情報： broken.vpx\r\n");
  ASSERT_NE(header, std::string::npos);
  ASSERT_NE(record, std::string::npos);
  EXPECT_LT(header, record);
  EXPECT_TRUE(f.window.messageBoxes.empty());
  EXPECT_TRUE(f.engine.plugins.loadFailures.empty());
  EXPECT_EQ(f.Var("velSystemVer"), "1.07");
  EXPECT_EQ(f.Var("sysCurPath"), "C:\\game\\");
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Resume});
}

TEST(StartEngineTest, FlashbackSurfacesFollowTheSettings) {
  ScriptFixture f;
  f.engine.settings.maxFlashbackBuf = 3;
  EXPECT_EQ(CreateEngineObjects(f.engine, "system"), nullptr);
  EXPECT_EQ(f.engine.screen.flashback.Capacity(), 3);
  f.engine.settings.maxFlashbackBuf = -2;
  EXPECT_EQ(CreateEngineObjects(f.engine, "system"), nullptr);
  EXPECT_EQ(f.engine.screen.flashback.Capacity(), 0);
}

// The memo values of one run are there in the next: loaded at start-up (the file made empty the
// first time), saved at shutdown.
TEST(StartEngineTest, TheMemoComesFromTheLastRunAndGoesBackAtShutdown) {
  std::map<std::string, std::string, std::less<>> disk;
  {
    ScriptFixture first;
    StartEngine(first.engine, "C:\\game\\", "C:\\temp\\VELMO\\");
    EXPECT_EQ(first.files.files[MemoFileName], std::string(SaveValueCount, '\0'));
    first.engine.script.variables.SetVarText("memo[1]", "cleared");
    ShutdownEngine(first.engine);
    disk = first.files.files;
  }
  ScriptFixture second;
  second.files.files = disk;
  StartEngine(second.engine, "C:\\game\\", "C:\\temp\\VELMO\\");
  EXPECT_EQ(second.Var("memo[1]"), "cleared");
}

TEST(StartEngineTest, AMemoFileOrReadRecordThatCannotBeWrittenAtShutdownIsLogged) {
  for (const char* file : {MemoFileName, ReadRecordFileName}) {
    ScriptFixture f;
    StartEngine(f.engine, "C:\\game\\", "C:\\temp\\VELMO\\");
    f.engine.readRecord.TakeLine("a.scx", 10, 0);
    f.files.readOnly.push_back(file);
    ShutdownEngine(f.engine);
    const std::string& log = f.files.files[ErrorLogPath];
    const std::size_t record =
        log.find(std::string("エラー内容： ファイルの入出力エラー\r\nファイル： \r\n発生箇所： 0行目 ()\r\n"
                             "追加情報： ") +
                 file + "\r\n");
    ASSERT_NE(record, std::string::npos) << file;
    EXPECT_LT(record, log.find("実行終了： ")) << file;
  }
}

} // namespace
} // namespace velmo
