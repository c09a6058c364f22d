#!/usr/bin/env bash
# Screen capture: Alt+S writes the shown picture under an automatic name in the game folder, byte
# for byte the headless player's capture of the same scene, and a second Alt+S a second file. With
# MOUSE RightClick=4 the right button (and Esc, which acts as it) opens the save-file dialog; a
# resume posted while it is open runs no script line until it closes; the file chosen in another
# folder holds the same picture, and the script still finds its files in the game folder (browsing
# the dialog into another folder moves the working folder unless the engine prevents it).
#
# Arguments: velmo32.exe, the headless player (velmo-run of the host build), the message poster.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 3 ]] || { echo "usage: $0 velmo32.exe velmo-run post_message.exe" >&2; exit 2; }
player=$2
poster=$3
[[ -x $player ]] || { echo "no headless player at $player (build the host preset first)" >&2; exit 2; }
e2e_init "$1"

e2e_make_game capture
mkdir -p "$E2E_GAME/cg"
convert -size 640x480 gradient:'#2060c0'-'#f0d040' -type TrueColor "BMP3:$E2E_GAME/cg/bg.bmp"
convert -size 200x150 gradient:'#ff2020'-'#20ff20' -fill '#2020ff' -draw 'rectangle 50,30 150,120' \
  -type TrueColor "BMP3:$E2E_GAME/cg/sprite.bmp"
expected=$E2E_WORK/expected.bmp
"$player" --capture "$expected" "$E2E_GAME" >"$E2E_WORK/transcript.txt" 2>&1 || true
[[ -f $expected ]] || e2e_fail "the headless player wrote no capture: $(cat "$E2E_WORK/transcript.txt")"
rm -f "$E2E_GAME"/system/save*.dat "$E2E_GAME"/system/error.log
mkdir "$E2E_GAME/pictures"

# The automatic captures in the game folder, one a line.
captures() { find "$E2E_GAME" -maxdepth 1 -regextype posix-extended -regex '.*/[0-9]{8}-[0-9]{6}-[0-9]{3}\.bmp' | sort; }

# wait_for_captures N: until there are N automatic captures.
wait_for_captures() {
  local deadline=$(($(e2e_now_ms) + 10000))
  while (($(captures | wc -l) < $1)); do
    (($(e2e_now_ms) > deadline)) && e2e_fail "$(captures | wc -l) automatic captures, not $1"
    sleep 0.1
  done
}

# same_file FILE WHAT: FILE equals the headless player's capture, byte for byte.
same_file() { cmp -s "$1" "$expected" || e2e_fail "$2 differs from the headless player's capture"; }

e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" 0 0 640 480
sleep 0.5

# Alt+S, twice.
e2e_key "$wid" alt+s
wait_for_captures 1
e2e_key "$wid" alt+s
wait_for_captures 2
while IFS= read -r file; do same_file "$file" "$(basename "$file")"; done < <(captures)
e2e_pass "Alt+S writes the shown picture under a new automatic name each time"

# The right button opens the dialog; cancelled, it writes nothing.
title='^取込画像の保存 \.\.\.$'
xdotool mousemove --window "$wid" 320 240 click 3
dialog=$(e2e_find_box "$title")
e2e_key "$dialog" Escape
e2e_wait_gone "$dialog"

# Esc opens it too. While it is open, resumes posted for any wait are held.
e2e_key "$wid" Escape
dialog=$(e2e_find_box "$title")
wine "$poster" VELMO_WindowClass 0x403 0 1 2 3 4 5 6 7 8 </dev/null >>"$E2E_WORK/poster.log" 2>&1 ||
  e2e_fail "could not post to the main window"
sleep 1.5
! e2e_window_shown "$E2E_TITLE_ERROR" || e2e_fail "a script line ran while the capture dialog was open"
# Into the folder first, as a player browses, then the name.
xdotool windowfocus --sync "$dialog"
xdotool type --delay 30 pictures
sleep 0.5
xdotool key Return
sleep 0.5
xdotool type --delay 30 chosen
sleep 0.5
xdotool key Return
deadline=$(($(e2e_now_ms) + 10000))
until [[ -f $E2E_GAME/pictures/chosen.bmp ]]; do
  (($(e2e_now_ms) > deadline)) && e2e_fail "no pictures/chosen.bmp: $(find "$E2E_GAME" -name '*.bmp')"
  sleep 0.1
done
e2e_wait_gone "$dialog"
same_file "$E2E_GAME/pictures/chosen.bmp" "the file chosen in the dialog"
e2e_pass "the dialog's capture holds the shown picture, and no script line ran while it was open"

# The held resume ends the wait once the dialog is closed; the script then finds its picture and
# writes its bookmark in the game folder.
box=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$box" no
box=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$box")
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
expected_records="未定義のエラー|system\\startup.scx|9行目 ()|after-wait
未定義のエラー|system\\startup.scx|12行目 ()|files-found"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "$expected_records" "error.log records"
[[ -f $E2E_GAME/system/save01.dat ]] || e2e_fail "the bookmark is not in the game's system folder"
e2e_pass "after the dialog, the script's files are still those of the game folder"
