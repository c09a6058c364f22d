#!/usr/bin/env bash
# Bookmarks and the memo file through scripts, over three runs of one game: the first saves
# bookmark 1, the second loads it and resumes at its entry, and the memo counts the runs. The third
# runs with a read-only system folder: the save is reported as an error naming the file, and the old
# bookmark is still there, unchanged, and loads.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$1"

e2e_make_game bookmarks
system=$E2E_GAME/system
# The folder is made writable again whatever happens, so that the work folder can be removed.
trap 'rc=$?; chattr -i "$system" 2>/dev/null; chmod u+w "$system" 2>/dev/null; (exit $rc); e2e_cleanup' EXIT

# play TAG ANSWER...: one run; each error box is answered in turn; the last answer ends the run.
play() {
  local tag=$1 box= answer
  shift
  e2e_launch "$tag" "$E2E_GAME"
  e2e_find_window >/dev/null
  for answer in "$@"; do
    box=$(e2e_find_box "$E2E_TITLE_ERROR" "$E2E_BOX_TIMEOUT" "$box")
    e2e_answer "$box" "$answer"
  done
  e2e_assert_eq "$(e2e_wait_exit "$tag")" 0 "exit status of $tag"
}

# The first bytes of a file as hex.
head_hex() { head -c "$2" "$1" | od -An -tx1 | tr -d ' \n'; }

# Run 1: bookmark 1 is written with the blue mark (0x02, stored 0x20) and the date after it.
play first yes
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "未定義のエラー|system\\startup.scx|9行目 (開始)|saved" "records of run 1"
[[ -f $system/save01.dat ]] || e2e_fail "no bookmark file"
e2e_assert_eq "$(head_hex "$system/save01.dat" 1)" 20 "the mark of bookmark 1"
e2e_assert_eq "$(stat -c %s "$system/save00.dat")" 257 "size of the memo file (\"1\" and 255 empty values)"
e2e_assert_eq "$(head_hex "$system/save00.dat" 2)" 1300 "memo[1] in the memo file"
e2e_pass "a script saved a bookmark and the memo was kept at shutdown"

# Run 2: the memo says 2; the bookmark loads and play resumes at its entry.
play second yes
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "未定義のエラー|system\\startup.scx|16行目 (再開)|resumed-一回目の値-2" \
  "records of run 2"
e2e_pass "a script loaded the bookmark and resumed at its entry"

# Run 3: nothing can be made in the system folder any more.
saved=$(sha1sum <"$system/save01.dat")
chattr +i "$system" 2>/dev/null || chmod a-w "$system"
if touch "$system/probe" 2>/dev/null; then
  rm -f "$system/probe"
  e2e_log "no folder can be made read-only here (neither chattr nor the permissions hold): run 3 skipped"
  exit 0
fi
play third no yes
chattr -i "$system" 2>/dev/null || chmod u+w "$system"
e2e_assert_eq "$(sha1sum <"$system/save01.dat")" "$saved" "bookmark 1 after the failed save"
[[ ! -e $system/save01.dat.tmp ]] || e2e_fail "a temporary file was left behind"
expected="ファイルの入出力エラー|system\\startup.scx|21行目 (書けない)|system\\save01.dat
未定義のエラー|system\\startup.scx|23行目 (書けない)|kept-一回目の値
ファイルの入出力エラー||0行目 ()|system\\save00.dat"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "$expected" "records of run 3"
e2e_pass "a save into a read-only folder was reported and the old bookmark kept"
