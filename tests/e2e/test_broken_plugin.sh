#!/usr/bin/env bash
# A file in the system folder that is not a plug-in module does not stop the start: it is left
# out without a message box, and system\error.log records it (invalid file format, with its file
# name) right after the start header; the game then runs to its @Exit.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

e2e_make_game broken_plugin
e2e_launch main "$E2E_GAME"
box=$(e2e_find_box "$E2E_TITLE_FATAL")
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "a recoverable report interrupted the start"
e2e_answer "$box" ok
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"

records=$(e2e_error_records "$E2E_GAME")
expected="無効なファイル形式です．||0行目 ()|notadll.vpx"
first=${records%%$'\n'*}
e2e_assert_eq "$first" "$expected" "the first record of error.log"
[[ $records == *"@Exitによる正常終了" ]] || e2e_fail "error.log does not end with the record of @Exit:"$'\n'"$records"
e2e_pass "a broken plug-in is logged and left out"
