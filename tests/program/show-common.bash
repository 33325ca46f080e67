# Shared steps of the show's whole-program tests (tests/program/show-*.sh), on top of the
# launcher tests' steps: launching a 640 x 480 window, waiting for trace lines, and reading the
# colours of the picture from screenshots.
source "$(dirname "$0")/launcher-common.bash"

# A show still running when the test ends has failed; it may sit where it takes no messages (the
# start gate), so it is killed outright.
trap 'if [[ -n "$show_pid" ]]; then kill -KILL "$show_pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

# Unticks "fullscreen", picks "640x480 (4:3)", presses "launch"; sets demo to the demo window's id.
launch_windowed() {
  local launcher
  launcher=$(wait_window "^$launcher_title\$")
  sleep 0.3
  click "$launcher" 20 160   # the "fullscreen" box
  click "$launcher" 90 105   # opens the list; the first entry lies at y 69
  click "$launcher" 60 69    # "640x480 (4:3)"
  click "$launcher" 97 37    # "launch"
  demo=$(wait_window "^oru\$")
}

# Waits up to $2 seconds until standard error holds a line matching the extended pattern $1.
wait_line() {
  local pattern=$1 seconds=$2
  for _ in $(seq $((seconds * 10))); do
    grep -qE "$pattern" "$work/stderr" && return 0
    kill -0 "$show_pid" 2>/dev/null || fail "the show ended while waiting for '$pattern'"
    sleep 0.1
  done
  fail "standard error holds no line matching '$pattern' after $seconds seconds"
}

# Prints "minR minG minB maxR maxG maxB" (0 to 255) of a rectangle of a screenshot of the demo
# window: $1 screenshot, $2 $3 the rectangle's position, $4 $5 its size.
client_colours() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -format \
    "%[fx:round(255*minima.r)] %[fx:round(255*minima.g)] %[fx:round(255*minima.b)] %[fx:round(255*maxima.r)] %[fx:round(255*maxima.g)] %[fx:round(255*maxima.b)]\n" info:
}

# Fails unless every pixel of the picture's middle (the letterboxed 640 x 361 viewport keeps rows
# 60 to 419) lies within 3 of the colour "$2 $3 $4" in screenshot $1; $5 names the case.
expect_picture() {
  local shot=$1 name=$5 expected=("$2" "$3" "$4") found
  read -r -a found < <(client_colours "$shot" 40 100 560 280)
  for i in 0 1 2 3 4 5; do
    local want=${expected[i % 3]} got=${found[i]}
    (( got - want <= 3 && want - got <= 3 )) ||
      fail "$name: the picture spans ${found[*]:0:3} to ${found[*]:3:3}, not ${expected[*]}"
  done
}

# Fails unless the main loop is drawing frames: holding F10 counts them into the title "FPS:  n".
expect_frames_drawn() {
  local title
  xdotool keydown F10
  sleep 1.5
  xdotool keyup F10
  sleep 0.2
  title=$(xdotool getwindowname "$demo")
  [[ "$title" =~ ^FPS:\ \ ([0-9]+)$ ]] || fail "after holding F10 the title is '$title'"
  (( BASH_REMATCH[1] > 0 )) || fail "no frames drawn: '$title'"
}

# Prints how many pixels differ between two screenshots of the same size.
picture_difference() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

# Ends the show with Escape and checks the exit status and the trace's start and stop lines.
escape_ends_show() {
  press Escape
  wait_exit 30
  [[ "$exit_status" == 0 ]] || fail "exit status $exit_status"
  expect_line "INFO (trace): Trace started"
  expect_line "INFO (trace): Enabled quit on trace level: 1"
  expect_line "INFO (trace): Trace stopped."
}
