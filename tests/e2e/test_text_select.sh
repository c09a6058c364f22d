#!/usr/bin/env bash
# Two pages of Japanese text and a selection. The pages are typed into the text rectangle and wait
# for a click with the page marker blinking; the selection is then chosen with the keyboard (Down
# twice and Enter: the second option) in one run and with the mouse (the first option) in
# another, and each branch leaves its own record in the error log.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

rect=(40 300 560 150) # the text rectangle
head=(40 300 90 30)   # its first characters, away from the page marker

# read_pages WID: checks the two pages and leaves the game waiting in its selection.
read_pages() {
  local wid=$1 first hashes=() hash _
  e2e_wait_drawn "$wid" "${rect[@]}"
  sleep 1 # the rest of the page is typed out
  first=$(e2e_region_hash "$wid" "${head[@]}")
  # The marker blinks at the end of the page: the rectangle shows more than one picture.
  for _ in $(seq 8); do
    hashes+=("$(e2e_region_hash "$wid" "${rect[@]}")")
    sleep 0.1
  done
  [[ $(printf '%s\n' "${hashes[@]}" | sort -u | wc -l) -ge 2 ]] || e2e_fail "the page marker does not blink"
  e2e_assert_eq "$(e2e_region_hash "$wid" "${head[@]}")" "$first" "the first page stays while nobody clicks"
  e2e_screenshot first-page "$wid" >/dev/null
  # A click clears the page and types the second one.
  e2e_click "$wid" 320 200
  e2e_wait_changed "$wid" "${head[@]}" "$first"
  sleep 1
  e2e_screenshot second-page "$wid" >/dev/null
  local second
  second=$(e2e_region_hash "$wid" "${head[@]}")
  # The next click shows the question and the options.
  e2e_click "$wid" 320 200
  e2e_wait_changed "$wid" "${head[@]}" "$second"
  sleep 1
  e2e_screenshot selection "$wid" >/dev/null
}

# branch_record GAME: the record the chosen branch left.
branch_record() { e2e_error_records "$1" | awk -F'|' '{ print $4 }'; }

# 1. The keyboard: Down highlights the first option, Down again the second, Enter chooses it.
e2e_make_game text_select keys
e2e_launch keys "$E2E_GAME"
wid=$(e2e_find_window)
read_pages "$wid"
e2e_key "$wid" Down
e2e_key "$wid" Down
sleep 0.3
e2e_screenshot second-highlighted "$wid" >/dev/null
e2e_key "$wid" Return
box=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$box" yes
e2e_wait_exit keys >/dev/null
e2e_assert_eq "$(branch_record "$E2E_GAME")" "west" "the branch taken with the keyboard"
e2e_pass "pages, marker, and the second option chosen with the keyboard"

# 2. The mouse: a click on the first option, on the line below the question.
e2e_make_game text_select mouse
e2e_launch mouse "$E2E_GAME"
wid=$(e2e_find_window)
read_pages "$wid"
e2e_click "$wid" 70 336
box=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$box" yes
e2e_wait_exit mouse >/dev/null
e2e_assert_eq "$(branch_record "$E2E_GAME")" "east" "the branch taken with the mouse"
e2e_pass "the first option chosen with the mouse"
