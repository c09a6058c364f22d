#!/usr/bin/env bash
# @Wait TIME=1500 holds the scenario for 1.5 s: between answering the report of the line before
# it and the report of the line after it lie at least 1.5 s and not much more.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

e2e_make_game wait_time
e2e_launch main "$E2E_GAME"
e2e_find_window >/dev/null

before=$(e2e_find_box "$E2E_TITLE_ERROR")
start=$(e2e_now_ms)
e2e_answer "$before" no
after=$(e2e_find_box "$E2E_TITLE_ERROR" 10 "$before")
waited=$(($(e2e_now_ms) - start))
e2e_log "waited ${waited} ms"
((waited >= 1500)) || e2e_fail "@Wait TIME=1500 ended after ${waited} ms"
((waited <= 4000)) || e2e_fail "@Wait TIME=1500 took ${waited} ms"

e2e_answer "$after" yes
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"
records=$(e2e_error_records "$E2E_GAME")
expected="未定義のエラー|system\\startup.scx|3行目 (開始)|before
未定義のエラー|system\\startup.scx|5行目 (開始)|after"
e2e_assert_eq "$records" "$expected" "error.log records"
e2e_pass "@Wait TIME=1500 waited ${waited} ms"
