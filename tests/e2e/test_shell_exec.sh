#!/usr/bin/env bash
# @ShellExec with GENERAL NativeCode=1 asks "安全性の確認 - VELMO" first: いいえ starts nothing and the
# script goes on; はい starts the program with its parameters in the game folder, without waiting
# for it; a program that is not there raises the file-not-found script error, which is reported
# and logged.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

E2E_TITLE_SAFETY='^安全性の確認 - VELMO$'

e2e_make_game shell_exec
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)

box=$(e2e_find_box "$E2E_TITLE_SAFETY")
e2e_answer "$box" no
report=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$report" no

box=$(e2e_find_box "$E2E_TITLE_SAFETY" "$E2E_BOX_TIMEOUT" "$box")
e2e_answer "$box" yes
deadline=$(($(e2e_now_ms) + 10000))
until [[ -f $E2E_GAME/started.txt ]]; do
  (($(e2e_now_ms) > deadline)) && e2e_fail "the program started by @ShellExec wrote no started.txt in the game folder"
  sleep 0.1
done
[[ -e $E2E_GAME/refused.txt ]] && e2e_fail "the command refused with いいえ ran"
e2e_pass "いいえ to the safety question starts nothing, はい starts the program in the game folder"

box=$(e2e_find_box "$E2E_TITLE_SAFETY" "$E2E_BOX_TIMEOUT" "$box")
e2e_answer "$box" yes
report=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$report")
e2e_answer "$report" no
report=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$report")
e2e_answer "$report" no
e2e_window_shown "$E2E_TITLE_SAFETY" && e2e_fail "a fourth safety question"

e2e_key "$wid" alt+F4
box=$(e2e_find_box "$E2E_TITLE_EXIT")
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
expected="未定義のエラー|system\\startup.scx|5行目 (開始)|refused
指定されたファイルが見つかりません．|system\\startup.scx|7行目 (開始)|無し
未定義のエラー|system\\startup.scx|8行目 (開始)|after-missing"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "$expected" "error.log records"
e2e_pass "a program that is not there is the file-not-found script error"
