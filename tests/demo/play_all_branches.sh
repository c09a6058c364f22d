#!/usr/bin/env bash
# Plays every branch of the demo game headless with velmo-run: both languages, both ways of the
# hot-key selection, each answer of the timed selection and its time-out, the automatic bookmark
# loaded from the script and a bookmark loaded through the dialog, the flashback and auto mode.
# Every run must reach the title again and quit there with no script error, no missing file and
# nothing it waits for in vain; after all runs the memo file remembers all three endings and the automatic bookmark.
#
# usage: play_all_branches.sh VELMO_RUN
set -euo pipefail
velmo_run=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
game=$(mktemp -d "${TMPDIR:-/tmp}/velmo-demo-test.XXXXXX")
trap 'rm -rf -- "$game"' EXIT
bash "$repo/scripts/make-demo.sh" "$game"
# velmo-run runs the delivered plug-ins compiled in when the game holds their files.
touch "$game/system/"{bandwipe.vpx,basicfx.vpx,weatherfx.vpx,velmoimg.spi}

failed=0
# play CHOICES [OPTIONS...]: one run; it must end at the title's quit button with status 0.
play() {
  local choices=$1 transcript status=0
  shift
  transcript=$(cd "$game" && "$velmo_run" --clock "2026-07-07 19:30:00" --choose "$choices" "$@" .) || status=$?
  # A media line ends in " (missing)" when the game lacks the file it names.
  if [[ $status -ne 0 ]] || grep -qE '^error |\(missing\)$' <<<"$transcript" ||
    [[ "$(tail -n 2 <<<"$transcript")" != $'choose 3\nend exit' ]]; then
    echo "FAIL --choose $choices $*: exit status $status" >&2
    grep -E '^(error|end)|\(missing\)$' <<<"$transcript" >&2 || true
    failed=1
  fi
}

# Title button 0 Japanese, 1 English; the hot-key selection: 0 the shore, 1 the hilltop; the
# timed selection: 0 wave, 1 call, t nothing. The last 3 quits at the title.
for language in 0 1; do
  for way in 0 1; do
    for answer in 0 1 t; do
      play "$language,$way,$answer,3"
    done
  done
done
# The title's bookmark button: the automatic bookmark (loaded by the script) and the list (the
# load dialog, bookmark 1).
play 2,0,1,3
play 2,1,t,3 --answers 1

# The player's comforts on the way: a look one page back with the wheel and back again, then auto
# mode turning the pages to the end.
comforts=$(cd "$game" && "$velmo_run" --clock "2026-07-07 19:30:00" --choose 0,0,0,3 \
  --actions click,click,click,click,click,wheelup,wheelup,wheeldown,wheeldown,auto .)
for line in 'flashback 1' 'flashback end' 'menu 40035 checked' 'end exit'; do
  if ! grep -qxF "$line" <<<"$comforts"; then
    echo "FAIL: the run with the flashback and auto mode lacks '$line'" >&2
    failed=1
  fi
done
if ! grep -qE '^wait auto [0-9]+$' <<<"$comforts" || grep -qE '^error ' <<<"$comforts"; then
  echo "FAIL: auto mode turned no page, or the run met a script error" >&2
  failed=1
fi

vars=$(cd "$game" && "$velmo_run" --vars --choose 3 .)
for memo in 'memo[1]=1' 'memo[2]=1' 'memo[3]=1' 'memo[10]=1'; do
  if ! grep -qxF "var $memo" <<<"$vars"; then
    echo "FAIL: the memo file lacks $memo" >&2
    failed=1
  fi
done
exit $failed
