#!/usr/bin/env bash
# A short play-through of the demo game under Wine, as a player: the title screen, the Japanese
# story chosen with its hot key J and its first wipe caught mid-way, pages of text clicked
# through, the selection with hot keys (H takes the hilltop), the falling leaves' transition cut
# short by a click, the bookmark the script saves at dusk, and the bookmark dialog opened from the
# menu command; no script error. Screenshots of each step stay in the work folder; with
# VELMO_DEMO_SHOTS=FOLDER they are also written there as small PNG files (the README shows those
# of docs/).
#
# Arguments: velmo32.exe, the folder of the delivered plug-ins, the message poster.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
# The demo fades the master volume: on a sound server of its own, so that the volume the Windows
# tests of the mixer read stays theirs.
E2E_OWN_SOUND=1
[[ $# -eq 3 ]] || { echo "usage: $0 velmo32.exe PLUGIN_FOLDER post_message.exe" >&2; exit 2; }
plugins=$2
poster=$3
e2e_init "$1"

text=(44 362 552 104) # the text rectangle
title=(160 60 320 90) # the name of the game on the title screen

# shot NAME [WINDOW]: a screenshot of the window (the main window by default), kept as NAME.
shot() {
  local file
  file=$(e2e_screenshot "$1" "${2:-$wid}") || e2e_fail "cannot capture the window for $1"
  if [[ -n ${VELMO_DEMO_SHOTS:-} ]]; then
    mkdir -p "$VELMO_DEMO_SHOTS"
    # The main window at half size; a dialog as it is.
    local scale=50%
    [[ -n ${2:-} ]] && scale=100%
    convert "$file" -resize "$scale" -colors 96 "PNG8:$VELMO_DEMO_SHOTS/demo-$1.png"
  fi
}

# settle X Y W H: waits until the region shows the same picture twice half a second apart.
settle() {
  local before now _
  before=$(e2e_region_hash "$wid" "$@")
  for _ in $(seq 40); do
    sleep 0.5
    now=$(e2e_region_hash "$wid" "$@")
    [[ $now == "$before" ]] && return 0
    before=$now
  done
  e2e_fail "the picture does not settle"
}

# next_page: a click, then the next page of text typed out.
next_page() {
  local before
  before=$(e2e_region_hash "$wid" "${text[@]}")
  e2e_click "$wid" 320 200
  e2e_wait_changed "$wid" "${text[@]}" "$before"
  sleep 3 # a transition may come first
}

E2E_GAME=$E2E_WORK/demo
bash "$E2E_REPO/scripts/make-demo.sh" "$E2E_GAME" "$plugins" || e2e_fail "cannot make the demo game"
cp "$E2E_EXE" "$E2E_GAME/velmo32.exe"

e2e_launch main "$E2E_GAME"
wid=$(e2e_wait_for_window '^ひかりの丘 - VELMO$' "$E2E_WINDOW_TIMEOUT")
e2e_wait_drawn "$wid" "${title[@]}"
settle 0 0 640 480 # the title's wipe ends and the selection waits
shot title
e2e_pass "the title screen"

# J is the hot key of the Japanese story: it starts at once, with a slow wipe from the left.
e2e_key "$wid" J
sleep 1.2
shot transition
before=$(e2e_region_hash "$wid" 0 0 640 480)
sleep 0.3
[[ $(e2e_region_hash "$wid" 0 0 640 480) != "$before" ]] || e2e_fail "no transition runs after J"
e2e_pass "the title's hot key, and a transition mid-way"
sleep 5 # the wipe ends and the first page is typed out

next_page # Mio appears and speaks
shot scene
e2e_pass "a scene with text"

next_page # the indented page
next_page # the instant run
next_page # the question and its options, one per line
shot choice
e2e_pass "the hot-key selection"

# H takes the hilltop: a flash, then the falling leaves, which go on until a click.
e2e_key "$wid" H
sleep 3
before=$(e2e_region_hash "$wid" 0 0 640 300)
sleep 0.5
[[ $(e2e_region_hash "$wid" 0 0 640 300) != "$before" ]] || e2e_fail "the leaves do not fall"
e2e_click "$wid" 320 200
sleep 3
e2e_pass "the particle transition, cut short by a click"

# Two pages on the paths meet at dusk, where the script saves the automatic bookmark.
next_page
next_page
for _ in $(seq 150); do
  [[ -s $E2E_GAME/system/save01.dat ]] && break
  sleep 0.1
done
[[ -s $E2E_GAME/system/save01.dat ]] || e2e_fail "the script saved no bookmark 1 at dusk"
sleep 1.5 # the page after the save is typed out
e2e_pass "the two paths meet, and the script saves bookmark 1"

# The bookmark load dialog, as the menu command しおり → 開く opens it.
wine "$poster" VELMO_WindowClass 0x111 40013 </dev/null >>"$E2E_WORK/poster.log" 2>&1 ||
  e2e_fail "could not post the load command"
dialog=$(e2e_find_box '^しおりを開く - VELMO$')
sleep 0.5
shot bookmarks "$dialog"
e2e_key "$dialog" Escape
e2e_wait_gone "$dialog"
e2e_pass "the bookmark dialog"
# The end, as the program's shutdown message asks for it.
wine "$poster" VELMO_WindowClass 0x404 0 </dev/null >>"$E2E_WORK/poster.log" 2>&1 ||
  e2e_fail "could not post the shutdown"
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "" "script errors in the error log"
e2e_pass "the demo ends without a script error"
