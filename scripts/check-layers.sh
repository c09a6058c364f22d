#!/usr/bin/env bash
# Fails when a folder of the engine includes a header of a folder above it (or beside it): the
# folders depend one way only, from the shell at the top down to base. A folder may include its
# own headers, those of folders of a lower rank, and the plug-in interface.
set -euo pipefail
cd "$(dirname "$0")/.."
git grep -n -E '^\s*#\s*include\s*"engine/' -- 'engine/*.h' 'engine/*.cpp' | awk '
  BEGIN {
    split("resources:0 base:1 platform:2 script:3 plugin:4 graphics:5 text:6 save:6 media:6 core:7 commands:8 shell:9", pairs, " ")
    for (i in pairs) { split(pairs[i], kv, ":"); rank[kv[1]] = kv[2] }
  }
  {
    file = $0; sub(/:.*/, "", file)
    split(file, fromParts, "/"); from = fromParts[2]
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
    split(target, toParts, "/"); to = toParts[2]
    if (!(from in rank) || !(to in rank)) { printf "%s: folder %s or %s has no place in the layers\n", $0, from, to; bad = 1; next }
    if (from != to && rank[to] >= rank[from]) { printf "%s: %s may not include %s\n", file, from, target; bad = 1 }
  }
  END { exit bad }'
