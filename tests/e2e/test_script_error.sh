#!/usr/bin/env bash
# A recoverable script error is reported with its file, line and paragraph; いいえ goes on with the
# next line (whose error is reported in turn), はい ends the program, and the log ends with the
# record of the last error and the end line.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

e2e_make_game script_error
e2e_launch main "$E2E_GAME"
e2e_find_window >/dev/null

# Line 3: an unknown command. The report waits for an answer.
first=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_window_shown "$E2E_TITLE_FATAL" && e2e_fail "an unknown command was reported as fatal"
e2e_screenshot first-report >/dev/null
e2e_expect_running main 500
e2e_answer "$first" no

# いいえ: line 4 runs and reports its own error.
second=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$first")
e2e_screenshot second-report >/dev/null
e2e_answer "$second" yes

# はい: the program ends; line 5 never runs.
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "another report after はい"
e2e_window_shown "$E2E_TITLE_MAIN" && e2e_fail "the main window is still shown"

records=$(e2e_error_records "$E2E_GAME")
expected="構文あるいは文法が違います．|system\\startup.scx|3行目 (開始)|@Unknown
未定義のエラー|system\\startup.scx|4行目 (開始)|second"
e2e_assert_eq "$records" "$expected" "error.log records"
e2e_pass "recoverable errors: いいえ goes on, はい ends"
