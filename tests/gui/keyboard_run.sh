#!/usr/bin/env bash
# A first use of the program from the keyboard alone, on a real X display
# with a window manager: no mouse event is sent at all. It creates a data
# set, a customer and two projects, checks in and out twice, corrects a time
# frame in the history, deletes a bar from the week chart, writes an
# invoice, and exits with a project running through "Check Out and Exit".
# The time-frames file must then hold exactly the frames of
# keyboard_run.frames.
#   keyboard_run.sh PATH-TO-QUILLORY
# The clock stands still (faketime) at 2026-08-12 10:00 UTC, so every
# check-in and check-out happens at that second.
set -euo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run openbox xdotool faketime; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done
faketime_lib=$(find /usr/lib -name 'libfaketime.so.1' -path '*faketime*' 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || { echo "FAIL: libfaketime not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$work/data"

cat >"$work/run.sh" <<EOF
#!/usr/bin/env bash
set -uo pipefail
work='$work'
fail() { echo "FAIL: \$*" >&2; xdotool getactivewindow getwindowname >&2 2>/dev/null; exit 1; }
# Waits until the window with the keys has this title.
await() {
  for _ in \$(seq 200); do
    [ "\$(xdotool getactivewindow getwindowname 2>/dev/null)" = "\$1" ] && { sleep 0.2; return 0; }
    sleep 0.05
  done
  fail "no window '\$1'"
}
key() { xdotool key --delay 60 "\$@"; }
typed() { xdotool type --delay 40 "\$1"; }

openbox >/dev/null 2>&1 &
wm=\$!
pid=
# Nothing is left behind on the display, whatever happens.
trap 'kill \$pid \$wm 2>/dev/null' EXIT
sleep 1
cd "\$work/data"
env -u QT_QPA_PLATFORM HOME="\$work/home" XDG_CONFIG_HOME="\$work/config" TZ=UTC LC_ALL=C.UTF-8 \\
  FAKETIME='2026-08-12 10:00:00' FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD='$faketime_lib' \\
  '$program' >"\$work/program.log" 2>&1 &
pid=\$!
main=" - Quillory"
await "\$main"

# A data set, named in the save dialog.
key ctrl+n; await "Save As"
typed Run; key Return
main="\$work/data/Run.qly - Quillory"
await "\$main"

# A customer: Insert in the list, the name over "New Customer".
key ctrl+u; await "Customers"
key Insert; await "Customer info"
typed "Acme GmbH"; key Return; await "Customers"
key Escape; await "\$main"

# Two projects: Backend for Acme GmbH at 85.00, and Design.
key ctrl+j; await "Quillory's Projects"
key Insert; await "Project information"
typed Backend; key Tab Down Tab; typed 85; key Return; await "Quillory's Projects"
key Insert; await "Project information"
typed Design; key Return; await "Quillory's Projects"
key alt+o; await "\$main"

# Design in and out, then Backend (one up from Design) in and out.
key ctrl+e; await "Quillory's Projects"
key Return; await "\$main"
key ctrl+t; sleep 0.3
key ctrl+e; await "Quillory's Projects"
key Up Return; await "\$main"
key ctrl+t; sleep 0.3

# The history: Enter corrects Backend's frame (the first row) to 09:00, 2:30.
key ctrl+h; await "History of charges"
key Return; await "Time frame"
key Tab; typed 09:00; key Tab; typed 2:30; key Return; await "History of charges"
key Escape; await "\$main"

# The chart: Backend's bar, then Design's (at 10:00), deleted after the question.
key Right Right Delete; await "Confirmation"
key alt+y; await "\$main"

# An invoice to a text file: backwards from the customer, past Cancel and
# Print, to To File...
key ctrl+i; await "New invoice"
key shift+Tab shift+Tab shift+Tab space; await "Save As"
typed Invoice; key Return; await "\$main"

# Design runs again; File, Exit; Check Out and Exit.
key ctrl+e; await "Quillory's Projects"
key Return; await "\$main"
key alt+f x; await "Confirmation"
key alt+o
for _ in \$(seq 100); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
kill -0 \$pid 2>/dev/null && fail "the program did not exit"
wait \$pid || fail "the program ended with status \$?"
pid=
exit 0
EOF
chmod +x "$work/run.sh"

status=0
xvfb-run -a -s "-screen 0 1280x900x24" "$work/run.sh" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/program.log" >&2 || true
  exit "$status"
fi

# The frames as the fixture describes them, little-endian, byte for byte.
le32() {
  local v=$(( $1 & 0xffffffff ))
  printf "\\\\x%02x\\\\x%02x\\\\x%02x\\\\x%02x" $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
}
expected=""
while read -r id start end; do
  [ -z "$id" ] || [ "${id#\#}" != "$id" ] && continue
  expected+=$(le32 "$id")$(le32 "$(date -u -d "$start" +%s)")$(le32 "$(date -u -d "$end" +%s)")
done <"$here/keyboard_run.frames"
printf "$expected" >"$work/expected.tfr"
cmp "$work/expected.tfr" "$work/data/Run.tfr" || {
  echo "FAIL: the time frames differ from keyboard_run.frames" >&2
  od -A d -t d4 "$work/data/Run.tfr" >&2
  exit 1
}
[ ! -e "$work/data/Run.running" ] || { echo "FAIL: projects still running" >&2; exit 1; }
grep -qF $'Backend\t08/12/2026\t09:00\t02:30\t$85.00\t$212.50' "$work/data/Invoice.txt" || {
  echo "FAIL: the invoice" >&2
  cat "$work/data/Invoice.txt" >&2
  exit 1
}
echo "keyboard run: the data set holds exactly the expected frames"
