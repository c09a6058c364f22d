#include "engine/script/error_log.h"

#include "engine/base/format.h"

#include <string>

namespace velmo {

namespace {

std::string Text(std::string_view s) { return std::string(s); }

// The local date and time as the log writes it: "2026/12/08 06:40:05".
std::string TimeStamp(Platform& platform) {
  const LocalTime t = platform.clock.Now();
  return FormatText("%4d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

} // namespace

void WriteLogHeader(Platform& platform, const TListHash& variables) {
  const std::string header =
      FormatText("VELMO\r\nSystem Ver#： %s build %s\r\nScript Ver#： %s\r\n\r\n実行開始： %s\r\n\r\n",
                 variables.GetVar("velSystemVer"), variables.GetVar("velBuildVer"), variables.GetVar("velScriptVer"),
                 TimeStamp(platform).c_str());
  platform.files.WriteNewFile(ErrorLogPath, header);
}

void WriteLogFooter(Platform& platform) {
  platform.files.AppendToFile(ErrorLogPath, FormatText("実行終了： %s\r\n", TimeStamp(platform).c_str()));
}

namespace {

void AppendErrorRecord(Platform& platform, const char* description, const std::string& fileName, long line,
                       const std::string& paragraph, const char* info) {
  platform.files.AppendToFile(
      ErrorLogPath,
      FormatText("ログ作成： %s\r\nエラー内容： %s\r\nファイル： %s\r\n発生箇所： %ld行目 (%s)\r\n追加情報： "
                 "%s\r\n\r\n",
                 TimeStamp(platform).c_str(), description, fileName.c_str(), line, paragraph.c_str(), info));
}

void Terminate(Platform& platform, RunState& runState) {
  runState = RunState::Terminating;
  platform.window.PostShutdown();
}

} // namespace

void LogScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where) {
  AppendErrorRecord(platform, ErrorDescription(e.code), Text(where.fileName), static_cast<long>(where.line),
                    Text(where.paragraph), e.info);
}

ErrorOutcome ReportScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where,
                               RunState& runState) {
  IWindow& window = platform.window;
  return ReportScriptError(platform, e, where, runState,
                           [&window](std::string_view text, std::string_view caption, MessageButtons buttons,
                                     MessageIcon icon) { return window.ShowMessageBox(text, caption, buttons, icon); });
}

ErrorOutcome ReportScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where,
                               RunState& runState, const MessageBoxFunction& box) {
  const char* description = ErrorDescription(e.code);
  const std::string fileName = Text(where.fileName);
  const std::string paragraph = Text(where.paragraph);
  const long line = static_cast<long>(where.line);
  // The report goes on to the message box whether or not the log could be written.
  LogScriptError(platform, e, where);

  const char* closing = e.fatal ? "このエラーは回復できません．直ちにプログラムを終了します．"
                                : "このエラーにより以降のシナリオに異状をきたす可能性があります．\r\n"
                                  "シナリオの実行を中断し直ちにプログラムを終了しますか？";
  const std::string text =
      FormatText("シナリオの実行中に%sエラーが発生しました．\n\nエラー内容： %s\n\nファイル： "
                 "%s\n発生箇所： [%ld] %s\n追加情報： %s\n\n%s",
                 e.fatal ? "致命的な" : "", description, fileName.c_str(), line, paragraph.c_str(), e.info, closing);
  const MessageAnswer answer =
      e.fatal ? box(text, "シナリオ実行時の致命的エラー - VELMO", MessageButtons::Ok, MessageIcon::Exclamation)
              : box(text, "シナリオ実行時のエラー - VELMO", MessageButtons::YesNo, MessageIcon::Exclamation);
  if (answer == MessageAnswer::No) return ErrorOutcome::Resume;
  Terminate(platform, runState);
  return ErrorOutcome::Terminate;
}

void ReportCreateFailure(Platform& platform, std::string_view objectName) {
  platform.window.ShowMessageBox(FormatText("%sの生成に失敗しました.", Text(objectName).c_str()),
                                 "ﾌﾟﾛｸﾞﾗﾑの内部ｴﾗｰ - VELMO", MessageButtons::Ok, MessageIcon::Exclamation);
}

bool ConfirmUnsafeCommand(Platform& platform, std::string_view command, std::string_view detail) {
  const std::string text =
      FormatText("このシナリオから %sコマンドが\n%s\nを実行しようとしています．\nこの動作はシステム"
                 "に安全ではないかもしれません．\n\n実行を許可しますか？",
                 Text(command).c_str(), Text(detail).c_str());
  return platform.window.ShowMessageBox(text, UnsafeCommandCaption, MessageButtons::YesNo, MessageIcon::Exclamation) ==
         MessageAnswer::Yes;
}

} // namespace velmo
