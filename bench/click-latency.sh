#!/usr/bin/env bash
# click-latency.sh VELMO32_EXE [CLICKS]: how quickly velmo32.exe under Wine answers a click at the
# end of a page, measured from outside the program as the player sees it.
#
# The game: pages of one line each, every page brought up by "@UpdateScreen NOFADE", cleared and
# typed with @Text WAIT=0, ended by \w and followed by a jump; the pages alternate between a line
# of A and a line of B, so the first characters of the message area change from page to page. The
# page count is kept in memo[1], which the program writes to system\save00.dat when it ends (a
# program from before the memo file keeps none).
#
# Two figures:
#  - latency: SAMPLES (40) single clicks, each once the page is whole and has been still for 300 ms
#    (longer at a slower text speed, see still_ms) and after a random pause of 0-100 ms (so that
#    clicks fall anywhere between the page marker's ticks): the time from the click (sent through
#    XTEST, as xdotool sends it) to the first capture of the screen whose first characters of the
#    message area differ from those before the click. One more click before them only makes the
#    window the active one and is not counted. Captures are read from the X server 0.5 ms apart
#    (XGetImage of that rectangle; the pause leaves the two cores to the program and the X server);
#    the mean time from one capture to the next is printed as the resolution. Nothing is subtracted.
#  - throughput: CLICKS (3,200) clicks 45 ms apart (xdotool click --repeat) and the pages they
#    turned, counted by the program where it keeps a count, else on the screen (a new picture of
#    the first characters that stands for 10 ms, polled every 2 ms); the time a page took is the
#    time of the clicks over the pages.
# Where the program keeps its count, the latency part also checks that every click turned one page.
#
# Environment: SAMPLES (number of single clicks), TEXT_WAIT (the pages' @Text WAIT, 0),
# SCREEN_UPDATE (0 leaves out the pages' @UpdateScreen: one message line then follows the other at
# once), and what tests/e2e/driver.sh reads (a caller's DISPLAY and WINEPREFIX are used as they
# are; without them a throwaway display and prefix).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tests/e2e/driver.sh
source "$repo/tests/e2e/driver.sh"
[[ $# -ge 1 && $# -le 2 ]] || { echo "usage: $0 VELMO32_EXE [CLICKS]" >&2; exit 2; }
clicks=${2:-3200}
samples=${SAMPLES:-40}
e2e_init "$1"

first=(40 300 64 24) # the first characters of the page, away from the page marker
spot=(320 200)      # where the clicks land, in client coordinates
# A page is whole once its first characters have stood for this long: the rest of its line is
# typed meanwhile (20 characters at TEXT_WAIT each).
still_ms=$((300 + 25 * ${TEXT_WAIT:-0}))

# make_game NAME: a fresh game folder with the page loop, in E2E_GAME.
make_game() {
  E2E_GAME=$E2E_WORK/$1
  mkdir -p "$E2E_GAME/system"
  cat >"$E2E_GAME/system/startup.scx.txt" <<'EOF'
; one line a page, each page its own screen update and jump
// start
@AssignLayer 1 1 1
@TextLayer 0 RECT="40,300,560,150"
@TextColor TEXT=0xFFFFFF TEXTBG=0x404040
@Text WAIT=TEXT_WAIT
@Let memo[1] = 0
// a
SCREEN_UPDATE
\cAAAAAAAAAAAAAAAAAAAA\w
@Let memo[1] += 1
@if $memo[1] < 100000 GOTO #b
@Exit
// b
SCREEN_UPDATE
\cBBBBBBBBBBBBBBBBBBBB\w
@Let memo[1] += 1
@if $memo[1] < 100000 GOTO #a
@Exit
EOF
  local update='@UpdateScreen NOFADE'
  if [[ ${SCREEN_UPDATE:-1} == 0 ]]; then update='; no screen update'; fi
  sed -i "s/WAIT=TEXT_WAIT/WAIT=${TEXT_WAIT:-0}/; s/^SCREEN_UPDATE\$/$update/" "$E2E_GAME/system/startup.scx.txt"
  e2e_scramble "$E2E_GAME/system/startup.scx.txt" "$E2E_GAME/system/startup.scx"
  rm "$E2E_GAME/system/startup.scx.txt"
  cp "$E2E_EXE" "$E2E_GAME/velmo32.exe"
}

# client_origin WID: the root coordinates of the client area's top-left corner.
client_origin() {
  local geometry
  read -r -a geometry <<<"$(e2e_geometry "$1")"
  echo "${geometry[0]} $((geometry[1] + $(e2e_client_offset_y "$1")))"
}

# end_game WID TAG: closes the window (answering the question with はい) and prints the page count
# the program kept in memo[1], or nothing from a program that keeps no memo file.
end_game() {
  local box rc
  e2e_key "$1" alt+F4
  box=$(e2e_find_box "$E2E_TITLE_EXIT")
  e2e_answer "$box" yes
  rc=$(e2e_wait_exit "$2" 30)
  [[ $rc == 0 ]] || e2e_fail "the program ended with status $rc"
  # The memo file: 256 strings, each with its 0 byte, every byte's halves exchanged.
  [[ -f $E2E_GAME/system/save00.dat ]] || return 0
  perl -0777 -ne 's/(.)/chr(((ord($1)&15)<<4)|(ord($1)>>4))/gse; print((split /\0/)[0] // "")' \
    "$E2E_GAME/system/save00.dat"
}

# x11_probe MODE ...: the part that needs the time of single captures, run with Xlib and XTEST
# through ctypes (both libraries are there with xdotool).
#   pages X Y W H MS                waits until the rectangle has not changed for MS milliseconds,
#                                   prints "ready", then counts the pages turned until it has not
#                                   changed for a second
#   latency X Y W H CX CY COUNT MS  COUNT single clicks at (CX, CY), each once the rectangle has
#                                   not changed for MS milliseconds; one figure per line, then a
#                                   summary line
x11_probe() {
  python3 - "$@" <<'PY'
import ctypes, random, statistics, sys, time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
root = x11.XDefaultRootWindow(display)
mode, args = sys.argv[1], [int(a) for a in sys.argv[2:]]
x, y, w, h = args[:4]


def capture():
    image = x11.XGetImage(display, root, x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
    if not image:
        sys.exit("cannot capture the screen")
    pixels = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * h)
    x11.XFree(image.contents.data)
    x11.XFree(image)
    return pixels


def wait_still(ms, timeout=10.0):
    start = last_change = time.monotonic()
    before = capture()
    while time.monotonic() - last_change < ms / 1000:
        if time.monotonic() - start > timeout:
            sys.exit("the screen does not come to rest")
        now = capture()
        if now != before:
            before, last_change = now, time.monotonic()
        time.sleep(0.005)
    return before


def click(cx, cy):
    xtst.XTestFakeMotionEvent(display, -1, cx, cy, 0)
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XSync(display, 0)


if mode == "latency":
    cx, cy, count, still_ms = args[4:8]
    latencies, captures, polling = [], 0, 0.0
    # The first click also makes the window the active one: it is sent but not counted.
    for sample in range(count + 1):
        before = wait_still(still_ms)
        time.sleep(random.uniform(0, 0.1))
        if capture() != before:
            sys.exit("the screen changed without a click")
        sent = time.monotonic()
        click(cx, cy)
        polls = 0
        while True:
            taken = time.monotonic()
            changed = capture() != before
            polls += 1
            if changed:
                break
            if taken - sent > 5:
                sys.exit("no change within 5 s of a click")
            time.sleep(0.0005)  # leaves the two cores to the program and the X server
        if sample == 0:
            continue
        latencies.append((taken - sent) * 1000)
        captures += polls
        polling += taken - sent
        print(f"{latencies[-1]:.1f}")
    latencies.sort()
    p90 = latencies[min(len(latencies) - 1, int(0.9 * len(latencies)))]
    print(f"latency over {count} clicks: median {statistics.median(latencies):.1f} ms, "
          f"90th percentile {p90:.1f} ms, min {latencies[0]:.1f} ms, max {latencies[-1]:.1f} ms; "
          f"a capture every {polling / max(captures - count, 1) * 1000:.3f} ms")
elif mode == "pages":
    # A page counts once its picture has stood for 10 ms: a page half typed at once (TEXT_WAIT=0)
    # or just cleared stands for a moment only. A page that the program replaces at once, when it
    # takes two clicks in a row after falling behind, may go unseen: the count on the screen is a
    # lower bound, and with a slower text speed it counts characters instead.
    settled = wait_still(args[4])
    print("ready", flush=True)
    shown = settled
    since = last_change = start = time.monotonic()
    pages = 0
    while True:
        picture, now = capture(), time.monotonic()
        if picture != shown:
            shown, since = picture, now
            last_change = now
        elif shown != settled and now - since >= 0.01:
            pages, settled = pages + 1, shown
        if pages > 0 and now - last_change > 1:
            break
        if pages == 0 and now - start > 30:
            sys.exit("no page turned within 30 s")
        time.sleep(0.002)
    print(pages)
PY
}

# 1. Latency of single clicks.
make_game latency
e2e_launch latency "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${first[@]}"
read -r ox oy <<<"$(client_origin "$wid")"
x11_probe latency $((ox + first[0])) $((oy + first[1])) "${first[2]}" "${first[3]}" \
  $((ox + spot[0])) $((oy + spot[1])) "$samples" "$still_ms" >"$E2E_WORK/latency.txt"
counted=$(end_game "$wid" latency)
e2e_log "latencies (ms): $(head -n -1 "$E2E_WORK/latency.txt" | tr '\n' ' ')"
if [[ -n $counted && $counted != $((samples + 1)) ]]; then
  e2e_fail "the program counted $counted pages for $((samples + 1)) clicks"
fi
tail -n 1 "$E2E_WORK/latency.txt"

# 2. Throughput of clicks 45 ms apart. The pages are counted on the screen as they show, and
# checked against the program's own count where it keeps one.
make_game throughput
e2e_launch throughput "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_drawn "$wid" "${first[@]}"
read -r ox oy <<<"$(client_origin "$wid")"
x11_probe pages $((ox + first[0])) $((oy + first[1])) "${first[2]}" "${first[3]}" "$still_ms" \
  >"$E2E_WORK/pages.txt" &
watcher=$!
until grep -q ready "$E2E_WORK/pages.txt" 2>/dev/null; do
  kill -0 "$watcher" 2>/dev/null || e2e_fail "the page counter stopped before the clicks"
  sleep 0.05
done
start=$(e2e_now_ms)
xdotool mousemove $((ox + spot[0])) $((oy + spot[1])) click --repeat "$clicks" --delay 45 1
elapsed=$(($(e2e_now_ms) - start))
wait "$watcher" || e2e_fail "the page counter failed"
seen=$(tail -n 1 "$E2E_WORK/pages.txt")
counted=$(end_game "$wid" throughput)
# The program's own count where it keeps one, else the pages seen.
pages=${counted:-$seen}
awk -v clicks="$clicks" -v pages="$pages" -v seen="$seen" -v ms="$elapsed" 'BEGIN {
  printf "throughput: %d clicks in %.1f s (one every %.1f ms) turned %d pages (%d seen): %.1f ms a page\n",
    clicks, ms / 1000, ms / clicks, pages, seen, ms / (pages > 0 ? pages : 1) }'
