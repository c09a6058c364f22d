#!/usr/bin/env bash
# scramble.sh PLAIN SCENARIO: turns a UTF-8 scenario text into a scenario file as the engine reads
# it: Shift-JIS, CR LF line ends, every byte with its two halves exchanged (the .scx form).
set -euo pipefail
iconv -f UTF-8 -t CP932 "$1" |
  perl -pe 's/\r?\n\z/\r\n/' |
  perl -0777 -pe 's/(.)/chr(((ord($1)&15)<<4)|(ord($1)>>4))/gse' >"$2"
