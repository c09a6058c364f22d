#include "engine/script/error_log.h"

#include "engine/base/errors.h"
#include "engine/base/run_control.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/list_hash.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace velmo {
namespace {

namespace fs = std::filesystem;

// The script error `action` raises; a test failure when it raises none.
template <class Action> TBaseException Raised(Action action) {
  try {
    action();
  } catch (const TBaseException& e) {
    return e;
  }
  ADD_FAILURE() << "no script error was raised";
  return TException(0, "");
}

// --- Raising errors --------------------------------------------------------------------------

TEST(ScriptErrorTest, ThrowErrorRaisesARecoverableTException) {
  try {
    ThrowError(ErrSyntax, "word");
    ADD_FAILURE() << "ThrowError returned";
  } catch (const TFatalException&) {
    ADD_FAILURE() << "ThrowError raised a TFatalException";
  } catch (const TException& e) {
    EXPECT_FALSE(e.fatal);
    EXPECT_EQ(e.code, ErrSyntax);
    EXPECT_STREQ(e.info, "word");
  }
}

TEST(ScriptErrorTest, ThrowFatalRaisesATFatalException) {
  try {
    ThrowFatal(ErrUnexpectedEOF, "start.scx");
    ADD_FAILURE() << "ThrowFatal returned";
  } catch (const TException&) {
    ADD_FAILURE() << "ThrowFatal raised a TException";
  } catch (const TFatalException& e) {
    EXPECT_TRUE(e.fatal);
    EXPECT_EQ(e.code, ErrUnexpectedEOF);
    EXPECT_STREQ(e.info, "start.scx");
  }
}

TEST(ScriptErrorTest, BothKindsAreCaughtAsTBaseException) {
  const TBaseException recoverable = Raised([] { ThrowError(ErrRange, "x"); });
  EXPECT_FALSE(recoverable.fatal);
  EXPECT_EQ(recoverable.code, ErrRange);
  EXPECT_STREQ(recoverable.info, "x");

  const TBaseException fatal = Raised([] { ThrowFatal(ErrMissingParam, "y"); });
  EXPECT_TRUE(fatal.fatal);
  EXPECT_EQ(fatal.code, ErrMissingParam);
  EXPECT_STREQ(fatal.info, "y");
}

TEST(ScriptErrorTest, PlugInResultCodesArePassedThrough) {
  const TBaseException minusOne = Raised([] { ThrowError(-1, "pic.bmp"); });
  EXPECT_EQ(minusOne.code, -1);
  EXPECT_STREQ(minusOne.info, "pic.bmp");
  EXPECT_EQ(Raised([] { ThrowError(3, "arc.dat"); }).code, 3);
}

TEST(ScriptErrorTest, InfoIsACopyOfTheText) {
  std::string info = "無し";
  try {
    ThrowError(ErrUndefined, info);
  } catch (const TBaseException& e) {
    info.assign("changed afterwards");
    EXPECT_STREQ(e.info, "無し");
  }
  EXPECT_EQ(info, "changed afterwards"); // the handler ran
}

TEST(ScriptErrorTest, InfoIsTakenByLengthNotUpToATerminator) {
  const char text[] = "label.more";
  EXPECT_STREQ(Raised([&] { ThrowError(ErrFileNotFound, std::string_view(text, 5)); }).info, "label");
}

TEST(ScriptErrorTest, InfoOfUpTo1023BytesIsKeptWhole) {
  const std::string info(1023, 'i');
  EXPECT_EQ(std::string(Raised([&] { ThrowFatal(ErrSyntax, info); }).info), info);
  EXPECT_EQ(std::string(Raised([] { ThrowFatal(ErrSyntax, ""); }).info), "");
}

TEST(ScriptErrorTest, LongerInfoIsCutTo1023Bytes) {
  std::string info;
  for (int i = 0; i < 3000; ++i) info += static_cast<char>('a' + i % 26);
  EXPECT_EQ(std::string(Raised([&] { ThrowError(ErrSyntax, info); }).info), info.substr(0, 1023));
  EXPECT_EQ(std::string(Raised([&] { ThrowError(ErrSyntax, info.substr(0, 1024)); }).info), info.substr(0, 1023));
}

// --- Error descriptions ----------------------------------------------------------------------

struct Description {
  std::int32_t code;
  const char* text;
};

// The codes are the ids of their descriptions in the string table, so the numbers are fixed.
TEST(ErrorDescriptionTest, EachErrorCodeHasItsNumberAndText) {
  struct Entry {
    ErrorCode code;
    std::int32_t number;
    const char* text;
  };
  const Entry table[] = {
      {ErrOK, 100, "正常終了"},
      {ErrFileIO, 101, "ファイルの入出力エラー"},
      {ErrFileNotFound, 102, "指定されたファイルが見つかりません．"},
      {ErrUnexpectedEOF, 103, "予期せぬファイル終端を検出しました．"},
      {ErrDevice, 104, "ハードウェアデバイスのエラーです．"},
      {ErrInternal, 105, "Windowsあるいはプログラムの内部エラーです．"},
      {ErrSyntax, 106, "構文あるいは文法が違います．"},
      {ErrMissingParam, 107, "必要なパラメータが足りません．"},
      {ErrRange, 108, "パラメータの値が有効な範囲を超えています．"},
      {ErrUnsupported, 109, "プログラムが対応しきれません．"},
      {ErrNesting, 110, "構文あるいはマクロのネストが不正です．"},
      {ErrDivZero, 111, "０による除算が発生しました．"},
      {ErrUndefined, 112, "未定義のエラー"},
      {ErrBadFormat, 114, "無効なファイル形式です．"},
      {ErrStackOverflow, 115, "スタック溢れが発生しました．構文が複雑すぎます．"},
      {ErrNotImplemented, 116, "その機能は実装実現されていません．"},
      {ErrExclusive, 117, "排他的オプションが同時に指定されました．"},
      {ErrUndefinedMacro, 118, "未定義のマクロが指定されました．"},
      {ErrReserved, 199, "(予約)"},
  };
  for (const Entry& e : table) {
    EXPECT_EQ(static_cast<std::int32_t>(e.code), e.number);
    EXPECT_STREQ(ErrorDescription(e.number), e.text) << "code " << e.number;
  }
}

TEST(ErrorDescriptionTest, CodesWithoutATextGiveEmptyText) {
  for (std::int32_t code : {113, 9, 99, 119, 150, 198, 200, 1000, 65534, 65536, -2, -100, INT32_MIN, INT32_MAX}) {
    EXPECT_STREQ(ErrorDescription(code), "") << "code " << code;
  }
}

TEST(ErrorDescriptionTest, PlugInResultCodesGiveTheirTexts) {
  const Description table[] = {
      {0, "[SPI] 正常終了"},
      {1, "[SPI] コールバック関数が展開を中止しました．"},
      {2, "[SPI] 未知のフォーマットです．"},
      {3, "[SPI] データが壊れています．"},
      {4, "[SPI] メモリ確保に失敗しました．"},
      {5, "[SPI] メモリ操作に失敗しました．"},
      {6, "[SPI] ファイルの読み込みに失敗しました．"},
      {7, "[SPI] (予約)"},
      {8, "[SPI] 内部エラー"},
      {-1, "[SPI] その機能は実装実現されていません．"},
  };
  for (const Description& d : table) EXPECT_STREQ(ErrorDescription(d.code), d.text) << "code " << d.code;
}

// --- The error log and the message boxes ----------------------------------------------------

class ErrorLogTest : public ::testing::Test {
protected:
  ErrorLogTest() { clock.localTime = LocalTime{2026, 3, 7, 9, 5, 4}; }

  fs::path LogFile() const { return folder.path / "system" / "error.log"; }
  std::string Log() const { return ReadBytes(LogFile()); }

  TempFolder folder;
  HeadlessClock clock;
  HeadlessWindow window;
  DiskFileSystem files{folder.path.string()};
  HeadlessGraphics graphics;
  HeadlessModules modules;
  HeadlessMedia media{clock, files};
  Platform platform{clock, window, files, graphics, modules, media, media, media};
  RunState runState = RunState::Running;
};

const ScriptPosition Opening{"start.scx", 12, "opening"};

const char* const SyntaxRecord = "ログ作成： 2026/03/07 09:05:04\r\n"
                                 "エラー内容： 構文あるいは文法が違います．\r\n"
                                 "ファイル： start.scx\r\n"
                                 "発生箇所： 12行目 (opening)\r\n"
                                 "追加情報： 無し\r\n"
                                 "\r\n";

const char* const RecoverableSyntaxBox = "シナリオの実行中にエラーが発生しました．\n"
                                         "\n"
                                         "エラー内容： 構文あるいは文法が違います．\n"
                                         "\n"
                                         "ファイル： start.scx\n"
                                         "発生箇所： [12] opening\n"
                                         "追加情報： 無し\n"
                                         "\n"
                                         "このエラーにより以降のシナリオに異状をきたす可能性があります．\r\n"
                                         "シナリオの実行を中断し直ちにプログラムを終了しますか？";

TEST_F(ErrorLogTest, HeaderCreatesTheLogWithVersionsAndStartTime) {
  TListHash vars;
  vars.SetVarText("velSystemVer", "1.07");
  vars.SetVarText("velBuildVer", "916");
  vars.SetVarText("velScriptVer", "1.15.228");
  WriteLogHeader(platform, vars);

  ASSERT_TRUE(fs::is_regular_file(LogFile()));
  EXPECT_EQ(Log(), "VELMO\r\n"
                   "System Ver#： 1.07 build 916\r\n"
                   "Script Ver#： 1.15.228\r\n"
                   "\r\n"
                   "実行開始： 2026/03/07 09:05:04\r\n"
                   "\r\n");
  EXPECT_TRUE(window.messageBoxes.empty());
}

TEST_F(ErrorLogTest, HeaderDiscardsAnOldLog) {
  {
    std::ofstream old(LogFile(), std::ios::binary);
    old << "a previous run's log, longer than the new header will be, so that no tail may remain of it after "
           "the header has been written over it............................................................";
  }
  TListHash vars;
  vars.SetVarText("velSystemVer", "1.07");
  vars.SetVarText("velBuildVer", "916");
  vars.SetVarText("velScriptVer", "1.15.228");
  clock.localTime = LocalTime{2001, 12, 31, 23, 59, 58};
  WriteLogHeader(platform, vars);

  EXPECT_EQ(Log(), "VELMO\r\n"
                   "System Ver#： 1.07 build 916\r\n"
                   "Script Ver#： 1.15.228\r\n"
                   "\r\n"
                   "実行開始： 2001/12/31 23:59:58\r\n"
                   "\r\n");
}

TEST_F(ErrorLogTest, HeaderWithUnsetVersionVariablesWritesEmptyTexts) {
  TListHash vars;
  WriteLogHeader(platform, vars);
  EXPECT_EQ(Log(), "VELMO\r\n"
                   "System Ver#：  build \r\n"
                   "Script Ver#： \r\n"
                   "\r\n"
                   "実行開始： 2026/03/07 09:05:04\r\n"
                   "\r\n");
  EXPECT_EQ(vars.LastIndex(), -1); // reading the versions creates no variables
}

TEST_F(ErrorLogTest, HeaderThatCannotBeCreatedIsSkippedSilently) {
  fs::create_directory(LogFile()); // a folder where the log should be
  TListHash vars;
  vars.SetVarText("velSystemVer", "1.07");
  WriteLogHeader(platform, vars);
  EXPECT_TRUE(fs::is_directory(LogFile()));
  EXPECT_TRUE(window.messageBoxes.empty());
  EXPECT_EQ(window.resumePosted + window.shutdownPosted, 0);
}

TEST_F(ErrorLogTest, FooterAppendsTheEndTime) {
  {
    std::ofstream old(LogFile(), std::ios::binary);
    old << "head\r\n";
  }
  clock.localTime = LocalTime{2026, 11, 28, 17, 30, 0};
  WriteLogFooter(platform);
  EXPECT_EQ(Log(), "head\r\n実行終了： 2026/11/28 17:30:00\r\n");
}

TEST_F(ErrorLogTest, FooterCreatesAMissingLog) {
  WriteLogFooter(platform);
  EXPECT_EQ(Log(), "実行終了： 2026/03/07 09:05:04\r\n");
}

TEST_F(ErrorLogTest, TimeStampPadsEveryField) {
  clock.localTime = LocalTime{987, 1, 2, 3, 4, 5};
  WriteLogFooter(platform);
  EXPECT_EQ(Log(), "実行終了：  987/01/02 03:04:05\r\n");
}

TEST_F(ErrorLogTest, RecoverableErrorAnsweredNoResumes) {
  window.answers.push_back(MessageAnswer::No);
  const ErrorOutcome outcome = ReportScriptError(platform, TException(ErrSyntax, "無し"), Opening, runState);

  EXPECT_EQ(outcome, ErrorOutcome::Resume);
  EXPECT_EQ(runState, RunState::Running);
  EXPECT_EQ(window.resumePosted, 0); // the interpreter asks its door for the one resume
  EXPECT_EQ(window.shutdownPosted, 0);
  EXPECT_TRUE(window.answers.empty());
  EXPECT_EQ(Log(), SyntaxRecord);
}

TEST_F(ErrorLogTest, RecoverableErrorAnsweredYesTerminates) {
  window.answers.push_back(MessageAnswer::Yes);
  runState = RunState::ClickWait;
  const ErrorOutcome outcome = ReportScriptError(platform, TException(ErrSyntax, "無し"), Opening, runState);

  EXPECT_EQ(outcome, ErrorOutcome::Terminate);
  EXPECT_EQ(runState, RunState::Terminating);
  EXPECT_EQ(static_cast<int>(runState), 16);
  EXPECT_EQ(window.shutdownPosted, 1);
  EXPECT_EQ(window.resumePosted, 0);
  EXPECT_EQ(Log(), SyntaxRecord);
}

TEST_F(ErrorLogTest, RecoverableErrorAsksYesOrNo) {
  window.answers.push_back(MessageAnswer::No);
  ReportScriptError(platform, TException(ErrSyntax, "無し"), Opening, runState);

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = window.messageBoxes[0];
  EXPECT_EQ(box.text, RecoverableSyntaxBox);
  EXPECT_EQ(box.caption, "シナリオ実行時のエラー - VELMO");
  EXPECT_EQ(box.buttons, MessageButtons::YesNo);
  EXPECT_EQ(box.icon, MessageIcon::Exclamation);
}

TEST_F(ErrorLogTest, FatalErrorShowsOnlyOkAndTerminates) {
  window.answers.push_back(MessageAnswer::No); // cannot be given to an OK box
  const ErrorOutcome outcome =
      ReportScriptError(platform, TFatalException(ErrUnexpectedEOF, "start.scx"), Opening, runState);

  EXPECT_EQ(outcome, ErrorOutcome::Terminate);
  EXPECT_EQ(runState, RunState::Terminating);
  EXPECT_EQ(window.shutdownPosted, 1);
  EXPECT_EQ(window.resumePosted, 0);

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = window.messageBoxes[0];
  EXPECT_EQ(box.text, "シナリオの実行中に致命的なエラーが発生しました．\n"
                      "\n"
                      "エラー内容： 予期せぬファイル終端を検出しました．\n"
                      "\n"
                      "ファイル： start.scx\n"
                      "発生箇所： [12] opening\n"
                      "追加情報： start.scx\n"
                      "\n"
                      "このエラーは回復できません．直ちにプログラムを終了します．");
  EXPECT_EQ(box.caption, "シナリオ実行時の致命的エラー - VELMO");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.icon, MessageIcon::Exclamation);

  EXPECT_EQ(Log(), "ログ作成： 2026/03/07 09:05:04\r\n"
                   "エラー内容： 予期せぬファイル終端を検出しました．\r\n"
                   "ファイル： start.scx\r\n"
                   "発生箇所： 12行目 (opening)\r\n"
                   "追加情報： start.scx\r\n"
                   "\r\n");
}

TEST_F(ErrorLogTest, CodeWithoutATextHasAnEmptyDescription) {
  ReportScriptError(platform, TException(113, "x"), ScriptPosition{"a.scx", 1, "p"}, runState);
  EXPECT_EQ(Log(), "ログ作成： 2026/03/07 09:05:04\r\n"
                   "エラー内容： \r\n"
                   "ファイル： a.scx\r\n"
                   "発生箇所： 1行目 (p)\r\n"
                   "追加情報： x\r\n"
                   "\r\n");
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_NE(window.messageBoxes[0].text.find("エラー内容： \n\nファイル： a.scx\n"), std::string::npos);
}

TEST_F(ErrorLogTest, PlugInErrorShowsThePlugInText) {
  ReportScriptError(platform, TException(-1, "cg\\表紙.pic"), ScriptPosition{"title.scx", 7, "menu"}, runState);
  EXPECT_EQ(Log(), "ログ作成： 2026/03/07 09:05:04\r\n"
                   "エラー内容： [SPI] その機能は実装実現されていません．\r\n"
                   "ファイル： title.scx\r\n"
                   "発生箇所： 7行目 (menu)\r\n"
                   "追加情報： cg\\表紙.pic\r\n"
                   "\r\n");
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_NE(window.messageBoxes[0].text.find("エラー内容： [SPI] その機能は実装実現されていません．\n"),
            std::string::npos);
}

TEST_F(ErrorLogTest, TextsAreShownLiterallyNotAsFormats) {
  ReportScriptError(platform, TException(ErrRange, "100%s %d %%"), ScriptPosition{"50%.scx", 3, "p%n%s"}, runState);
  EXPECT_EQ(Log(), "ログ作成： 2026/03/07 09:05:04\r\n"
                   "エラー内容： パラメータの値が有効な範囲を超えています．\r\n"
                   "ファイル： 50%.scx\r\n"
                   "発生箇所： 3行目 (p%n%s)\r\n"
                   "追加情報： 100%s %d %%\r\n"
                   "\r\n");
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_NE(window.messageBoxes[0].text.find("ファイル： 50%.scx\n発生箇所： [3] p%n%s\n追加情報： 100%s %d %%\n"),
            std::string::npos);
}

TEST_F(ErrorLogTest, ShiftJisPositionIsWrittenUnchanged) {
  ReportScriptError(platform, TException(ErrFileNotFound, "背景.bmp"), ScriptPosition{"表示.scx", 2147483647, "第一章"},
                    runState);
  EXPECT_EQ(Log(), "ログ作成： 2026/03/07 09:05:04\r\n"
                   "エラー内容： 指定されたファイルが見つかりません．\r\n"
                   "ファイル： 表示.scx\r\n"
                   "発生箇所： 2147483647行目 (第一章)\r\n"
                   "追加情報： 背景.bmp\r\n"
                   "\r\n");
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_NE(
      window.messageBoxes[0].text.find("ファイル： 表示.scx\n発生箇所： [2147483647] 第一章\n追加情報： 背景.bmp\n"),
      std::string::npos);
}

TEST_F(ErrorLogTest, PositionTextsAreTakenByLength) {
  const char file[] = "start.scx#rest";
  const char paragraph[] = "openingXYZ";
  ReportScriptError(platform, TException(ErrSyntax, "無し"),
                    ScriptPosition{std::string_view(file, 9), 12, std::string_view(paragraph, 7)}, runState);
  EXPECT_EQ(Log(), SyntaxRecord);
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_EQ(window.messageBoxes[0].text, RecoverableSyntaxBox);
}

TEST_F(ErrorLogTest, LogThatCannotBeOpenedStillShowsTheMessageBox) {
  fs::create_directory(LogFile());
  window.answers.push_back(MessageAnswer::No);
  const ErrorOutcome outcome = ReportScriptError(platform, TException(ErrSyntax, "無し"), Opening, runState);

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_EQ(window.messageBoxes[0].text, RecoverableSyntaxBox);
  EXPECT_EQ(outcome, ErrorOutcome::Resume);
  EXPECT_TRUE(fs::is_directory(LogFile()));
}

TEST_F(ErrorLogTest, FatalErrorWithUnopenableLogStillShowsTheBoxAndTerminates) {
  fs::remove(folder.path / "system"); // no folder for the log at all
  const ErrorOutcome outcome = ReportScriptError(platform, TFatalException(ErrInternal, "無し"), Opening, runState);
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_EQ(window.messageBoxes[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(outcome, ErrorOutcome::Terminate);
  EXPECT_EQ(runState, RunState::Terminating);
  EXPECT_EQ(window.shutdownPosted, 1);
}

TEST_F(ErrorLogTest, LogOfARunHasHeaderRecordsAndEndLine) {
  TListHash vars;
  vars.SetVarText("velSystemVer", "1.07");
  vars.SetVarText("velBuildVer", "916");
  vars.SetVarText("velScriptVer", "1.15.228");
  clock.localTime = LocalTime{2026, 3, 7, 9, 0, 0};
  WriteLogHeader(platform, vars);

  clock.localTime = LocalTime{2026, 3, 7, 9, 1, 30};
  window.answers.push_back(MessageAnswer::No);
  EXPECT_EQ(
      ReportScriptError(platform, TException(ErrDivZero, "a/0"), ScriptPosition{"start.scx", 40, "calc"}, runState),
      ErrorOutcome::Resume);

  clock.localTime = LocalTime{2026, 3, 7, 9, 2, 0};
  window.answers.push_back(MessageAnswer::Yes);
  EXPECT_EQ(ReportScriptError(platform, TException(ErrUndefinedMacro, "@@fade"),
                              ScriptPosition{"start.scx", 41, "calc"}, runState),
            ErrorOutcome::Terminate);

  clock.localTime = LocalTime{2026, 3, 7, 9, 2, 1};
  WriteLogFooter(platform);

  EXPECT_EQ(Log(), "VELMO\r\n"
                   "System Ver#： 1.07 build 916\r\n"
                   "Script Ver#： 1.15.228\r\n"
                   "\r\n"
                   "実行開始： 2026/03/07 09:00:00\r\n"
                   "\r\n"
                   "ログ作成： 2026/03/07 09:01:30\r\n"
                   "エラー内容： ０による除算が発生しました．\r\n"
                   "ファイル： start.scx\r\n"
                   "発生箇所： 40行目 (calc)\r\n"
                   "追加情報： a/0\r\n"
                   "\r\n"
                   "ログ作成： 2026/03/07 09:02:00\r\n"
                   "エラー内容： 未定義のマクロが指定されました．\r\n"
                   "ファイル： start.scx\r\n"
                   "発生箇所： 41行目 (calc)\r\n"
                   "追加情報： @@fade\r\n"
                   "\r\n"
                   "実行終了： 2026/03/07 09:02:01\r\n");
  EXPECT_EQ(window.messageBoxes.size(), 2u);
  EXPECT_EQ(window.shutdownPosted, 1);
  EXPECT_EQ(runState, RunState::Terminating);
}

// --- Other message boxes ---------------------------------------------------------------------

TEST_F(ErrorLogTest, CreateFailureNamesTheObject) {
  ReportCreateFailure(platform, "TScenarioStack");

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = window.messageBoxes[0];
  EXPECT_EQ(box.text, "TScenarioStackの生成に失敗しました.");
  EXPECT_EQ(box.caption, "ﾌﾟﾛｸﾞﾗﾑの内部ｴﾗｰ - VELMO");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.icon, MessageIcon::Exclamation);
  EXPECT_EQ(window.resumePosted + window.shutdownPosted, 0);
  EXPECT_FALSE(fs::exists(LogFile()));
}

TEST_F(ErrorLogTest, UnsafeCommandAsksThePlayer) {
  window.answers.push_back(MessageAnswer::Yes);
  EXPECT_TRUE(ConfirmUnsafeCommand(platform, "@ShellExec", "notepad.exe readme.txt"));

  ASSERT_EQ(window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = window.messageBoxes[0];
  EXPECT_EQ(box.text, "このシナリオから @ShellExecコマンドが\n"
                      "notepad.exe readme.txt\n"
                      "を実行しようとしています．\n"
                      "この動作はシステムに安全ではないかもしれません．\n"
                      "\n"
                      "実行を許可しますか？");
  EXPECT_EQ(box.caption, "安全性の確認 - VELMO");
  EXPECT_EQ(box.buttons, MessageButtons::YesNo);
  EXPECT_EQ(box.icon, MessageIcon::Exclamation);
  EXPECT_EQ(window.resumePosted + window.shutdownPosted, 0);
}

TEST_F(ErrorLogTest, UnsafeCommandRefusedWithNo) {
  window.answers.push_back(MessageAnswer::No);
  EXPECT_FALSE(ConfirmUnsafeCommand(platform, "@UserProc", "user.dll#Func%s"));
  ASSERT_EQ(window.messageBoxes.size(), 1u);
  EXPECT_EQ(window.messageBoxes[0].text, "このシナリオから @UserProcコマンドが\n"
                                         "user.dll#Func%s\n"
                                         "を実行しようとしています．\n"
                                         "この動作はシステムに安全ではないかもしれません．\n"
                                         "\n"
                                         "実行を許可しますか？");
}

} // namespace
} // namespace velmo
