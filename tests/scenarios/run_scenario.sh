#!/usr/bin/env bash
# Plays one scenario case headless and compares the transcript with the case's expected.txt.
#
# usage: run_scenario.sh VELMO_RUN VELMO_SCX CASE_DIR
#
# CASE_DIR/game is copied to a fresh temporary folder. Every file there named *.scx.txt is a plain
# scenario that is scrambled with velmo-scx into the same name without ".txt"; every other file is
# used as it is. velmo-run plays the copy once with the options of each line of CASE_DIR/args
# (optional: one run without options; quotes group words as in the shell), one run after the
# other on the same folder, so that what one run saves the next one finds. The transcripts, each
# followed by a line "exit N" with velmo-run's exit status, must equal CASE_DIR/expected.txt.
set -euo pipefail

if [[ $# -ne 3 ]]; then
  echo "usage: $0 VELMO_RUN VELMO_SCX CASE_DIR" >&2
  exit 2
fi

velmo_run=$1
velmo_scx=$2
case_dir=${3%/}

if [[ ! -d "$case_dir/game" ]]; then
  echo "$case_dir: no game folder" >&2
  exit 1
fi
if [[ ! -f "$case_dir/expected.txt" ]]; then
  echo "$case_dir: no expected.txt" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-scenario.XXXXXX")
trap 'rm -rf -- "$work"' EXIT

cp -R -- "$case_dir/game" "$work/game"

while IFS= read -r -d '' plain; do
  "$velmo_scx" "$plain" "${plain%.txt}"
  rm -f -- "$plain"
done < <(find "$work/game" -type f -name '*.scx.txt' -print0)

runs=("")
if [[ -f "$case_dir/args" ]]; then
  mapfile -t runs < "$case_dir/args"
fi

: > "$work/actual.txt"
for line in "${runs[@]}"; do
  eval "options=($line)"
  status=0
  "$velmo_run" "${options[@]}" "$work/game" >> "$work/actual.txt" || status=$?
  echo "exit $status" >> "$work/actual.txt"
done

if ! diff -u -- "$case_dir/expected.txt" "$work/actual.txt"; then
  echo "scenario $(basename -- "$case_dir"): transcript differs from expected.txt" >&2
  exit 1
fi
