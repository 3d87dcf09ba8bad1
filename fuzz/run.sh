#!/usr/bin/env bash
# Runs one fuzz target from its seeds: run.sh <target binary> <seeds folder> <libFuzzer options...>
# New inputs it finds go to a scratch corpus that is removed afterwards; a
# crash leaves its input in the current folder and fails the run.
set -euo pipefail
target=$1 seeds=$2
shift 2
[ -x "$target" ] || { echo "no fuzz target $target (clang missing?)"; exit 77; }
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$target" "$@" -print_final_stats=1 "$corpus" "$seeds"
