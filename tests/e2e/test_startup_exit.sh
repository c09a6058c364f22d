#!/usr/bin/env bash
# Start-up runs system\startup.scx: its message lines are drawn in the band at the bottom and each
# waits for a click (or Enter); the @Exit at the outermost level then ends the program through the
# fatal report, and system\error.log holds the start header, at most that one report and the end
# line.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

# The text area of the message band (client coordinates), and its first characters: the page
# marker blinks after the last character, outside them.
band=(24 376 592 92)
head=(24 376 80 40)

e2e_make_game startup_exit
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)

# The first line is drawn and the program waits for the player.
e2e_wait_drawn "$wid" "${band[@]}"
sleep 0.5 # the rest of the line is typed out
first=$(e2e_region_hash "$wid" "${head[@]}")
e2e_expect_running main 1000
e2e_window_shown "$E2E_TITLE_FATAL" && e2e_fail "the program ended without waiting for a click"
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "unexpected script error"
e2e_assert_eq "$(e2e_region_hash "$wid" "${head[@]}")" "$first" "the first line stays while nobody clicks"

# A click shows the second line, which waits again.
e2e_click "$wid" 320 240
e2e_wait_changed "$wid" "${head[@]}" "$first"
e2e_screenshot second-line "$wid" >/dev/null
e2e_expect_running main 1000
e2e_window_shown "$E2E_TITLE_FATAL" && e2e_fail "the second line did not wait for the player"

# Enter acts as a click: the scenario goes on to @Exit, which ends through the fatal report.
e2e_key "$wid" Return
box=$(e2e_find_box "$E2E_TITLE_FATAL")
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "unexpected recoverable report"
e2e_screenshot exit-report >/dev/null
e2e_answer "$box" ok
rc=$(e2e_wait_exit main)
e2e_assert_eq "$rc" 0 "exit status"
e2e_window_shown "$E2E_TITLE_MAIN" && e2e_fail "the main window is still shown"

# The log: the start header, at most the record of @Exit (file and paragraph unknown), the end line.
records=$(e2e_error_records "$E2E_GAME")
if [[ -n $records && $records != "正常終了|不明|"*"行目 (不明)|@Exitによる正常終了" ]]; then
  e2e_fail "error.log: expected no record or the one of @Exit, got:"$'\n'"$records"
fi
e2e_pass "start-up, click and Enter, @Exit through the fatal report"
