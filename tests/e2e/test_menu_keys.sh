#!/usr/bin/env bash
# The menu bar from the keyboard: Alt, then S (システム), then X (終了) asks the exit question,
# answered いいえ the game goes on; Alt+B, then T (タイトルに戻る) asks its question, answered はい play
# jumps to the title entry that @SetTitleEntry set; the exit question answered はい ends the program.
# (Alt+S together is the accelerator of the automatic capture, so the menu is opened by Alt alone.)
set -euo pipefail
source "$(dirname "$0")/driver.sh"
e2e_init "$@"

E2E_TITLE_TITLE='^タイトルに戻る - VELMO$'
head=(24 376 80 40) # the first characters of the page

# menu_keys KEY...: opens the menu bar with Alt alone, then types the access keys.
menu_keys() {
  e2e_key "$wid" alt
  sleep 0.3
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.3
  done
}

e2e_make_game menu_keys
e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${head[@]}"

menu_keys s x
box=$(e2e_find_box "$E2E_TITLE_EXIT")
e2e_answer "$box" no
e2e_expect_running main 500
e2e_window_shown "$E2E_TITLE_ERROR" && e2e_fail "the scenario went on after いいえ"
e2e_pass "システム → 終了 asks, and いいえ keeps the game"

e2e_key "$wid" alt+b
sleep 0.3
xdotool key t
box=$(e2e_find_box "$E2E_TITLE_TITLE")
e2e_answer "$box" yes
report=$(e2e_find_box "$E2E_TITLE_ERROR")
e2e_answer "$report" no
e2e_pass "しおり → タイトルに戻る asks, and はい jumps to the title entry"

menu_keys s x
box=$(e2e_find_box "$E2E_TITLE_EXIT" "$E2E_BOX_TIMEOUT" "$box")
e2e_answer "$box" yes
e2e_assert_eq "$(e2e_wait_exit main)" 0 "exit status"
e2e_assert_eq "$(e2e_error_records "$E2E_GAME")" "未定義のエラー|system\\startup.scx|13行目 (タイトル)|title-system\\startup.scx#タイトル" "error.log records"
e2e_pass "the exit question answered はい ends the program"
