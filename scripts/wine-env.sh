# Sourced by the scripts that run Windows programs: a throwaway 32-bit Wine prefix under a
# Japanese locale, a virtual X display with a window manager, and a Wine server that is up before
# the first program starts (started inside ctest, Wine's daemons would hold ctest's pipes open).
# wine_start sets everything up; wine_stop (also run on exit) takes it down again. The screen is
# 1024 x 768 unless VELMO_SCREEN names another size (as Xvfb takes it: 1280x960x24).

wine_start() {
  export WINEARCH=win32 WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
  VELMO_WINE_DIR=$(mktemp -d /tmp/velmo-wine.XXXXXX)
  export WINEPREFIX=$VELMO_WINE_DIR/prefix
  local display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  export DISPLAY=:$display
  Xvfb "$DISPLAY" -screen 0 "${VELMO_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  VELMO_XVFB_PID=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  openbox --sm-disable >/dev/null 2>&1 &
  VELMO_WM_PID=$!
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1
  wineboot -u >/dev/null 2>&1
  trap wine_stop EXIT
}

wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  [ -n "${VELMO_WM_PID:-}" ] && kill "$VELMO_WM_PID" 2>/dev/null || true
  [ -n "${VELMO_XVFB_PID:-}" ] && kill "$VELMO_XVFB_PID" 2>/dev/null || true
  [ -n "${VELMO_WINE_DIR:-}" ] && rm -rf "$VELMO_WINE_DIR"
  VELMO_WM_PID= VELMO_XVFB_PID= VELMO_WINE_DIR=
}
