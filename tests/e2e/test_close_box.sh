#!/usr/bin/env bash
# Closing the window asks whether to end the program: いいえ keeps the game running (a later click
# still advances the scenario), はい ends it through the normal shutdown.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

band=(24 376 592 92)
head=(24 376 80 40) # the first characters: the page marker blinks after the last one
e2e_make_game close_box
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${band[@]}"
first_line=$(e2e_region_hash "$wid" "${band[@]}")

# Alt+F4: the question, answered いいえ.
e2e_key "$wid" alt+F4
box=$(e2e_find_box "$E2E_TITLE_EXIT")
e2e_screenshot exit-question >/dev/null
e2e_answer "$box" no
e2e_expect_running main 500
e2e_viewable "$wid" || e2e_fail "the main window is gone after いいえ"
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "the scenario went on without a click"

# The game goes on: a click advances to the next line, whose report then shows.
report=$(e2e_click_until "$wid" 320 240 "$E2E_TITLE_ERROR")
e2e_answer "$report" no
e2e_wait_changed "$wid" "${head[@]}" "$first_line"

# Alt+F4 again, answered はい: the program ends.
e2e_key "$wid" alt+F4
box=$(e2e_find_box "$E2E_TITLE_EXIT" "$E2E_BOX_TIMEOUT" "$box")
e2e_answer "$box" yes
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"
e2e_window_shown "$E2E_TITLE_FATAL" && e2e_fail "the scenario ran on to @Exit after はい"

records=$(e2e_error_records "$E2E_GAME")
e2e_assert_eq "$records" "未定義のエラー|system\\startup.scx|9行目 (開始)|after-close" "error.log records"
e2e_pass "the close question: いいえ keeps playing, はい ends"
