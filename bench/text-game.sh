#!/usr/bin/env bash
# text-game.sh VELMO_RUN VELMO_SCX [LINES]: plays a generated text-heavy game headless and prints
# how many scenario lines a second velmo-run gets through, and its peak memory.
#
# The game: LINES lines (20,000 by default) of typed message text, one page each, with a picture
# layer moved and shown through a transition every 20 pages and a selection of three options every
# 50 pages, all taken by --choose. Pictures are plain BMP files made here.
set -euo pipefail
run=$(realpath "$1"); scx=$(realpath "$2"); total=${3:-20000}
d=$(mktemp -d)
if [ -n "${KEEP:-}" ]; then echo "game kept in $d" >&2; else trap 'rm -rf "$d"' EXIT; fi
mkdir -p "$d/game/system" "$d/game/cg"
# A 64 x 64 picture of 24 bits, bottom-up rows: the header, then 64 rows of 192 bytes.
{
  printf 'BM\x36\x30\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x40\x00\x00\x00\x40\x00\x00\x00'
  printf '\x01\x00\x18\x00\x00\x00\x00\x00\x00\x30\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  head -c 12288 /dev/zero | tr '\0' '\x60'
} > "$d/game/cg/pic.bmp"
awk -v total="$total" 'BEGIN {
  print "@AssignLayer 2 0 1"
  print "@TextLayer 0 MODE=DEFAULT RECT=\"16,320,608,144\""
  print "@LoadLayer 0 cg\\pic.bmp 0 0"
  print "@SetTransition WAIT=10"
  lines = 4; page = 0; choices = 0
  while (lines < total) {
    ++page
    printf "\\cThe %d th page of a long story, typed out one character at a time.\\w\r\n", page; ++lines
    if (page % 20 == 0) { printf "@OffsetLayer 0 %d %d\r\n@UpdateScreen\r\n", page % 500, page % 300; lines += 2 }
    if (page % 50 == 0) {
      print "@BeginSelect"; print "@Option one CODE=1"; print "@Option two CODE=2"; print "@Option three CODE=3"
      print "@EndSelect"; lines += 5; ++choices
    }
  }
  print "@Exit"
  printf "%d", choices > "/dev/stderr"
}' 2> "$d/choices" | sed 's/$/\r/; s/\r\r$/\r/' > "$d/game/system/startup.scx.txt"
"$scx" "$d/game/system/startup.scx.txt" "$d/game/system/startup.scx"
rm "$d/game/system/startup.scx.txt"
choose=$(seq -s, 1 "$(cat "$d/choices")" | sed 's/[0-9]*/1/g')
lines=$(grep -c '' < <("$scx" "$d/game/system/startup.scx" /dev/stdout))
start=$(date +%s.%N)
/usr/bin/time -f '%M' -o "$d/rss" "$run" --choose "$choose" "$d/game" > "$d/transcript"
end=$(date +%s.%N)
tail -n 1 "$d/transcript"
awk -v lines="$lines" -v s="$start" -v e="$end" -v rss="$(cat "$d/rss")" 'BEGIN {
  printf "%d lines in %.2f s: %.0f lines a second, peak memory %.1f MB\n", lines, e - s, lines / (e - s), rss / 1024 }'
