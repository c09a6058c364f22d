#!/usr/bin/env bash
# MOUSE RightClick=2: the right button hides the message window, and the window then shows the
# base picture (the background without the message window); a click shows the page again without
# going on to the next one. Esc acts as the right button.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

band=(24 376 592 92) # the message window
head=(24 376 80 40)  # its first characters: the page marker blinks after the last one
sky=(0 0 640 300)    # background only

# colours ID X Y W H: "COUNT COLOUR" of the rectangle (number of distinct colours, the first one).
colours() {
  local id=$1 x=$2 y=$3 w=$4 h=$5 file
  file=$(e2e_screenshot colours "$id") || e2e_fail "cannot capture window $id"
  y=$((y + $(e2e_client_offset_y "$id")))
  convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -format '%k %[hex:p{0,0}]' info:
}

# hide_and_show HOW...: the message window hidden by the keys or clicks given, then shown again by
# a left click.
hide_and_show() {
  "$@"
  local deadline=$(($(e2e_now_ms) + 5000))
  until [[ $(colours "$wid" "${band[@]}") == "$background" ]]; do
    (($(e2e_now_ms) > deadline)) && e2e_fail "after $*, the message window shows $(colours "$wid" "${band[@]}"), not the background $background"
    sleep 0.1
  done
  e2e_click "$wid" 320 240
  sleep 0.5
  e2e_wait_shows "$wid" "${head[@]}" "$page" "the page after $* and a click"
}

e2e_make_game erase_message
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${head[@]}"
sleep 0.5
page=$(e2e_region_hash "$wid" "${head[@]}")
background=$(colours "$wid" "${sky[@]}")
[[ $background == 1\ * ]] || e2e_fail "the background is not one colour: $background"
[[ $(colours "$wid" "${band[@]}") != "$background" ]] || e2e_fail "the message window is not shown"

hide_and_show xdotool mousemove --window "$wid" 320 240 click 3
e2e_pass "the right button hides the message window, a click shows the same page again"
hide_and_show e2e_key "$wid" Escape
e2e_pass "Esc hides it as the right button does"

# The page is still the first: the next click goes on to the second.
e2e_click "$wid" 320 240
e2e_wait_changed "$wid" "${head[@]}" "$page"
e2e_key "$wid" alt+F4
box=$(e2e_find_box "$E2E_TITLE_EXIT")
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
e2e_pass "the page hidden and shown twice is still the first one"
