#!/usr/bin/env bash
# On a screen of 640 x 480 the program plays in full screen from the start (WINDOW FullScreen 2):
# no caption or menu bar, the window covering the screen. The right button then opens the
# full-screen pop-up at the cursor whatever MOUSE RightClick says; Esc closes it and changes
# nothing, オプション → メッセージを消す hides the message window (a click shows it again), and
# システム → 終了 asks the exit question. The settings keep FullScreen 0 and the window's place 0, 0.
set -euo pipefail
export E2E_SCREEN=640x480
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

band=(24 376 592 92) # the message window
head=(24 376 80 40)  # its first characters: the page marker blinks after the last one

# popup X Y: the right button at client (X, Y) (the screen's point too); waits for the pop-up menu
# there (a window of the program other than the main window, its corner at the cursor) and prints
# its id. Each pop-up is opened at a point of its own: the system may show it in the same window.
popup() {
  local deadline id x y
  xdotool mousemove --window "$wid" "$1" "$2" click 3
  deadline=$(($(e2e_now_ms) + 5000))
  for (( ; ; )); do
    for id in $(xdotool search --onlyvisible --classname '^velmo32\.exe$' 2>/dev/null); do
      [[ $id == "$wid" ]] && continue
      read -r x y _ < <(e2e_geometry "$id")
      ((x >= $1 && x <= $1 + 4 && y >= $2 && y <= $2 + 4)) && { echo "$id"; return 0; }
    done
    (($(e2e_now_ms) > deadline)) && e2e_fail "no pop-up menu at $1, $2 after the right button"
    sleep 0.05
  done
}

# menu_keys KEY...: keys for the open pop-up. They go to the main window, which keeps the focus: the
# pop-up takes them from there (focusing the pop-up's own window closes it).
menu_keys() { xdotool key --clearmodifiers --delay 100 "$@" || e2e_fail "cannot type $*"; }

e2e_make_game full_screen
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${head[@]}"
sleep 0.5
e2e_assert_eq "$(e2e_geometry "$wid")" "0 0 640 480" "the window's place and size"
page=$(e2e_region_hash "$wid" "${head[@]}")
e2e_pass "the window covers the 640 x 480 screen without a menu bar"

menu=$(popup 300 200)
menu_keys Escape
e2e_wait_gone "$menu"
sleep 0.5
e2e_wait_shows "$wid" "${head[@]}" "$page" "the page after the pop-up closed by Esc"
e2e_pass "the right button opens the pop-up at the cursor, Esc closes it"

menu=$(popup 200 100)
menu_keys o e
e2e_wait_gone "$menu"
e2e_wait_changed "$wid" "${head[@]}" "$page"
shot=$(e2e_screenshot hidden "$wid")
[[ $(convert "$shot" -crop "${band[2]}x${band[3]}+${band[0]}+${band[1]}" +repage -format '%k' info:) == 1 ]] ||
  e2e_fail "the message window is still shown after メッセージを消す"
e2e_click "$wid" 320 240
sleep 0.5
e2e_wait_shows "$wid" "${head[@]}" "$page" "the page after a click"
e2e_pass "メッセージを消す in the pop-up hides the message window, a click shows it again"

menu=$(popup 100 150)
menu_keys s x
box=$(e2e_find_box "$E2E_TITLE_EXIT")
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
settings=$(e2e_settings "$E2E_GAME")
e2e_assert_eq "$(e2e_ini_value "$settings" WINDOW FullScreen)" 0 "FullScreen stored"
e2e_assert_eq "$(e2e_ini_value "$settings" WINDOW PositionX)" 0 "PositionX stored"
e2e_assert_eq "$(e2e_ini_value "$settings" WINDOW PositionY)" 0 "PositionY stored"
e2e_pass "終了 in the pop-up asks and ends; full screen on a small screen is stored as 0"
