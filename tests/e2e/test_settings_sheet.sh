#!/usr/bin/env bash
# The settings sheet 環境設定 - VELMO and the about box, opened by the menu commands (posted to the
# main window as the menu posts them), over three runs of one game whose settings file holds values
# that a page would write back otherwise (Effect=7, Speed=99, EnableFade=5, RightClick=9):
#   1. the sheet opens on every page (screenshots of each), the box 画面切替え時のｱﾆﾒｰｼｮﾝ is changed
#      and the sheet cancelled: VELMO.ini after shutdown holds every value as it was;
#   2. the same change and OK on the first page only: Transition=0 and the page's Effect=1 are
#      written, the pages never shown write nothing (Speed, EnableFade, RightClick as they were);
#   3. every page shown, then OK: the message page writes its speed (99 shown as 10), the
#      multimedia page its boxes (the game has CD track files, so CD audio stays on, and the fade
#      box shows 5 as unchecked and writes 0), the mouse page keeps a value it has no button for.
# The about box shows the version line and closes through its close box only.
#
# Arguments: velmo32.exe, the message poster.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 2 ]] || { echo "usage: $0 velmo32.exe post_message.exe" >&2; exit 2; }
poster=$2
e2e_init "$1"

sheet_title='^環境設定 - VELMO$'
about_title='^VELMO について \.\.\.$'
band=(24 376 592 92)
pages=(動作 メッセージ フォント マウス マルチメディア プラグイン)

# Starts the game and waits for its text.
start() {
  e2e_launch "$1" "$E2E_GAME"
  wid=$(e2e_find_window)
  e2e_wait_drawn "$wid" "${band[@]}"
}

# Ends the game through 終了 and its question; the settings are written at shutdown.
finish() {
  e2e_post_command "$poster" 40001
  local box
  box=$(e2e_find_box "$E2E_TITLE_EXIT")
  e2e_answer "$box" yes
  e2e_assert_eq "$(e2e_wait_exit "$1")" 0 "exit status of $1"
  ini=$(e2e_settings "$E2E_GAME")
}

open_sheet() {
  e2e_post_command "$poster" 40008
  sheet=$(e2e_find_box "$sheet_title")
  sleep 0.5
}

# Shows each page after the first in turn, with a screenshot of each: a click on the first page's
# tab (the selected tab, in the lower of the two rows of tabs) gives the tabs the keyboard, then
# the right arrow selects the next page.
visit_pages() {
  local name
  e2e_screenshot "sheet-${pages[0]}" "$sheet" >/dev/null
  xdotool mousemove --window "$sheet" 60 36 click 1
  sleep 0.3
  for name in "${pages[@]:1}"; do
    e2e_key "$sheet" Right
    sleep 0.6
    e2e_screenshot "sheet-$name" "$sheet" >/dev/null
  done
}

# check KEY SECTION EXPECTED WHAT
check() { e2e_assert_eq "$(e2e_ini_value "$ini" "$1" "$2")" "$3" "$1 $2 $4"; }

e2e_make_game dialogs

# Run 1: every page, a change, Cancel.
start first
open_sheet
e2e_key "$sheet" alt+t
visit_pages
e2e_key "$sheet" Escape
e2e_wait_gone "$sheet"
# The about box: Esc does not close it, its close box does.
e2e_post_command "$poster" 40009
about=$(e2e_find_box "$about_title")
sleep 0.5
e2e_screenshot about "$about" >/dev/null
e2e_key "$about" Escape
sleep 0.5
e2e_viewable "$about" || e2e_fail "Esc closed the about box"
e2e_key "$about" alt+F4
e2e_wait_gone "$about"
finish first
check GENERAL Transition 1 "after Cancel"
check GENERAL Effect 7 "after Cancel"
check MESSAGE Speed 99 "after Cancel"
check MCI EnableFade 5 "after Cancel"
check MCI EnbaleCDDA 1 "after Cancel (the game has its own CD tracks)"
check MOUSE RightClick 9 "after Cancel"
e2e_pass "the sheet opens on every page, and Cancel changes nothing"

# Run 2: a change on the first page, OK.
start second
open_sheet
e2e_key "$sheet" alt+t
e2e_key "$sheet" Return
e2e_wait_gone "$sheet"
finish second
check GENERAL Transition 0 "after OK on the first page"
check GENERAL Effect 1 "after OK on the first page"
check GENERAL AutoSelect 1 "after OK on the first page"
check MESSAGE Speed 99 "after OK on the first page (the message page was never shown)"
check MCI EnableFade 5 "after OK on the first page (the multimedia page was never shown)"
check MOUSE RightClick 9 "after OK on the first page"
e2e_pass "OK writes the page that was shown and no other"

# Run 3: every page, OK.
start third
open_sheet
visit_pages
e2e_key "$sheet" Return
e2e_wait_gone "$sheet"
finish third
check GENERAL Transition 0 "after OK on every page"
check MESSAGE Speed 10 "after OK on every page"
check MCI EnableFade 0 "after OK on every page"
check MCI EnbaleCDDA 1 "after OK on every page"
check MCI EnbaleSE 1 "after OK on every page"
check MOUSE RightClick 9 "after OK on every page"
e2e_pass "OK writes every page that was shown"
