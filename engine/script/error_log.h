#pragma once

#include "engine/base/errors.h"
#include "engine/base/run_control.h"
#include "engine/platform/platform.h"
#include "engine/script/list_hash.h"

#include <cstdint>
#include <string_view>

namespace velmo {

// The log of one run: system\error.log, Shift-JIS with CR LF. The header at start, one record per
// reported script error, the end line at shutdown.
inline constexpr const char* ErrorLogPath = "system\\error.log";

// Where the running scenario stands: its file, the last line read and the current paragraph.
struct ScriptPosition {
  std::string_view fileName;
  std::int32_t line;
  std::string_view paragraph;
};

// What the player chose after a script error.
enum class ErrorOutcome { Resume, Terminate };

// Creates the log anew with the versions (velSystemVer, velBuildVer, velScriptVer) and the start
// time. A log that cannot be created is left alone, silently.
void WriteLogHeader(Platform& platform, const TListHash& variables);
// Appends the end time.
void WriteLogFooter(Platform& platform);

// Appends the error's record to the log; a log that cannot be opened is skipped.
void LogScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where);

// Appends the error's record to the log (skipped when the log cannot be opened), then asks the
// player. Yes to a recoverable error, or OK to a fatal one: RunState becomes Terminating,
// UM_SHUTDOWN is posted and Terminate returned, and the caller closes the current scenario.
// No: Resume is returned, and the caller has the interpreter go on with the next line.
ErrorOutcome ReportScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where,
                               RunState& runState);
// The same, with the question shown by `box` (a dialog's own, which owns the box while it is open).
ErrorOutcome ReportScriptError(Platform& platform, const TBaseException& e, const ScriptPosition& where,
                               RunState& runState, const MessageBoxFunction& box);

// At start-up: a core object ("TScenario", "TScenarioStack", "TSurface") could not be made.
void ReportCreateFailure(Platform& platform, std::string_view objectName);

// Before a script starts a program or a user procedure: true if the player allows it.
inline constexpr const char* UnsafeCommandCaption = "安全性の確認 - VELMO"; // the question's title
bool ConfirmUnsafeCommand(Platform& platform, std::string_view command, std::string_view detail);

} // namespace velmo
