#!/usr/bin/env bash
# The reading aids in the real program. The flashback: on the second page (a picture of its own),
# the wheel turned up shows the first page as it was (its picture and its text), the wheel down
# returns to the second page, and the game did not go on meanwhile. Auto mode: after the key A,
# the second and third pages come without a click, and the setting is kept in VELMO.ini.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

picture=(0 0 640 280) # the background above the text rectangle
head=(40 300 90 30)   # the first characters of a page, away from the page marker

# make_game TAG: the game with a picture for each page.
make_game() {
  e2e_make_game reading_aids "$1"
  mkdir -p "$E2E_GAME/cg"
  convert -size 640x480 gradient:'#2060c0'-'#f0d040' -type TrueColor "BMP3:$E2E_GAME/cg/first.bmp"
  convert -size 640x480 radial-gradient:'#f08080'-'#402040' -type TrueColor "BMP3:$E2E_GAME/cg/second.bmp"
  convert -size 640x480 gradient:'#20a040'-'#102010' -type TrueColor "BMP3:$E2E_GAME/cg/third.bmp"
}

# wheel WID BUTTON: the wheel turned one notch with the cursor over the window (4 up, 5 down).
wheel() { xdotool mousemove --window "$1" 320 200 click "$2" || e2e_fail "cannot turn the wheel over $1"; }

# page WID: a signature of the page shown (its picture and its first characters).
page() { echo "$(e2e_region_hash "$1" "${picture[@]}") $(e2e_region_hash "$1" "${head[@]}")"; }

# 1. The wheel and the flashback.
make_game wheel
e2e_launch wheel "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${head[@]}"
sleep 1 # the page is typed out
first=$(page "$wid")
e2e_click "$wid" 320 200
e2e_wait_changed "$wid" "${head[@]}" "${first#* }"
sleep 1
second=$(page "$wid")
[[ ${second% *} != "${first% *}" ]] || e2e_fail "the second page shows the first page's picture"

wheel "$wid" 4
e2e_wait_changed "$wid" "${picture[@]}" "${second% *}"
sleep 0.3
e2e_assert_eq "$(page "$wid")" "$first" "the page the wheel turned up shows"
e2e_screenshot flashback "$wid" >/dev/null
wheel "$wid" 4 # no older page: it stays
sleep 0.3
e2e_assert_eq "$(page "$wid")" "$first" "the page shown after a second turn up, with no older page"
wheel "$wid" 5
e2e_wait_changed "$wid" "${picture[@]}" "${first% *}"
sleep 0.3
e2e_assert_eq "$(page "$wid")" "$second" "the page the wheel turned down returns to"
sleep 1
e2e_assert_eq "$(page "$wid")" "$second" "the page after the flashback, with nobody clicking"
e2e_pass "the wheel up shows the first page's picture and text, the wheel down returns"

# The wheel turned down on the page advances as a click: the third page, then the script's end.
wheel "$wid" 5
e2e_wait_changed "$wid" "${picture[@]}" "${second% *}"
sleep 1
report=$(e2e_click_until "$wid" 320 200 "$E2E_TITLE_ERROR")
e2e_answer "$report" yes
e2e_wait_exit wheel >/dev/null
e2e_pass "the wheel down advances as a click"

# 2. Auto mode: the key A on the first page; the pages go on by themselves to the script's end.
make_game auto
e2e_launch auto "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${head[@]}"
first=$(page "$wid")
e2e_key "$wid" a
# Pages of 11 characters at the fastest text speed wait 1.33 s each.
report=$(e2e_find_box "$E2E_TITLE_ERROR" 15)
e2e_answer "$report" yes
e2e_wait_exit auto >/dev/null
records=$(e2e_error_records "$E2E_GAME")
e2e_assert_contains "$records" "|end" "the record the script's end leaves"
e2e_assert_eq "$(e2e_ini_value "$(e2e_settings "$E2E_GAME")" MESSAGE AutoMode)" 1 "MESSAGE AutoMode in VELMO.ini"
e2e_pass "auto mode turns two pages without a click and is kept in VELMO.ini"
