#!/usr/bin/env bash
# Without a settings file, shutdown writes system\VELMO.ini with every written key at its default
# (and no SYSTEM section); values changed in the file survive the next run; the temp folder
# exists while the program runs and is gone afterwards.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

band=(24 376 592 92)

# Plays the game once (sets $placed to the window's "X Y W H" on the screen): the line is shown, the temp folder exists, a click ends through @Exit.
play_once() {
  e2e_remove_stale_temp_folder
  e2e_launch "$1" "$E2E_GAME"
  local wid box rc
  wid=$(e2e_find_window)
  e2e_wait_drawn "$wid" "${band[@]}"
  placed=$(e2e_geometry "$wid")
  e2e_temp_folder_exists || e2e_fail "no temp folder while the program runs (looked for: $(e2e_temp_folders | tr '\n' ' '))"
  box=$(e2e_click_until "$wid" 320 240 "$E2E_TITLE_FATAL")
  e2e_answer "$box" ok
  rc=$(e2e_wait_exit "$1")
  e2e_assert_eq "$rc" 0 "exit status of $1"
  ! e2e_temp_folder_exists || e2e_fail "the temp folder is still there after $1"
}

# Prints "[SECTION]" and "KEY" lines of INI text in file order (values left out).
ini_keys() { awk -F= '{ print $1 }' <<<"$1"; }

e2e_make_game settings_file
[[ ! -e $E2E_GAME/system/VELMO.ini ]] || e2e_fail "the template has a settings file"

# Run 1: the defaults.
play_once first
ini=$(e2e_settings "$E2E_GAME")
e2e_log "written settings:"$'\n'"$ini"
e2e_assert_not_contains "$ini" "[SYSTEM]" "settings file"
expected_keys="[GENERAL]
Transition
Effect
AutoSelect
NativeCode
[MESSAGE]
Speed
AutoMode
[MCI]
EnbaleMIDI
EnbaleCDDA
EnbaleSE
EnbaleVOICE
EnbaleAVI
EnbaleMMX
EnableFade
CDROM
[MOUSE]
RightClick
[FONT]
FaceName
FixedPitch
ForceUserFont
[WINDOW]
PositionX
PositionY
FullScreen
WindowScale
FullScreenScaling
ChangeDisplayMode"
e2e_assert_eq "$(ini_keys "$ini" | sort)" "$(sort <<<"$expected_keys")" "sections and keys of the settings file"

# Wine has no MIDI device; with the PulseAudio sink it has wave devices, without it none (2).
wave=2
[[ $E2E_SOUND == 1 ]] && wave=1
check() { e2e_assert_eq "$(e2e_ini_value "$ini" "$1" "$2")" "$3" "[$1] $2"; }
check GENERAL Transition 1
check GENERAL Effect 1
check GENERAL AutoSelect 1
check GENERAL NativeCode 1
check MESSAGE Speed 5
check MESSAGE AutoMode 0
check MCI EnbaleMIDI 2
check MCI EnbaleCDDA 1
check MCI EnbaleSE "$wave"
check MCI EnbaleVOICE "$wave"
check MCI EnbaleAVI 1
check MCI EnbaleMMX 1
check MCI EnableFade 1
check MCI CDROM 65
check MOUSE RightClick 0
check FONT FaceName "ＭＳ ゴシック"
check FONT FixedPitch 1
check FONT ForceUserFont 0
check WINDOW FullScreen 0
check WINDOW WindowScale 1
check WINDOW FullScreenScaling 0
check WINDOW ChangeDisplayMode 0
# The window was centred on the 1024 x 768 screen: its left and top edge are on the screen.
for key in PositionX PositionY; do
  value=$(e2e_ini_value "$ini" WINDOW "$key")
  if ! [[ $value =~ ^[0-9]+$ ]] || ((value <= 0 || value >= 400)); then
    e2e_fail "[WINDOW] $key=$value is not a centred position"
  fi
done

# How far the client area lies from the window's left and top edge.
read -r client_x client_y _ <<<"$placed"
dx=$((client_x - $(e2e_ini_value "$ini" WINDOW PositionX)))
dy=$((client_y - $(e2e_ini_value "$ini" WINDOW PositionY)))

# Run 2: changed values survive, and the window opens at the stored place.
perl -pi -e 's/^Speed=\d+/Speed=9/; s/^CDROM=\d+/CDROM=81/; s/^PositionX=-?\d+/PositionX=100/; s/^PositionY=-?\d+/PositionY=50/' \
  "$E2E_GAME/system/VELMO.ini"
play_once second
read -r client_x client_y _ <<<"$placed"
e2e_assert_eq "$client_x,$client_y" "$((100 + dx)),$((50 + dy))" "client origin of a window stored at 100,50"
ini=$(e2e_settings "$E2E_GAME")
check MESSAGE Speed 9
check MCI CDROM 81
check WINDOW PositionX 100
check WINDOW PositionY 50
check GENERAL Transition 1
check FONT FaceName "ＭＳ ゴシック"
e2e_assert_not_contains "$ini" "[SYSTEM]" "settings file after the second run"
e2e_pass "settings file written with defaults, changed values kept, temp folder removed"
