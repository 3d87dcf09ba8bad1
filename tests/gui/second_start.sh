#!/usr/bin/env bash
# A second start of the program on the data set a window has open, on a real
# X display with a window manager: the window that has it comes to the front
# (out of its minimised state, over another Quillory window that had the
# focus), no second window opens, and the second start exits with status 0.
# A start on another data set opens a window of its own, as always.
#   second_start.sh PATH-TO-QUILLORY PATH-TO-QLY
set -euo pipefail
program=$(readlink -f "$1")
qly=$(readlink -f "$2")

for tool in xvfb-run openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$work/data"
mkdir -m 700 "$work/runtime"
"$qly" new "$work/data/Plans.qly" >/dev/null
"$qly" new "$work/data/Other.qly" >/dev/null

cat >"$work/run.sh" <<EOF
#!/usr/bin/env bash
set -uo pipefail
fail() { echo "FAIL: \$*" >&2; exit 1; }
# The windows whose title is exactly this.
windows() { xdotool search --name "^\$(printf '%s' "\$1" | sed 's/[.]/[.]/g')\\\$" 2>/dev/null; }
await() {
  for _ in \$(seq 200); do
    [ -n "\$(windows "\$1")" ] && { sleep 0.3; return 0; }
    sleep 0.05
  done
  fail "no window '\$1'"
}
start() {
  env -u QT_QPA_PLATFORM HOME='$work/home' XDG_CONFIG_HOME='$work/config' XDG_RUNTIME_DIR='$work/runtime' \\
    '$program' "\$@"
}

openbox >/dev/null 2>&1 &
wm=\$!
first=
other=
trap 'kill \$first \$other \$wm 2>/dev/null' EXIT
sleep 1
cd '$work/data'
plans='$work/data/Plans.qly - Quillory'
start Plans.qly >'$work/first.log' 2>&1 &
first=\$!
await "\$plans"
id=\$(windows "\$plans")
start Other.qly >'$work/other.log' 2>&1 &
other=\$!
await '$work/data/Other.qly - Quillory'
xdotool windowminimize "\$id"
sleep 0.5
[ "\$(xdotool getactivewindow)" != "\$id" ] || fail "the first window still has the focus"

began=\$(date +%s%N)
status=0
timeout 20 bash -c "\$(declare -f start); start Plans.qly" >'$work/second.log' 2>&1 || status=\$?
took=\$(( (\$(date +%s%N) - began) / 1000000 ))
[ "\$status" -eq 0 ] || fail "the second start ended with status \$status: \$(cat '$work/second.log')"
[ "\$took" -lt 5000 ] || fail "the second start took \$took ms"
for _ in \$(seq 100); do
  [ "\$(xdotool getactivewindow 2>/dev/null)" = "\$id" ] && break
  sleep 0.05
done
[ "\$(windows "\$plans" | wc -l)" -eq 1 ] || fail "a second window on the data set"
[ "\$(xdotool getactivewindow)" = "\$id" ] || fail "the first window was not brought to the front"
xprop -id "\$id" _NET_WM_STATE | grep -q HIDDEN && fail "the first window is still minimised"
kill -0 \$first 2>/dev/null || fail "the first window is gone"
echo "second start: the window was brought to the front in \$took ms"
exit 0
EOF
chmod +x "$work/run.sh"

status=0
xvfb-run -a -s "-screen 0 1280x900x24" "$work/run.sh" || status=$?
if [ "$status" -ne 0 ]; then
  for log in first other second; do
    echo "--- $log" >&2
    cat "$work/$log.log" >&2 || true
  done
fi
exit "$status"
