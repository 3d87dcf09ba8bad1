#!/usr/bin/env bash
# Installs what building, running and testing Quillory needs on Debian 12,
# and nothing when it is all there already. With --fuzz, also clang and its
# fuzzing runtime.
set -euo pipefail

packages=(
  g++ cmake ninja-build                 # compilers and build
  libgtest-dev libbenchmark-dev         # tests and benchmarks
  qt6-base-dev qt6-svg-dev libgl-dev    # Qt Widgets, print support, D-Bus and SVG icons
  libxss-dev                            # idle time from the X server's screen-saver extension
  fonts-liberation                      # metric-compatible "Arial" for drawing and printing
  xvfb xauth poppler-utils              # headless runs, screenshots and PDF checks
  openbox xdotool faketime dbus-daemon  # a keyboard-only run under a window manager, a private session bus
  x11-utils                             # a window's state under the window manager (xprop)
  desktop-file-utils appstream dpkg-dev # checks of the installed tree and the Debian package
  tzdata                                # the time zones the calendar tests run in
  libical-dev nlohmann-json3-dev        # reading iCalendar and JSON for imports, writing iCalendar
  libicu-dev                            # sorting names and naming days in the user's language
  timewarrior                           # a real tracker's exports for the import tests
)

# ./test.sh --fuzz builds the fuzz targets with clang and its libFuzzer.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "Please install as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
