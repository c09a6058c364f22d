#!/usr/bin/env bash
# @CallDialog's boxes: YESNO sets exit to 1 for はい and 0 for いいえ (without PARAM it asks "確認");
# TEXT opens the text-input dialog under "%s - VELMO" with argv[3] ("VELMO" without it), and its
# edited text comes back in argv[1] with exit 1 for OK, and also when the close box ends it, with
# exit 0. The script writes what it got into error.log. EXIT NOASK ends the program without a
# question once the script next waits: the line after it still runs.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

e2e_make_game call_dialog
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)

# answer_report: the script's @Error report of what it got, answered いいえ (go on).
answer_report() {
  local report
  report=$(e2e_find_box "$E2E_TITLE_ERROR")
  e2e_answer "$report" no
}

# The question boxes are titled "VELMO", as the main window is.
box=$(e2e_find_box "$E2E_TITLE_MAIN" "$E2E_BOX_TIMEOUT" "$wid")
e2e_answer "$box" yes
answer_report
box=$(e2e_find_box "$E2E_TITLE_MAIN" "$E2E_BOX_TIMEOUT" "$wid")
e2e_answer "$box" no
answer_report

# The text with PARAM: typed on after what it holds, then OK.
dialog=$(e2e_find_box '^名前 - VELMO$')
e2e_key "$dialog" End minus a b c Return
e2e_wait_gone "$dialog"
answer_report
# Without PARAM: typed into the empty box, then the close box.
dialog=$(e2e_find_box "$E2E_TITLE_MAIN" "$E2E_BOX_TIMEOUT" "$wid")
e2e_key "$dialog" x y z alt+F4
e2e_wait_gone "$dialog"
answer_report
# The line after EXIT NOASK.
answer_report

e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
e2e_window_shown "$E2E_TITLE_EXIT" && e2e_fail "EXIT NOASK asked"
expected="未定義のエラー|system\\startup.scx|5行目 (開始)|yesno-1-続けますか？
未定義のエラー|system\\startup.scx|7行目 (開始)|yesno-0-確認
未定義のエラー|system\\startup.scx|9行目 (開始)|text-1-初期値-abc-名前を入力して下さい
未定義のエラー|system\\startup.scx|11行目 (開始)|text-0-xyz-値を入力して下さい
未定義のエラー|system\\startup.scx|14行目 (開始)|after-noask"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "$expected" "error.log records"
e2e_pass "the answers of the question boxes and the text-input dialog reach exit and argv[1]"
