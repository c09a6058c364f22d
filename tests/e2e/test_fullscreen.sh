#!/usr/bin/env bash
# Full screen without a change of display mode, on the screen the test is given (E2E_SCREEN):
# the window covers the whole screen, the picture is the headless player's picture scaled by the
# largest whole factor, pixel for pixel, centred with black bars around it (with "smooth",
# FullScreenScaling=1: scaled to fill the screen's height or width, close to a smooth resize of
# it; with "window2": not full screen but a window at WindowScale=2, its client area 1280 x 960);
# the selection puts the cursor on its first option through the scaling, and a click on the second
# option's scaled place chooses the second option.
#
# Arguments: velmo32.exe, the headless player (velmo-run of the host build), optionally smooth or
# window2.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 2 || ($# -eq 3 && ($3 == smooth || $3 == window2)) ]] ||
  { echo "usage: $0 velmo32.exe velmo-run [smooth|window2]" >&2; exit 2; }
player=$2
mode=${3:-sharp}
[[ -x $player ]] || { echo "no headless player at $player (build the host preset first)" >&2; exit 2; }
e2e_init "$1"

read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
scale=$((screen_w / 640 < screen_h / 480 ? screen_w / 640 : screen_h / 480))
width=$((640 * scale))
height=$((480 * scale))
if [[ $mode == window2 ]]; then
  scale=2 width=1280 height=960
elif [[ $mode == smooth ]]; then
  # As large as fits with the picture's 4:3.
  if ((screen_w * 480 <= screen_h * 640)); then
    width=$screen_w height=$((screen_w * 480 / 640))
  else
    width=$((screen_h * 640 / 480)) height=$screen_h
  fi
fi
left=$(((screen_w - width) / 2))
top=$(((screen_h - height) / 2))
e2e_log "screen ${screen_w}x${screen_h}: the picture ${width}x$height at $left,$top"

# The text layer's top-left corner in the picture: the question is its first line, the options
# the lines below (their height is the font's, as the system measures it).
text_left=40
text_top=300

# The screen pixels [first, last] that show picture pixel AT of SIZE screen pixels for PICTURE
# ones; their middle.
block_middle() {
  local first=$((($1 * $2 + $3 - 1) / $3)) last=$(((($1 + 1) * $2 + $3 - 1) / $3 - 1))
  ((last < first)) && last=$first
  echo $((first + (last - first) / 2))
}
# The screen pixel that shows picture pixel (x, y): the middle of its block.
on_screen() { echo $((left + $(block_middle "$1" "$width" 640))) $((top + $(block_middle "$2" "$height" 480))); }

e2e_make_game fullscreen
case $mode in
  smooth) printf 'FullScreenScaling=1\r\n' >>"$E2E_GAME/system/VELMO.ini" ;;
  window2) printf '[WINDOW]\r\nFullScreen=0\r\nWindowScale=2\r\n' >"$E2E_GAME/system/VELMO.ini" ;;
esac
mkdir -p "$E2E_GAME/cg"
# Thin lines and single pixels: a picture that was smoothed or shifted would not match.
convert -size 640x480 gradient:'#2060c0'-'#f0d040' -fill '#ff0000' -draw 'line 0,0 639,299' \
  -fill '#00ff00' -draw 'point 1,1' -draw 'point 638,298' -fill '#000000' -draw 'rectangle 100,50 101,250' \
  -type TrueColor "BMP3:$E2E_GAME/cg/bg.bmp"

expected=$E2E_WORK/expected
mkdir -p "$expected"
"$player" --frames "$expected" "$E2E_GAME" >"$expected/transcript.txt" 2>&1 || true
[[ -f $expected/0001.bmp ]] || e2e_fail "the headless player wrote no frame: $(cat "$expected/transcript.txt")"
# The picture above the text band, scaled as the window must show it.
band=$((300 * height / 480))
if [[ $mode == smooth ]]; then
  convert "$expected/0001.bmp" -resize "${width}x$height!" -crop "${width}x$band+0+0" +repage "$expected/scaled.png"
else
  convert "$expected/0001.bmp" -crop 640x300+0+0 +repage -sample "$((scale * 100))%" "$expected/scaled.png"
fi

e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
if [[ $mode == window2 ]]; then
  # The client area is the window's bottom 1280 x 960 pixels (the menu bar above it).
  read -r win_x win_y win_w win_h < <(e2e_geometry "$wid")
  e2e_assert_eq "$win_w" 1280 "the window's width"
  ((win_h > 960)) || e2e_fail "the window is $win_h pixels high: no room for the picture x2 and the menu bar"
  left=$win_x top=$((win_y + win_h - 960))
  e2e_log "the window's picture at $left,$top"
else
  e2e_assert_eq "$(e2e_geometry "$wid")" "0 0 $screen_w $screen_h" "the window over the whole screen"
fi

# The screen's pixels in a rectangle, as a PNG file.
screen_part() {
  local shot
  shot=$(e2e_screenshot "$1") || e2e_fail "cannot capture the screen"
  convert "$shot" -crop "$2" +repage "$shot.part.png"
  echo "$shot.part.png"
}

deadline=$(($(e2e_now_ms) + 15000))
for (( ; ; )); do
  part=$(screen_part picture "${width}x$band+$left+$top")
  if [[ $mode == smooth ]]; then
    # Scaled by a fraction, each system blends the pixels its own way: close is enough.
    diff=$(compare -metric PSNR "$part" "$expected/scaled.png" null: 2>&1 || true)
    [[ $diff == inf || ${diff%%.*} -ge 25 ]] 2>/dev/null && break
  else
    diff=$(compare -metric AE "$part" "$expected/scaled.png" null: 2>&1 || true)
    [[ $diff == 0 ]] && break
  fi
  (($(e2e_now_ms) > deadline)) && e2e_fail "the headless picture scaled to ${width}x$height differs ($diff, see $part)"
  sleep 0.2
done
e2e_pass "the picture ${width}x$height at $left,$top ($diff)"

# Black around the picture (a window has none: its client area is the picture).
bars=()
if [[ $mode != window2 ]]; then
  ((left > 0)) && bars+=("${left}x${screen_h}+0+0" "${left}x${screen_h}+$((screen_w - left))+0")
  ((top > 0)) && bars+=("${screen_w}x${top}+0+0" "${screen_w}x${top}+0+$((screen_h - top))")
fi
for bar in "${bars[@]}"; do
  bright=$(convert "$(screen_part bar "$bar")" -format '%[fx:int(255*maxima)]' info:)
  e2e_assert_eq "$bright" 0 "the bar $bar"
done
e2e_pass "${#bars[@]} black bars"

# The selection moves the cursor onto its first option's top-left corner, in picture coordinates
# scaled: the middle of that picture pixel's block, at the text's left edge, on the line below the
# question.
read -r want_x _ < <(on_screen "$text_left" "$text_top")
deadline=$(($(e2e_now_ms) + 10000))
last=
for (( ; ; )); do
  eval "$(xdotool getmouselocation --shell)"
  # Where the animation has come to rest.
  ((X == want_x && Y > top + (text_top + 8) * height / 480)) && [[ $last == "$X $Y" ]] && break
  (($(e2e_now_ms) > deadline)) && e2e_fail "the cursor is at $X,$Y, not on the first option at x $want_x"
  last="$X $Y"
  sleep 0.2
done
option_top=$(((Y - top) * 480 / height))
read -r _ middle_y < <(on_screen "$text_left" "$option_top")
e2e_assert_eq "$Y" "$middle_y" "the cursor in the middle of a picture pixel's block"
line=$((option_top - text_top))
((line >= 12 && line <= 40)) || e2e_fail "the first option at picture line $option_top: no line of text below the question"
e2e_pass "the cursor on the first option at $X,$Y (picture $text_left,$option_top)"

# A point inside the second option, beside the first on the same line: each is four full-width
# characters about a line high, the second from 4 to 8 of them right of the text's edge.
second_option=($((text_left + 6 * line)) $((option_top + line / 2)))
read -r click_x click_y < <(on_screen "${second_option[@]}")
# The option line's place on the screen, to see the second option lit up under the mouse.
read -r line_x line_y < <(on_screen "$text_left" "$option_top")
read -r line_right line_bottom < <(on_screen "$((text_left + 10 * line))" "$((option_top + line))")
line_box="$((line_right - line_x))x$((line_bottom - line_y))+$line_x+$line_y"
before=$(screen_part option-line "$line_box")
xdotool mousemove "$click_x" "$click_y"
deadline=$(($(e2e_now_ms) + 5000))
for (( ; ; )); do
  after=$(screen_part "second-option-${width}x$height" "$line_box")
  [[ $(compare -metric AE "$before" "$after" null: 2>&1 || true) != 0 ]] && break
  (($(e2e_now_ms) > deadline)) && e2e_fail "the second option is not lit up under the mouse at $click_x,$click_y"
  sleep 0.1
done
e2e_pass "the second option lit up under the mouse"
xdotool click 1
box=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$box" yes
e2e_wait_exit main >/dev/null
e2e_assert_eq "$(e2e_error_records "$E2E_GAME" | awk -F'|' '{ print $4 }')" "west" "the branch of the clicked option"
e2e_pass "a click at $click_x,$click_y chose the second option"
