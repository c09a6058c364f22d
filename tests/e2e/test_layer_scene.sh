#!/usr/bin/env bash
# A scene of pictures composed from layers: what velmo32.exe shows in its window equals, pixel for
# pixel, the picture the headless player composes from the same game. Then the same scene with a
# plug-in filter over the window band (the fixture's filter inverts every byte), and transitions:
# the fixture plug-in's wipe and the built-in dissolve run their frames and end on the new picture.
#
# Arguments: velmo32.exe, the headless player (velmo-run of the host build), the fixture plug-in.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 3 ]] || { echo "usage: $0 velmo32.exe velmo-run test_me.vpx" >&2; exit 2; }
player=$2
fixture=$3
[[ -x $player ]] || { echo "no headless player at $player (build the host preset first)" >&2; exit 2; }
e2e_init "$1"

# The game's pictures, as 24-bit BMP files.
make_pictures() {
  local cg=$1/cg
  mkdir -p "$cg"
  convert -size 640x480 gradient:'#2060c0'-'#f0d040' -type TrueColor "BMP3:$cg/bg.bmp"
  convert -size 160x120 xc:'#ff00ff' -fill '#20e060' -draw 'circle 80,60 80,10' \
    -fill '#000000' -draw 'rectangle 10,10 40,40' -type TrueColor "BMP3:$cg/key.bmp"
  convert -size 200x150 gradient:'#ff2020'-'#20ff20' -fill '#2020ff' -draw 'rectangle 50,30 150,120' \
    -type TrueColor "BMP3:$cg/sprite.bmp"
  convert -size 200x150 gradient:white-black -type TrueColor "BMP3:$cg/mask.bmp"
  convert -size 600x120 xc:'#e0e0ff' -fill '#303080' -draw 'rectangle 8,8 591,111' -type TrueColor \
    "BMP3:$cg/frame.bmp"
}

# play_headless GAME OUT_DIR: the headless player's frames (0001.bmp, ...) of the game.
play_headless() {
  mkdir -p "$2"
  "$player" --frames "$2" "$1" >"$2/transcript.txt" 2>&1 || true
  [[ -f $2/0001.bmp ]] || e2e_fail "the headless player wrote no frame: $(cat "$2/transcript.txt")"
}

# differing_pixels A B [CROP]: how many pixels of the two pictures differ (in the crop geometry).
differing_pixels() {
  local crop=${3:-640x480+0+0}
  convert "$1" -crop "$crop" +repage "$E2E_WORK/a.png"
  convert "$2" -crop "$crop" +repage "$E2E_WORK/b.png"
  compare -metric AE "$E2E_WORK/a.png" "$E2E_WORK/b.png" null: 2>&1 || true
}

# 1. The scene.
e2e_make_game layer_scene
make_pictures "$E2E_GAME"
expected=$E2E_WORK/expected-scene
play_headless "$E2E_GAME" "$expected"
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_for_picture "$wid" "$expected/0001.bmp" "the composed scene"
e2e_kill main
e2e_pass "the window shows the headless player's picture"

# 2. A filter over the window band inverts all that lies below it.
e2e_make_game layer_scene filter
make_pictures "$E2E_GAME"
cp "$fixture" "$E2E_GAME/system/test_me.vpx"
sed -e 's/^@UpdateScreen$/@LoadFilter 5 NEGATE\n@UpdateScreen/' "$E2E_DIR/games/layer_scene/system/startup.scx.txt" \
  >"$E2E_WORK/filter.txt"
e2e_scramble "$E2E_WORK/filter.txt" "$E2E_GAME/system/startup.scx"
convert "$expected/0001.bmp" -negate "$E2E_WORK/negated.png"
e2e_launch filter "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_for_picture "$wid" "$E2E_WORK/negated.png" "the scene under the filter"
e2e_kill filter
e2e_pass "a filter layer changes the composed band in place"

# 3. Transitions: the plug-in's wipe from the top in bands of 120 rows, then the built-in dissolve
# back, both slowed down so that their frames can be seen.
e2e_make_game layer_scene transitions
make_pictures "$E2E_GAME"
cp "$fixture" "$E2E_GAME/system/test_me.vpx"
cat >"$E2E_WORK/transitions.txt" <<'SCENARIO'
@AssignLayer 4 2 2
@LoadLayer 0 cg\\bg.bmp
@UpdateScreen NOFADE
@Wait TIME=2500
@SetTransition TESTWIPE WAIT=700
@LoadLayer 1 cg\\key.bmp 200 100
@Layer 1 TRANSPARENT
@LoadLayer 2 cg\\sprite.bmp 300 330
@UpdateScreen
@Wait TIME=2500
@DiscardLayer 1
@DiscardLayer 2
@UpdateScreen TYPE=NOSUCHTRANSITION WAIT=500
@Wait TIME=60000
SCENARIO
e2e_scramble "$E2E_WORK/transitions.txt" "$E2E_GAME/system/startup.scx"
frames=$E2E_WORK/expected-transitions
play_headless "$E2E_GAME" "$frames"
[[ -f $frames/0003.bmp ]] || e2e_fail "the headless player did not show three pictures"
old=$frames/0001.bmp
new=$frames/0002.bmp
e2e_launch transitions "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_for_picture "$wid" "$old" "the first picture"

# The wipe: a frame with the new top band over the old bottom rows, then the whole new picture.
deadline=$(($(e2e_now_ms) + 15000))
seen_wipe=0
for (( ; ; )); do
  shot=$(e2e_client_shot "$wid" wipe)
  if [[ $(differing_pixels "$shot" "$new") == 0 ]]; then break; fi
  if [[ $(differing_pixels "$shot" "$new" 640x120+0+0) == 0 && $(differing_pixels "$shot" "$old" 640x120+0+360) == 0 ]]; then
    seen_wipe=1
  fi
  (($(e2e_now_ms) > deadline)) && e2e_fail "the wipe did not end on the new picture (see $shot)"
  sleep 0.1
done
((seen_wipe)) || e2e_fail "no frame of the plug-in's wipe was seen"
e2e_pass "the plug-in's transition ran its frames and ended on the new picture"

# The built-in dissolve: frames that are neither picture, then the first picture again.
deadline=$(($(e2e_now_ms) + 15000))
seen_mix=0
for (( ; ; )); do
  shot=$(e2e_client_shot "$wid" dissolve)
  if [[ $(differing_pixels "$shot" "$old") == 0 ]]; then break; fi
  [[ $(differing_pixels "$shot" "$new") != 0 ]] && seen_mix=1
  (($(e2e_now_ms) > deadline)) && e2e_fail "the dissolve did not end on the first picture (see $shot)"
  sleep 0.1
done
((seen_mix)) || e2e_fail "no frame of the built-in dissolve was seen"
e2e_kill transitions
e2e_pass "the built-in transition ran its frames and ended on the new picture"
