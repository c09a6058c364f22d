# Sourced by the scripts that run Windows programs: a throwaway 32-bit Wine prefix under a
# Japanese locale, a virtual X display with a window manager, a sound server, and a Wine server
# that is up before the first program starts (started inside ctest, Wine's daemons would hold
# ctest's pipes open). wine_start sets everything up; wine_stop (also run on exit) takes it down
# again. sound_start alone provides the sound server. VELMO_SCREEN=WIDTHxHEIGHT chooses the
# display's size (default 1024x768).

# Uses the sound server the machine has; where there is none, starts a silent one of its own (a
# PulseAudio null sink on a socket of its own), so that Wine has sound devices to play on and
# prints no errors about missing sound cards. Exports VELMO_SOUND=1 when a server is there.
sound_start() {
  VELMO_PULSE_DIR=$(mktemp -d /tmp/velmo-pulse.XXXXXX)
  mkdir -p "$VELMO_PULSE_DIR/home/.config/pulse" "$VELMO_PULSE_DIR/run"
  chmod 700 "$VELMO_PULSE_DIR/run"
  echo 'autospawn = no' >"$VELMO_PULSE_DIR/home/.config/pulse/client.conf"
  # Asking must not start a server as a side effect.
  if PULSE_CLIENTCONFIG=$VELMO_PULSE_DIR/home/.config/pulse/client.conf pactl info >/dev/null 2>&1; then
    export VELMO_SOUND=1
    return 0
  fi
  if ! command -v pulseaudio >/dev/null; then
    echo "wine-env: no sound server and no pulseaudio to start one: Wine has no sound devices" >&2
    return 0
  fi
  HOME=$VELMO_PULSE_DIR/home XDG_RUNTIME_DIR=$VELMO_PULSE_DIR/run PULSE_RUNTIME_PATH=$VELMO_PULSE_DIR/run \
    pulseaudio -n --exit-idle-time=-1 --daemonize=yes --use-pid-file=yes \
    --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$VELMO_PULSE_DIR/run/native" \
    --log-target="file:$VELMO_PULSE_DIR/pulse.log" </dev/null >/dev/null 2>&1 || true
  export PULSE_SERVER=unix:$VELMO_PULSE_DIR/run/native
  export PULSE_CLIENTCONFIG=$VELMO_PULSE_DIR/home/.config/pulse/client.conf
  export PULSE_RUNTIME_PATH=$VELMO_PULSE_DIR/run
  for _ in $(seq 30); do
    if pactl info >/dev/null 2>&1; then
      export VELMO_SOUND=1
      return 0
    fi
    sleep 0.1
  done
  echo "wine-env: the silent sound server did not start: Wine has no sound devices" >&2
}

sound_stop() {
  if [ -n "${VELMO_PULSE_DIR:-}" ] && [ -s "$VELMO_PULSE_DIR/run/pid" ]; then
    kill "$(cat "$VELMO_PULSE_DIR/run/pid")" 2>/dev/null || true
  fi
  [ -n "${VELMO_PULSE_DIR:-}" ] && rm -rf "$VELMO_PULSE_DIR"
  VELMO_PULSE_DIR=
}

wine_start() {
  export WINEARCH=win32 WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
  VELMO_WINE_DIR=$(mktemp -d /tmp/velmo-wine.XXXXXX)
  export WINEPREFIX=$VELMO_WINE_DIR/prefix
  local display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  export DISPLAY=:$display
  Xvfb "$DISPLAY" -screen 0 "${VELMO_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  VELMO_XVFB_PID=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  openbox --sm-disable >/dev/null 2>&1 &
  VELMO_WM_PID=$!
  sound_start
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1
  wineboot -u >/dev/null 2>&1
  trap wine_stop EXIT
}

wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  [ -n "${VELMO_WM_PID:-}" ] && kill "$VELMO_WM_PID" 2>/dev/null || true
  [ -n "${VELMO_XVFB_PID:-}" ] && kill "$VELMO_XVFB_PID" 2>/dev/null || true
  sound_stop
  [ -n "${VELMO_WINE_DIR:-}" ] && rm -rf "$VELMO_WINE_DIR"
  VELMO_WM_PID= VELMO_XVFB_PID= VELMO_WINE_DIR=
}
