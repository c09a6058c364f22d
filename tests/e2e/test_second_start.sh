#!/usr/bin/env bash
# A second start while the program runs brings the first window back to the front and ends by
# itself without a window; the first instance's files are left alone and it plays on.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

band=(24 376 592 92)
e2e_make_game second_start
e2e_launch first "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${band[@]}"
log_before=$(md5sum <"$E2E_GAME/system/error.log")

placed=$(e2e_geometry "$wid")

# Minimized, the window is not shown; the second start must restore it.
xdotool windowminimize --sync "$wid" || e2e_fail "cannot minimize the main window"
e2e_wait_gone "$wid"

e2e_launch second "$E2E_GAME"
rc=$(e2e_wait_exit second 10)
e2e_assert_eq "$rc" 0 "exit status of the second start"

# Exactly one main window, the first one, shown again where it was, and active.
deadline=$(($(e2e_now_ms) + 5000))
until e2e_viewable "$wid" && [[ $(e2e_geometry "$wid") == "$placed" ]]; do
  (($(e2e_now_ms) < deadline)) ||
    e2e_fail "the first window was not brought back (now: $(e2e_geometry "$wid"), before: $placed)"
  sleep 0.05
done
e2e_screenshot after-second-start >/dev/null
e2e_assert_eq "$(e2e_windows "$E2E_TITLE_MAIN")" "$wid" "visible main windows"
deadline=$(($(e2e_now_ms) + 3000))
until [[ $(xdotool getactivewindow 2>/dev/null) == "$wid" ]]; do
  (($(e2e_now_ms) < deadline)) || e2e_fail "the first window is not in front (active: $(xdotool getactivewindow 2>/dev/null))"
  sleep 0.05
done
e2e_running first || e2e_fail "the first instance ended"
e2e_assert_eq "$(md5sum <"$E2E_GAME/system/error.log")" "$log_before" "error.log after the second start"

# The first instance still plays: a click goes on to @Exit.
box=$(e2e_click_until "$wid" 320 240 "$E2E_TITLE_FATAL")
e2e_answer "$box" ok
rc=$(e2e_wait_exit first)
e2e_assert_eq "$rc" 0 "exit status of the first instance"
e2e_pass "a second start brings the first window to the front and ends"
