#!/usr/bin/env bash
# The bookmark dialogs of the program, worked with the keyboard as a player would, on a game that
# saves bookmark 2 read-only at start and has bookmarks 3 (yellow) and 4 (red) from an earlier run:
#   - しおりを挿す: Home selects slot 1 (the buttons follow the keyboard), Return saves there and
#     the box 「1 番にしおりを挿しました.」 confirms it; the file has the blue mark; Down selects the
#     read-only slot 2, and Return there neither asks nor writes; 戻る (Esc) closes the dialog;
#   - しおりを開く: Home and Return load bookmark 1 and close the dialog, and play resumes at the
#     bookmark's entry (its line raises an error box naming the bookmark and its comment).
# Screenshots of both dialogs are kept in the work folder.
#
# Arguments: velmo32.exe, the message poster.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 2 ]] || { echo "usage: $0 velmo32.exe post_message.exe" >&2; exit 2; }
poster=$2
e2e_init "$1"

save_title='^しおりを挿す - VELMO$'
load_title='^しおりを開く - VELMO$'
saved_title='^しおりを挿す$'
band=(24 376 592 92)

# bookmark FILE MARK DATE COMMENT: a bookmark file as the engine writes it (values nibble-swapped,
# each ended by a 0 byte; the texts in Shift-JIS).
bookmark() {
  local comment entry
  comment=$(printf '%s' "$4" | iconv -f UTF-8 -t CP932)
  entry=$(printf '%s' 'system\startup.scx#再開' | iconv -f UTF-8 -t CP932)
  perl -e 'binmode STDOUT;
    for my $v (@ARGV) { print map { my $b = ord; chr((($b & 15) << 4) | ($b >> 4)) } split //, $v; print "\0"; }' \
    "$(printf "\\x$2")$3" "$comment" "$entry" >"$1"
}

# The first bytes of a file as hex.
head_hex() { head -c "$2" "$1" | od -An -tx1 | tr -d ' \n'; }

e2e_make_game dialogs
system=$E2E_GAME/system
bookmark "$system/save03.dat" 03 "12/24  18:30" "黄色のしおり"
bookmark "$system/save04.dat" 04 " 1/ 1   0:00" "赤いしおり"

e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${band[@]}"
e2e_assert_eq "$(head_hex "$system/save02.dat" 1)" 10 "the mark of the read-only bookmark 2"
readonly_before=$(sha1sum <"$system/save02.dat")

# しおりを挿す.
e2e_post_command "$poster" 40012
dialog=$(e2e_find_box "$save_title")
sleep 0.5
[[ -f $system/save10.dat ]] || e2e_fail "showing the page made no file for slot 10"
e2e_key "$dialog" Home
sleep 0.3
e2e_key "$dialog" Return
box=$(e2e_find_box "$saved_title")
e2e_screenshot saved-box "$box" >/dev/null
e2e_answer "$box" ok
e2e_assert_eq "$(head_hex "$system/save01.dat" 1)" 20 "the mark of the bookmark saved into slot 1"
e2e_pass "the save dialog writes a bookmark and confirms it"

e2e_key "$dialog" Down
sleep 0.3
e2e_key "$dialog" Return
sleep 1
! e2e_window_shown "$saved_title" || e2e_fail "a box came up for the read-only slot"
e2e_assert_eq "$(sha1sum <"$system/save02.dat")" "$readonly_before" "the read-only bookmark 2"
e2e_screenshot save-dialog "$dialog" >/dev/null
e2e_pass "a read-only slot is not overwritten"
e2e_key "$dialog" Escape
e2e_wait_gone "$dialog"

# しおりを開く.
e2e_post_command "$poster" 40013
dialog=$(e2e_find_box "$load_title")
sleep 0.5
e2e_screenshot load-dialog "$dialog" >/dev/null
e2e_key "$dialog" Home
sleep 0.3
e2e_key "$dialog" Return
box=$(e2e_find_box "$E2E_TITLE_ERROR")
! e2e_viewable "$dialog" || e2e_fail "the load dialog is still open after loading"
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
records=$(e2e_error_records "$E2E_GAME")
e2e_assert_contains "$records" "(再開)|resumed-1-ダイアログの試験" "error.log records"
e2e_pass "the load dialog loads a bookmark and play resumes at its entry"
