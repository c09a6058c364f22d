# End-to-end test driver for velmo32.exe under Wine: sourced by the test scripts of this folder.
#
#   source "$(dirname "$0")/driver.sh"
#   e2e_init "$1"                       # path of velmo32.exe; sets up what is missing, cleans up on exit
#   e2e_make_game startup_exit          # games/startup_exit -> a fresh game folder in $E2E_GAME
#   e2e_launch main "$E2E_GAME"         # runs the program in the background (instance "main")
#   wid=$(e2e_find_window)              # the visible main window "VELMO"
#   e2e_click "$wid" 320 400            # a left click at client coordinates
#   box=$(e2e_find_box "$E2E_TITLE_FATAL")
#   e2e_answer "$box" ok                # ok | yes | no
#   e2e_wait_exit main                  # waits for the program to end; kills it after a timeout
#   e2e_error_log "$E2E_GAME"           # system\error.log as UTF-8
#
# Environment: a caller that already provides DISPLAY and WINEPREFIX (scripts/wine-env.sh's
# wine_start, as in the test run of scripts/test.sh) is used as it is; whatever is missing from it
# (a window manager, a running Wine server, a PulseAudio null sink) is started here. Without
# DISPLAY or WINEPREFIX, wine_start sets up a throwaway display and prefix. Only what this driver
# started is stopped again when the test ends. Every program started here has its standard streams
# on files or /dev/null, never on the test's own pipes (Wine's daemons would inherit them and keep
# ctest waiting).
#
# Knobs: VELMO_E2E_KEEP=1 keeps the work folder (logs, screenshots, game copies) even when the
# test passes; it is always kept when the test fails. E2E_SCREEN=WIDTHxHEIGHT, set before e2e_init,
# runs the test on a throwaway display of that size with a throwaway prefix whatever the caller
# provides (a prefix's programs see the screen size its desktop started with).

# Several variables here are only read by the test scripts.
# shellcheck disable=SC2034

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO=$(cd "$E2E_DIR/../.." && pwd)

# Titles of the program's windows, as regular expressions for xdotool.
E2E_TITLE_MAIN='^VELMO$'
E2E_TITLE_ERROR='^シナリオ実行時のエラー - VELMO$'
E2E_TITLE_FATAL='^シナリオ実行時の致命的エラー - VELMO$'
E2E_TITLE_EXIT='^プログラムの終了 - VELMO$'

# Default time limits, seconds.
E2E_WINDOW_TIMEOUT=${E2E_WINDOW_TIMEOUT:-20}
E2E_BOX_TIMEOUT=${E2E_BOX_TIMEOUT:-10}
E2E_EXIT_TIMEOUT=${E2E_EXIT_TIMEOUT:-15}

E2E_WORK=
E2E_GAME=
E2E_SOUND=0
E2E_STARTED_WINE_ENV=0
E2E_STARTED_SERVER=0
E2E_WM_PID=
E2E_PULSE_PID_FILE=
E2E_FAILED=0
E2E_INSTANCES=()

# ----------------------------------------------------------------------------------------------
# Messages and assertions

e2e_log() { printf '[e2e %s] %s\n' "$(date +%H:%M:%S.%3N)" "$*" >&2; }

e2e_now_ms() { date +%s%3N; }

# Records a failure: a screenshot of the whole screen, the message, and exit 1 (cleanup runs).
e2e_fail() {
  E2E_FAILED=1
  e2e_log "FAIL: $*"
  if [[ -n ${DISPLAY:-} && -n $E2E_WORK ]]; then
    local shot
    shot=$(e2e_screenshot failure) && e2e_log "screenshot: $shot"
  fi
  exit 1
}

e2e_pass() { e2e_log "PASS: $*"; }

# e2e_assert_eq ACTUAL EXPECTED WHAT
e2e_assert_eq() {
  [[ $1 == "$2" ]] || e2e_fail "$3: expected [$2], got [$1]"
}

# e2e_assert_contains TEXT NEEDLE WHAT  (fixed string)
e2e_assert_contains() {
  [[ $1 == *"$2"* ]] || e2e_fail "$3: [$2] not found in:"$'\n'"$1"
}

# e2e_assert_not_contains TEXT NEEDLE WHAT  (fixed string)
e2e_assert_not_contains() {
  [[ $1 != *"$2"* ]] || e2e_fail "$3: [$2] unexpectedly found in:"$'\n'"$1"
}

# ----------------------------------------------------------------------------------------------
# Set-up and teardown

# e2e_init PATH_OF_VELMO32_EXE
e2e_init() {
  [[ $# -eq 1 ]] || { echo "usage: $0 path/to/velmo32.exe" >&2; exit 2; }
  [[ -f $1 ]] || { echo "no program at $1" >&2; exit 2; }
  E2E_EXE=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/velmo-e2e.XXXXXX")
  mkdir -p "$E2E_WORK/shots"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  e2e_env_up
}

e2e_env_up() {
  if [[ -n ${E2E_SCREEN:-} || -z ${DISPLAY:-} || -z ${WINEPREFIX:-} ]]; then
    e2e_log "starting a throwaway display (${E2E_SCREEN:-1024x768}) and prefix"
    # shellcheck source=/dev/null
    source "$E2E_REPO/scripts/wine-env.sh"
    VELMO_SCREEN=${E2E_SCREEN:-} wine_start </dev/null >/dev/null 2>&1
    trap e2e_cleanup EXIT # wine_start installed its own trap; ours runs wine_stop too
    E2E_STARTED_WINE_ENV=1
  else
    export WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
    export WINEDEBUG=${WINEDEBUG:--all,err+module}
    xdpyinfo >/dev/null 2>&1 || e2e_fail "display $DISPLAY cannot be reached"
    e2e_ensure_window_manager
    e2e_ensure_wine_server
  fi
  e2e_ensure_sound
  e2e_log "display $DISPLAY, prefix $WINEPREFIX, sound sink: $([[ $E2E_SOUND == 1 ]] && echo yes || echo no)"
}

e2e_ensure_window_manager() {
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then return 0; fi
  openbox --sm-disable </dev/null >"$E2E_WORK/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  local _
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  e2e_fail "the window manager did not come up"
}

# A persistent server with Wine's daemons, all on /dev/null: started only when none runs.
e2e_ensure_wine_server() {
  mkdir -p "$WINEPREFIX"
  local rc=0
  wineserver -p </dev/null >/dev/null 2>&1 || rc=$?
  if [[ $rc -eq 0 ]]; then
    E2E_STARTED_SERVER=1
    e2e_log "started a Wine server for $WINEPREFIX"
    wineboot -u </dev/null >/dev/null 2>&1 || true
  fi
}

# Reuses a reachable PulseAudio server named by PULSE_SERVER; else, or with E2E_OWN_SOUND=1 (a
# test whose game changes the master volume, which other tests read), starts a private one with
# a null sink on its own socket.
e2e_ensure_sound() {
  if [[ ${E2E_OWN_SOUND:-0} != 1 && -n ${PULSE_SERVER:-} ]] && pactl info >/dev/null 2>&1; then
    E2E_SOUND=1
    return 0
  fi
  command -v pulseaudio >/dev/null || return 0
  local dir=$E2E_WORK/pulse
  mkdir -p "$dir/home/.config/pulse" "$dir/run"
  chmod 700 "$dir/run"
  echo 'autospawn = no' >"$dir/home/.config/pulse/client.conf"
  HOME=$dir/home XDG_RUNTIME_DIR=$dir/run PULSE_RUNTIME_PATH=$dir/run \
    pulseaudio -n --exit-idle-time=-1 --daemonize=yes --use-pid-file=yes \
    --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/run/native" \
    --log-target="file:$dir/pulse.log" </dev/null >/dev/null 2>&1 || true
  [[ -s $dir/run/pid ]] && E2E_PULSE_PID_FILE=$dir/run/pid
  export PULSE_SERVER=unix:$dir/run/native PULSE_CLIENTCONFIG=$dir/home/.config/pulse/client.conf
  export PULSE_RUNTIME_PATH=$dir/run
  local _
  for _ in $(seq 30); do
    if pactl info >/dev/null 2>&1; then
      E2E_SOUND=1
      return 0
    fi
    sleep 0.1
  done
  e2e_log "warning: no PulseAudio null sink; the program runs without sound devices"
}

e2e_cleanup() {
  local rc=$?
  set +e
  [[ $E2E_FAILED == 1 ]] && rc=1
  local tag
  for tag in "${E2E_INSTANCES[@]}"; do
    if e2e_running "$tag"; then
      e2e_log "instance $tag still running: stopping it"
      e2e_kill "$tag"
    fi
  done
  if [[ -n $E2E_PULSE_PID_FILE && -s $E2E_PULSE_PID_FILE ]]; then
    kill "$(cat "$E2E_PULSE_PID_FILE")" 2>/dev/null
  fi
  if [[ $E2E_STARTED_SERVER == 1 ]]; then wineserver -k </dev/null >/dev/null 2>&1; fi
  if [[ -n $E2E_WM_PID ]]; then kill "$E2E_WM_PID" 2>/dev/null; fi
  if [[ $E2E_STARTED_WINE_ENV == 1 ]]; then wine_stop </dev/null >/dev/null 2>&1; fi
  if [[ -n $E2E_WORK ]]; then
    if [[ $rc -ne 0 || ${VELMO_E2E_KEEP:-0} == 1 ]]; then
      e2e_log "work folder kept: $E2E_WORK"
    else
      rm -rf -- "$E2E_WORK"
    fi
  fi
  exit "$rc"
}

# ----------------------------------------------------------------------------------------------
# Game folders

# Turns a UTF-8 scenario text into a scenario file: Shift-JIS, CR LF, every byte nibble-swapped.
e2e_scramble() { bash "$E2E_REPO/scripts/scramble.sh" "$1" "$2"; }

# e2e_make_game CASE [NAME]: copies games/CASE into a fresh folder, converts its *.scx.txt files,
# puts the program beside them, and sets E2E_GAME to the folder.
e2e_make_game() {
  local template=$E2E_DIR/games/$1
  [[ -d $template ]] || e2e_fail "no game template $template"
  local dir=$E2E_WORK/${2:-game-$1}
  mkdir -p "$dir"
  cp -R "$template/." "$dir/"
  local plain
  while IFS= read -r -d '' plain; do
    e2e_scramble "$plain" "${plain%.txt}" || e2e_fail "cannot convert $plain"
    rm -f -- "$plain"
  done < <(find "$dir" -type f -name '*.scx.txt' -print0)
  cp "$E2E_EXE" "$dir/velmo32.exe"
  E2E_GAME=$dir
}

# ----------------------------------------------------------------------------------------------
# Program instances (each has a tag; files $E2E_WORK/<tag>.{pid,rc,log})

# e2e_launch TAG GAME_FOLDER: starts velmo32.exe of that folder in the background.
e2e_launch() {
  local tag=$1 dir=$2
  rm -f "$E2E_WORK/$tag.pid" "$E2E_WORK/$tag.rc"
  (
    cd "$dir" || exit 1
    LANG=ja_JP.UTF-8 wine velmo32.exe &
    echo $! >"$E2E_WORK/$tag.pid.tmp"
    mv "$E2E_WORK/$tag.pid.tmp" "$E2E_WORK/$tag.pid"
    rc=0
    wait $! || rc=$?
    echo "$rc" >"$E2E_WORK/$tag.rc"
  ) </dev/null >>"$E2E_WORK/$tag.log" 2>&1 &
  E2E_INSTANCES+=("$tag")
  local _
  for _ in $(seq 100); do
    [[ -s $E2E_WORK/$tag.pid ]] && break
    sleep 0.02
  done
  [[ -s $E2E_WORK/$tag.pid ]] || e2e_fail "instance $tag did not start"
  e2e_log "started instance $tag (pid $(cat "$E2E_WORK/$tag.pid")) in $dir"
}

e2e_pid() { cat "$E2E_WORK/$1.pid"; }

# True while the instance's process has not ended.
e2e_running() {
  [[ -s $E2E_WORK/$1.pid && ! -e $E2E_WORK/$1.rc ]]
}

# Stops an instance: TERM, then KILL after 2 s.
e2e_kill() {
  local pid _
  pid=$(e2e_pid "$1") || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 20); do
    e2e_running "$1" || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  for _ in $(seq 30); do
    e2e_running "$1" || return 0
    sleep 0.1
  done
}

# e2e_wait_exit TAG [TIMEOUT]: waits until the instance ends and prints its exit status; after
# the timeout the instance is killed and the test fails.
e2e_wait_exit() {
  local tag=$1 timeout=${2:-$E2E_EXIT_TIMEOUT}
  local deadline=$(($(e2e_now_ms) + timeout * 1000))
  while e2e_running "$tag"; do
    if (($(e2e_now_ms) > deadline)); then
      e2e_screenshot "exit-timeout-$tag" >/dev/null
      e2e_kill "$tag"
      e2e_fail "instance $tag did not end within ${timeout}s"
    fi
    sleep 0.05
  done
  cat "$E2E_WORK/$tag.rc"
}

# e2e_expect_running TAG MILLISECONDS: fails when the instance ends within that time.
e2e_expect_running() {
  local deadline=$(($(e2e_now_ms) + $2))
  while (($(e2e_now_ms) < deadline)); do
    e2e_running "$1" || e2e_fail "instance $1 ended (status $(cat "$E2E_WORK/$1.rc")) but should still run"
    sleep 0.1
  done
}

# ----------------------------------------------------------------------------------------------
# Windows

# Prints the ids of the visible windows whose title matches the regex (one per line).
e2e_windows() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# e2e_wait_for_window REGEX TIMEOUT [EXCLUDED_ID]: prints the first visible window with that title
# (other than the excluded one); fails after the timeout.
e2e_wait_for_window() {
  local regex=$1 timeout=$2 excluded=${3:-}
  local deadline=$(($(e2e_now_ms) + timeout * 1000))
  local id
  for (( ; ; )); do
    for id in $(e2e_windows "$regex"); do
      [[ $id != "$excluded" ]] && { echo "$id"; return 0; }
    done
    (($(e2e_now_ms) > deadline)) && break
    sleep 0.05
  done
  e2e_fail "no visible window titled /$regex/ within ${timeout}s"
}

# e2e_find_window [TIMEOUT]: the main window of the running program.
# shellcheck disable=SC2120 # the timeout is optional
e2e_find_window() { e2e_wait_for_window "$E2E_TITLE_MAIN" "${1:-$E2E_WINDOW_TIMEOUT}"; }

# e2e_find_box TITLE_REGEX [TIMEOUT] [EXCLUDED_ID]: a message box by its title.
e2e_find_box() { e2e_wait_for_window "$1" "${2:-$E2E_BOX_TIMEOUT}" "${3:-}"; }

# True when a visible window with that title exists now.
e2e_window_shown() { [[ -n $(e2e_windows "$1") ]]; }

# True while the X window is mapped and viewable.
e2e_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# The X window's place and size on the screen: "X Y WIDTH HEIGHT".
e2e_geometry() {
  xwininfo -id "$1" 2>/dev/null |
    awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
         /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# e2e_wait_gone ID [TIMEOUT]: waits until the window is no longer viewable.
e2e_wait_gone() {
  local deadline=$(($(e2e_now_ms) + ${2:-$E2E_BOX_TIMEOUT} * 1000))
  while e2e_viewable "$1"; do
    (($(e2e_now_ms) > deadline)) && e2e_fail "window $1 still shown after ${2:-$E2E_BOX_TIMEOUT}s"
    sleep 0.05
  done
}

# e2e_answer BOX yes|no|ok: answers a message box (はい = y, いいえ = n, OK = Return) and waits
# until it is gone.
e2e_answer() {
  local box=$1 key
  case $2 in
  yes) key=y ;;
  no) key=n ;;
  ok) key=Return ;;
  *) e2e_fail "unknown answer $2" ;;
  esac
  e2e_key "$box" "$key"
  # A key can be lost when another window (a console a game started) takes the focus just then:
  # while the box stays, it gets the key again, never after it has gone.
  local deadline=$(($(e2e_now_ms) + E2E_BOX_TIMEOUT * 1000)) retry=$(($(e2e_now_ms) + 2000))
  while e2e_viewable "$box"; do
    (($(e2e_now_ms) > deadline)) && e2e_fail "window $box still shown after ${E2E_BOX_TIMEOUT}s"
    if (($(e2e_now_ms) > retry)); then
      xdotool windowfocus --sync "$box" 2>/dev/null && e2e_viewable "$box" && xdotool key --clearmodifiers "$key"
      retry=$(($(e2e_now_ms) + 2000))
    fi
    sleep 0.05
  done
}

# e2e_key ID KEY...: gives the window the focus, then types the keys.
e2e_key() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || e2e_fail "cannot focus window $id"
  xdotool key --clearmodifiers "$@" || e2e_fail "cannot type $* into window $id"
}

# Height of what the X window shows above the client area (a menu bar, if any): the main
# window's client area is 640 x 480.
e2e_client_offset_y() {
  local h
  h=$(xwininfo -id "$1" | awk '/^ *Height:/ { print $2 }')
  echo $((h > 480 ? h - 480 : 0))
}

# e2e_click ID X Y: a left click at client coordinates of the main window.
e2e_click() {
  local id=$1 x=$2 y=$3
  y=$((y + $(e2e_client_offset_y "$id")))
  xdotool mousemove --window "$id" "$x" "$y" click 1 || e2e_fail "cannot click window $id"
}

# e2e_click_until ID X Y TITLE_REGEX [TIMEOUT] [EXCLUDED_ID]: clicks every 0.4 s until a window with
# that title shows, then prints its id. A click while a line is still being output may be ignored
# by design, so one click is not always enough.
e2e_click_until() {
  local id=$1 x=$2 y=$3 regex=$4 timeout=${5:-$E2E_BOX_TIMEOUT} excluded=${6:-}
  local deadline=$(($(e2e_now_ms) + timeout * 1000)) found
  for (( ; ; )); do
    e2e_click "$id" "$x" "$y"
    local until=$(($(e2e_now_ms) + 400))
    while (($(e2e_now_ms) < until)); do
      for found in $(e2e_windows "$regex"); do
        [[ $found != "$excluded" ]] && { echo "$found"; return 0; }
      done
      sleep 0.05
    done
    (($(e2e_now_ms) > deadline)) && break
  done
  e2e_fail "no window titled /$regex/ within ${timeout}s of clicking"
}

# e2e_screenshot NAME [ID]: saves the whole screen (or one X window) as a PNG; prints its path.
e2e_screenshot() {
  # The count lives in a file: this function also runs inside command substitutions.
  local count=0 file
  [[ -s $E2E_WORK/shots/count ]] && count=$(cat "$E2E_WORK/shots/count")
  count=$((count + 1))
  echo "$count" >"$E2E_WORK/shots/count"
  file=$E2E_WORK/shots/$(printf '%03d' "$count")-$1.png
  if [[ -n ${2:-} ]]; then
    import -window "$2" "$file" 2>/dev/null || return 1
  else
    import -window root "$file" 2>/dev/null || return 1
  fi
  echo "$file"
}

# e2e_brightest ID X Y W H: the brightest channel value (0-255) of a rectangle of the client area.
e2e_brightest() {
  local id=$1 x=$2 y=$3 w=$4 h=$5 file
  y=$((y + $(e2e_client_offset_y "$id")))
  file=$(e2e_screenshot "region" "$id") || e2e_fail "cannot capture window $id"
  convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -format '%[fx:int(255*maxima)]' info:
}

# e2e_region_hash ID X Y W H: a signature of the pixels of a rectangle of the client area.
e2e_region_hash() {
  local id=$1 x=$2 y=$3 w=$4 h=$5 file
  y=$((y + $(e2e_client_offset_y "$id")))
  file=$(e2e_screenshot "region" "$id") || e2e_fail "cannot capture window $id"
  convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -format '%#' info:
}

# e2e_wait_changed ID X Y W H OLD_HASH [TIMEOUT]: waits until the rectangle no longer shows what
# OLD_HASH was taken from.
e2e_wait_changed() {
  local deadline=$(($(e2e_now_ms) + ${7:-$E2E_BOX_TIMEOUT} * 1000)) now
  for (( ; ; )); do
    now=$(e2e_region_hash "$1" "$2" "$3" "$4" "$5")
    [[ $now != "$6" ]] && return 0
    (($(e2e_now_ms) > deadline)) && e2e_fail "${4}x${5}+${2}+${3} unchanged after ${7:-$E2E_BOX_TIMEOUT}s"
    sleep 0.1
  done
}

# e2e_wait_shows ID X Y W H HASH WHAT [TIMEOUT]: waits until the rectangle shows again what HASH
# was taken from; fails naming WHAT after the timeout.
e2e_wait_shows() {
  local deadline=$(($(e2e_now_ms) + ${8:-$E2E_BOX_TIMEOUT} * 1000))
  until [[ $(e2e_region_hash "$1" "$2" "$3" "$4" "$5") == "$6" ]]; do
    (($(e2e_now_ms) > deadline)) && e2e_fail "$7: ${4}x${5}+${2}+${3} does not show what it showed before"
    sleep 0.1
  done
}

# e2e_client_shot ID NAME: the 640 x 480 client area of the main window as a PNG file (its path).
e2e_client_shot() {
  local shot offset
  shot=$(e2e_screenshot "$2" "$1") || e2e_fail "cannot capture window $1"
  offset=$(e2e_client_offset_y "$1")
  convert "$shot" -crop "640x480+0+$offset" +repage "$shot.client.png"
  echo "$shot.client.png"
}

# e2e_wait_for_picture ID EXPECTED WHAT [TIMEOUT]: waits until the client area shows the picture
# EXPECTED exactly; fails naming WHAT and the pixels that differ after the timeout (15 s). A window
# just mapped may not be capturable yet: that counts as not showing it.
e2e_wait_for_picture() {
  local deadline=$(($(e2e_now_ms) + ${4:-15} * 1000)) shot diff
  for (( ; ; )); do
    diff="no picture"
    if shot=$(e2e_screenshot "$3" "$1"); then
      convert "$shot" -crop "640x480+0+$(e2e_client_offset_y "$1")" +repage "$shot.client.png"
      shot=$shot.client.png
      diff=$(compare -metric AE "$shot" "$2" null: 2>&1 || true)
    fi
    [[ $diff == 0 ]] && return 0
    (($(e2e_now_ms) > deadline)) && e2e_fail "$3: $diff pixels differ from the expected picture (see $shot)"
    sleep 0.1
  done
}

# e2e_wait_drawn ID X Y W H [TIMEOUT]: waits until something other than black is drawn in the
# rectangle of the client area.
e2e_wait_drawn() {
  local deadline=$(($(e2e_now_ms) + ${6:-$E2E_BOX_TIMEOUT} * 1000))
  for (( ; ; )); do
    (($(e2e_brightest "$1" "$2" "$3" "$4" "$5") > 0)) && return 0
    (($(e2e_now_ms) > deadline)) && e2e_fail "nothing drawn in ${4}x${5}+${2}+${3} within ${6:-$E2E_BOX_TIMEOUT}s"
    sleep 0.1
  done
}

# e2e_post_command POSTER ID: posts the menu command ID (WM_COMMAND) to the main window with the
# message poster (post_message.exe), as the menu posts it.
e2e_post_command() {
  wine "$1" VELMO_WindowClass 0x111 "$2" </dev/null >>"$E2E_WORK/poster.log" 2>&1 ||
    e2e_fail "could not post command $2 to the main window"
}

# ----------------------------------------------------------------------------------------------
# Files the program writes

# system\error.log of a game folder, as UTF-8 (CR LF kept).
e2e_error_log() {
  local file=$1/system/error.log
  [[ -f $file ]] || e2e_fail "no $file"
  iconv -f CP932 -t UTF-8 "$file" || e2e_fail "$file is not Shift-JIS"
}

# e2e_error_records GAME_FOLDER: checks that system\error.log is one complete run (the start
# header with the version numbers, records, the end line) and prints its records, one a line:
# "description|file|place|information" (place as written, e.g. "3行目 (開始)").
e2e_error_records() {
  local text
  text=$(e2e_error_log "$1"; echo .) || exit 1
  text=${text%.}
  perl -0777 -e '
    my $t = $ARGV[0];
    my $stamp = qr{\d{4}/\d\d/\d\d \d\d:\d\d:\d\d};
    $t =~ /\AVELMO\r\nSystem Ver#： 1\.07 build 916\r\nScript Ver#： 1\.15\.228\r\n\r\n実行開始： $stamp\r\n\r\n/gc
      or die "no start header\n";
    while ($t =~ /\Gログ作成： $stamp\r\nエラー内容： (.*?)\r\nファイル： (.*?)\r\n発生箇所： (.*?)\r\n追加情報： (.*?)\r\n\r\n/gc) {
      print "$1|$2|$3|$4\n";
    }
    $t =~ /\G実行終了： $stamp\r\n\z/gc or die "no end line right after the records\n";
  ' "$text" || e2e_fail "error.log of $1 is not one complete run:"$'\n'"$text"
}

# system\VELMO.ini of a game folder, as UTF-8 with LF line ends.
e2e_settings() {
  local file=$1/system/VELMO.ini
  [[ -f $file ]] || e2e_fail "no $file"
  iconv -f CP932 -t UTF-8 "$file" | tr -d '\r' || e2e_fail "$file is not Shift-JIS"
}

# e2e_ini_value TEXT SECTION KEY: the value of a key in INI text (LF line ends); empty if absent.
e2e_ini_value() {
  awk -v section="[$2]" -v key="$3" '
    /^\[/ { inside = ($0 == section); next }
    inside { i = index($0, "="); if (i > 0 && substr($0, 1, i - 1) == key) { print substr($0, i + 1); exit } }
  ' <<<"$1"
}

# The engine's temp folder inside the prefix (Wine's GetTempPathA + "VELMO"); prints every
# candidate path, existing or not.
e2e_temp_folders() {
  local user
  for user in "$WINEPREFIX"/drive_c/users/*; do
    [[ $user == */Public ]] && continue
    echo "$user/Temp/VELMO"
    echo "$user/AppData/Local/Temp/VELMO"
  done
}

e2e_temp_folder_exists() {
  local f
  while IFS= read -r f; do [[ -d $f ]] && return 0; done < <(e2e_temp_folders)
  return 1
}

# Removes a temp folder left behind by an instance that was killed, so that its presence proves
# the next start made it.
e2e_remove_stale_temp_folder() {
  local f
  while IFS= read -r f; do
    if [[ -d $f ]]; then
      e2e_log "removing a stale temp folder $f"
      rm -rf -- "$f"
    fi
  done < <(e2e_temp_folders)
}
