#!/bin/sh
# qly beside Timewarrior, whole processes on the same data: ten busy years
# (1,000,000 time frames over 1,000 projects) written once as a Quillory data
# set and as a Timewarrior database (bench/comparedata). Each row is the
# median of RUNS runs of CPU time (user + system) in ms, and the largest peak
# resident memory in MiB; start + stop rows add up both commands of a run.
# With a second build folder, its qly is measured too, in the same run on a
# copy of the same data: the figures before and after a change.
#
#   bench/compare-timew.sh [BUILD [BEFORE_BUILD]] [RUNS]
#
# BUILD defaults to ./build; it needs the targets qly, comparedata and
# proctime. Timewarrior comes with scripts/install-deps.sh.
set -eu

build=${1:-build}
before=""
runs=9
if [ $# -ge 2 ]; then
    case $2 in
    *[!0-9]*) before=$2 ;;
    *) runs=$2 ;;
    esac
fi
if [ $# -ge 3 ]; then
    runs=$3
fi
qly=$(realpath "$build/src/cli/qly")
proctime=$(realpath "$build/bench/proctime")
command -v timew >/dev/null || { echo "compare-timew.sh: timew is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
"$build/bench/comparedata" "$work/after" >/dev/null
if [ -n "$before" ]; then
    cp -r "$work/after" "$work/before"
fi
export TIMEWARRIORDB="$work/after/timewarrior"
data="$work/after/Bench.qly"

today=$(date +%F)
lastweek=$(date -d '7 days ago' +%F)
yearago=$(date -d '1 year ago' +%F)
# Frames added by the runs fall in the last hours, after every generated one
# (they end a day before now) and never in the future.
trackday=$(date -d '3 hours ago' +%F)
trackhour=$(date -d '3 hours ago' +%H)
startat=$(date -d '2 hours ago' +%FT%H)

# The median CPU time and the peak memory of one line of commands.
measure() {
    "$proctime" "$runs" "$@" | awk '{ printf "%9.2f %7.1f", $1, $3 / 1024 }'
}

# The qly commands of each row, given the program and the data set.
q_version() { measure "$1" --version; }
q_add() { measure "$1" add "$2" 1 "$trackday" "$trackhour:%2i" 0:01; }
q_inout() { measure "$1" in "$2" 1 --- "$1" out "$2" 1; }
q_week() { measure "$1" week "$2" --date "$lastweek"; }
q_totals() { measure "$1" totals "$2"; }
q_export() { measure "$1" export "$2"; }
q_log() { measure "$1" log "$2" --from "$yearago" --to "$today"; }

# One row: what is measured, the Timewarrior command line (words without
# blanks; "-" for none) and the qly function.
row() {
    if [ "$2" = "-" ]; then
        t="        -       -"
    else
        # shellcheck disable=SC2086 # the line is words on purpose
        t=$(measure $2)
    fi
    b="        -       -"
    if [ -n "$before" ]; then
        b=$("$3" "$(realpath "$before/src/cli/qly")" "$work/before/Bench.qly")
    fi
    a=$("$3" "$qly" "$data")
    printf '%-36s %s   %s   %s\n' "$1" "$t" "$b" "$a"
}

echo "1,000,000 time frames; median of $runs runs; CPU ms and peak MiB"
printf '%-36s %17s   %17s   %17s\n' "" "timew" "qly before" "qly"
row "start-up (--version)" "timew --version" q_version
row "add a frame (timew track)" \
    "timew track ${trackday}T${trackhour}:%2i:00 - ${trackday}T${trackhour}:%2i:30 Project_1 :quiet" q_add
row "in + out (timew start + stop)" \
    "timew start ${startat}:%2i:00 Project_1 :quiet --- timew stop ${startat}:%2i:30 :quiet" q_inout
row "week of last week (timew summary)" "timew summary :lastweek" q_week
row "this year's totals (timew summary)" "timew summary :year" q_totals
row "export of everything (timew export)" "timew export" q_export
row "log of the last year" "-" q_log
