#!/usr/bin/env bash
# A fatal script error (a jump to a paragraph that does not exist) is reported in a box with only
# an OK button, and the program always ends after it.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

e2e_make_game fatal_error
e2e_launch main "$E2E_GAME"
e2e_find_window >/dev/null

box=$(e2e_find_box "$E2E_TITLE_FATAL")
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "a recoverable report beside the fatal one"
e2e_screenshot fatal-report >/dev/null

# The box has no いいえ: the key for it changes nothing.
e2e_key "$box" n
e2e_expect_running main 500
e2e_viewable "$box" || e2e_fail "the fatal report closed on the key for いいえ"

e2e_answer "$box" ok
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "the scenario went on after the fatal error"
e2e_window_shown "$E2E_TITLE_MAIN" && e2e_fail "the main window is still shown"

records=$(e2e_error_records "$E2E_GAME")
[[ $records == "予期せぬファイル終端を検出しました．|system\\startup.scx|"*"行目 (nowhere)|nowhere" ]] ||
  e2e_fail "error.log: expected the one record of the missing paragraph, got:"$'\n'"$records"
e2e_pass "a fatal error shows OK only and ends the program"
