#!/usr/bin/env bash
# Installs what is missing, builds Quillory and starts it:
#   ./run.sh [data-set.qly]
set -euo pipefail
# A data set named relative to where you are stays yours after the cd below.
args=()
for a in "$@"; do
  case "$a" in
    -*) args+=("$a") ;;
    *) args+=("$(realpath -m -- "$a")") ;;
  esac
done
cd "$(dirname "$0")"
./scripts/install-deps.sh
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target quillory
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start Quillory from a desktop session (or under xvfb-run)." >&2
  exit 1
fi
exec ./build/src/quillory "${args[@]+"${args[@]}"}"
