#!/usr/bin/env bash
# Builds everything and runs every test: the format check, the check that the engine's folders
# depend one way, the host build's unit tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# the Windows build's unit tests under Wine, a short fuzz run and a quick pass over the benchmarks.
# Installs what is missing first (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

step() { printf '\n== %s\n' "$*"; }

step "format and layers"
bash scripts/check-format.sh
bash scripts/check-layers.sh

step "host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
ctest --preset host -j "$jobs" | tee -a "$summary"

step "Windows build and unit tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
(
  source scripts/wine-env.sh
  wine_start
  ctest --preset win32 -j "$jobs"
) | tee -a "$summary"

step "fuzzing (30 s per target)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for item in bmp_decoder:65536 command_line:1100 interpreter:4096 velmoimg_decoder:16384; do
  target=${item%%:*}
  corpus=$(mktemp -d)
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  build/fuzz/tests/fuzz/"${target}_fuzz" -max_total_time=30 -max_len="${item##*:}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 6
  rm -rf "$corpus"
done

step "benchmarks (quick pass)"
for bench in build/host/bench/velmo_bench_*; do
  "$bench" --benchmark_min_time=0.01 >/dev/null
done

step "summary"
awk '/tests passed, [0-9]+ tests failed out of/ { passed += $NF - $(NF-4); failed += $(NF-4) }
     END { printf "%d passed, %d failed\n", passed, failed; exit failed != 0 }' "$summary"
