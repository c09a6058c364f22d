#!/usr/bin/env bash
# Installs every Debian package that building and testing velmo needs, on Debian 12 as root.
# Idempotent: when everything is already there it installs nothing and prints nothing.
set -euo pipefail

packages=(
  # host build, unit tests, benchmarks
  cmake ninja-build make g++ git googletest libgtest-dev libgmock-dev libbenchmark-dev
  # formatting and fuzzing
  clang-format clang libclang-rt-14-dev
  # 32-bit Windows build
  g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  # stb_image, which the picture loader plug-in is built on (headers for every build)
  libstb-dev
  # running Windows programs and their tests
  wine wine32:i386 xvfb xauth xdotool x11-utils imagemagick openbox
  locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
  pulseaudio libpulse0:i386
  # test media for the sound and movie tests under Wine (MS Video 1 movies, tones)
  ffmpeg
  # velmo-run prints UTF-8 through iconv (glibc), texts converted in tests
  libc-bin
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine's "A" functions use code page 932 only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
