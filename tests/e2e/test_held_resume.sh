#!/usr/bin/env bash
# While the script-error box is open, resumes that another program posts to the main window (for
# every wait the engine could be in) run no script line: the box's own message loop dispatches
# them, and the engine holds them until the box is answered. Afterwards the script goes on exactly
# once per answer: each error is reported once, in order.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$1"
poster=$2

e2e_make_game held_resume
e2e_launch main "$E2E_GAME"
e2e_find_window >/dev/null

first=$(e2e_find_box "$E2E_TITLE_ERROR")
# UM_RESUME (WM_USER + 3) for the waits 0 to 3, then two seconds with the box open.
wine "$poster" VELMO_WindowClass 0x403 0 1 2 3 </dev/null >>"$E2E_WORK/poster.log" 2>&1 ||
  e2e_fail "could not post to the main window"
sleep 2
boxes=$(e2e_windows "$E2E_TITLE_ERROR" | wc -l)
e2e_assert_eq "$boxes" 1 "error boxes shown while the first one is open"
e2e_answer "$first" no

second=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$first")
sleep 1
boxes=$(e2e_windows "$E2E_TITLE_ERROR" | wc -l)
e2e_assert_eq "$boxes" 1 "error boxes shown after いいえ"
e2e_answer "$second" no

third=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$second")
e2e_answer "$third" yes
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"

records=$(e2e_error_records "$E2E_GAME")
expected="未定義のエラー|system\\startup.scx|3行目 (開始)|first
未定義のエラー|system\\startup.scx|4行目 (開始)|second
未定義のエラー|system\\startup.scx|5行目 (開始)|third"
e2e_assert_eq "$records" "$expected" "error.log records"
e2e_pass "resumes posted while a box is open wait for it, and the script goes on once"
