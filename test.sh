#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   ./test.sh             the normal build, in build/
#   ./test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/
#   ./test.sh --fuzz      everything, then each fuzz target for longer (QUILLORY_FUZZ_SECONDS, 120 each)
# The fuzz targets build and run whenever clang is there; --fuzz installs it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh "${1:-}"

dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  options+=(-DQUILLORY_SANITIZE=ON -DQUILLORY_BUILD_BENCHMARKS=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
# A clang installed since the last configure is found only by configuring again.
if [ ! -f "$dir/build.ninja" ] || [ "${1:-}" = "--fuzz" ]; then
  cmake -S . -B "$dir" -G Ninja "${options[@]}"
fi
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"

if [ "${1:-}" = "--fuzz" ]; then
  seconds=${QUILLORY_FUZZ_SECONDS:-120}
  root=$PWD
  for target in record_readers project_tree roundtrip running_timers; do
    echo "== fuzzing $target for $seconds seconds"
    status=0
    (cd "$dir/fuzz" && "$root/fuzz/run.sh" "./${target}_fuzzer" "seeds/$target" -max_total_time="$seconds" \
      -max_len=8192) || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 77 ] || exit "$status"
  done
fi
