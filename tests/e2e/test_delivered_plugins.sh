#!/usr/bin/env bash
# The delivered plug-ins in velmo32.exe: what its window shows equals, pixel for pixel, the
# pictures of the headless player, which runs the same plug-ins compiled in. BLIND_H and KICK are
# slowed down so that their first frame can be seen, and that frame is checked too (worked out
# from the headless player's pictures: BLIND_H's first strips of the new picture over the old
# one; KICK's first jump from a fresh load, (7, -19), over black); then the MONOTONE filter.
# SEASON_SNOW never ends by itself: once skipping is enabled a click ends it, and the last frame
# with its snow stays on the screen.
#
# Arguments: velmo32.exe, the headless player (velmo-run of the host build), bandwipe.vpx,
# basicfx.vpx, weatherfx.vpx.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 5 ]] || { echo "usage: $0 velmo32.exe velmo-run bandwipe.vpx basicfx.vpx weatherfx.vpx" >&2; exit 2; }
player=$2
plugins=("$3" "$4" "$5")
[[ -x $player ]] || { echo "no headless player at $player (build the host preset first)" >&2; exit 2; }
e2e_init "$1"

# make_game CASE NAME: the game with its pictures and the three plug-ins.
make_game() {
  e2e_make_game "$1" "$2"
  mkdir -p "$E2E_GAME/cg"
  convert -size 640x480 gradient:'#2060c0'-'#f0d040' -fill '#c03030' -draw 'circle 200,240 200,120' \
    -type TrueColor "BMP3:$E2E_GAME/cg/a.bmp"
  convert -size 640x480 gradient:'#10a040'-'#e0e0ff' -fill '#402080' -draw 'rectangle 300,100 560,380' \
    -type TrueColor "BMP3:$E2E_GAME/cg/b.bmp"
  cp "${plugins[@]}" "$E2E_GAME/system/"
}

# differing_pixels A B: how many pixels of the two pictures differ.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# 1. The scene played by the headless player: its pictures after each @UpdateScreen (the old
# picture, BLIND_H's end, KICK's end, the filtered one) and the picture it ends on.
make_game delivered_plugins scene
expected=$E2E_WORK/expected
mkdir -p "$expected"
"$player" --frames "$expected" --capture "$expected/capture.bmp" "$E2E_GAME" >"$expected/transcript.txt" 2>&1 || true
[[ -f $expected/0004.bmp ]] || e2e_fail "the headless player did not show four pictures: $(cat "$expected/transcript.txt")"
old=$expected/0001.bmp
new=$expected/0002.bmp
e2e_assert_eq "$(differing_pixels "$expected/0003.bmp" "$old")" 0 "KICK ends on the old picture again"
e2e_assert_eq "$(differing_pixels "$expected/capture.bmp" "$expected/0004.bmp")" 0 "the capture is the last picture"
[[ $(differing_pixels "$expected/0004.bmp" "$old") != 0 ]] || e2e_fail "the headless player did not filter"

# BLIND_H with period 20 and strips of 10: frame 1 shows rows 10-19 of every 20 from the new picture.
strips=()
for ((y = 10; y < 480; y += 20)); do strips+=(-draw "rectangle 0,$y 639,$((y + 9))"); done
convert -size 640x480 xc:black -fill white "${strips[@]}" "$E2E_WORK/strips.png"
convert "$old" "$new" "$E2E_WORK/strips.png" -composite "$E2E_WORK/blind1.png"
# KICK: the old picture, as the new one of that transition, at (7, -19) over black.
convert -size 640x480 xc:black "$old" -geometry +7-19 -composite "$E2E_WORK/kick1.png"

e2e_launch scene "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_for_picture "$wid" "$old" "the first picture"
e2e_wait_for_picture "$wid" "$E2E_WORK/blind1.png" "BLIND_H's first frame" 10
e2e_wait_for_picture "$wid" "$new" "BLIND_H's end" 10
e2e_pass "BLIND_H: its first frame and its end are the headless player's"
e2e_wait_for_picture "$wid" "$E2E_WORK/kick1.png" "KICK's first frame" 10
e2e_wait_for_picture "$wid" "$old" "KICK's end" 10
e2e_pass "KICK: its first jump from a fresh load and its end are the headless player's"
e2e_wait_for_picture "$wid" "$expected/capture.bmp" "the MONOTONE filter" 10
e2e_kill scene
e2e_pass "MONOTONE: the filtered scene is the headless player's capture"

# 2. SEASON_SNOW over the new picture, then a pause and the end of the game.
make_game delivered_plugins snow
cat >"$E2E_WORK/snow.txt" <<'SCENARIO'
@AssignLayer 4 2 2
@LoadLayer 0 cg\\a.bmp
@UpdateScreen NOFADE
@EnableSkip
@LoadLayer 0 cg\\b.bmp
@UpdateScreen TYPE=SEASON_SNOW
@Wait TIME=4000
@Exit
SCENARIO
e2e_scramble "$E2E_WORK/snow.txt" "$E2E_GAME/system/startup.scx"
convert "$E2E_GAME/cg/b.bmp" "$E2E_WORK/b.png"
e2e_launch snow "$E2E_GAME"
wid=$(e2e_find_window)
# The snow falls: pictures that are neither the new picture nor one another, for seconds on end.
first=$(e2e_client_shot "$wid" snow-a)
e2e_expect_running snow 3000
second=$(e2e_client_shot "$wid" snow-b)
[[ $(differing_pixels "$first" "$second") != 0 ]] || e2e_fail "the snow does not move"
[[ $(differing_pixels "$second" "$E2E_WORK/b.png") != 0 ]] || e2e_fail "no snow over the new picture"
e2e_pass "SEASON_SNOW runs on without ending by itself"
# A click ends it; the last frame stays while the game waits, then the game ends (@Exit ends
# through its report).
e2e_click "$wid" 320 240
deadline=$(($(e2e_now_ms) + 3000))
for (( ; ; )); do
  sleep 0.5
  before=$(e2e_client_shot "$wid" still-a)
  sleep 0.5
  after=$(e2e_client_shot "$wid" still-b)
  [[ $(differing_pixels "$before" "$after") == 0 ]] && break
  (($(e2e_now_ms) > deadline)) && e2e_fail "the snow still moves after the click"
done
[[ $(differing_pixels "$after" "$E2E_WORK/b.png") != 0 ]] || e2e_fail "the last frame's snow did not stay"
box=$(e2e_find_box "$E2E_TITLE_FATAL" 10)
e2e_answer "$box" ok
e2e_assert_eq "$(e2e_wait_exit snow)" 0 "the game's exit status"
e2e_pass "a click ends SEASON_SNOW once skipping is enabled, and its last frame stays"
