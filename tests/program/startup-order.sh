#!/usr/bin/env bash
# Start-up and shut-down in order, with every data file missing: the show is started from a
# folder whose resources/ is empty, so there is no music, no sync file and no picture. It still
# registers, loads and runs its four layers (silent, controllers without keys), and Escape ends it
# with status 0 after the layers are released and the trace is stopped.
source "$(dirname "$0")/launcher-common.bash"

mkdir -p "$work/show/resources"
cd "$work/show"
start_show
launcher=$(wait_window "^$launcher_title\$")
sleep 0.3
click "$launcher" 20 160   # the "fullscreen" box
click "$launcher" 97 37    # "launch", at the preselected resolution
wait_window "^oru\$" >/dev/null
for _ in $(seq 100); do
  grep -qx "after gclrt start: 4" "$work/stderr" && break
  kill -0 "$show_pid" 2>/dev/null || fail "the show ended before its main loop started"
  sleep 0.1
done
sleep 1
kill -0 "$show_pid" 2>/dev/null || fail "the show ended by itself"
press Escape
wait_exit 30
[[ "$exit_status" == 0 ]] || fail "exit status $exit_status"

# The runtime's lines, in this order, among the others (the layers' warnings about their files).
expected='INFO (trace): Trace started
INFO (trace): Enabled quit on trace level: 1
pushing postprocessor
1
pushing stagelight
2
pushing promptalong
3
pushing depthPass
4
at load time: 4
after gclrt start: 4
4
4
4
4
INFO (trace): Trace stopped.'
awk -v expected="$expected" '
  BEGIN { count = split(expected, lines, "\n"); next_line = 1 }
  next_line <= count && $0 == lines[next_line] { next_line++ }
  END { if (next_line <= count) { print "missing or out of order: " lines[next_line]; exit 1 } }
' "$work/stderr" || fail "the start-up and shut-down lines are not in order"
grep -q "^WARNING (sound): .*Veltrin - Say My Tirrel.mp3" "$work/stderr" || fail "no warning about the missing music"
! grep -qE "^(ERROR|CRITICAL) " "$work/stderr" || fail "an error was traced"
echo "PASS"
