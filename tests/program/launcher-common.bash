# Shared steps of the whole-program tests: the show is run from the repository root under its own
# Xvfb screen (1920 x 1200, 24 bits), driven with xdotool, looked at with xwininfo and screenshots.
# Sourced by tests/program/*.sh with the build folder as $1.

set -euo pipefail

if [[ -z "${TAVO_UNDER_XVFB:-}" ]]; then
  TAVO_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 ${TAVO_SCREEN:-1920x1200}x24" bash "$0" "$@"
fi
unset SDL_VIDEODRIVER

build=$(cd "$1" && pwd)
program=${TAVO_PROGRAM:-$build/tavoFrameworkTestFinal}
work=$(mktemp -d)
show_pid=
trap 'if [[ -n "$show_pid" ]]; then kill "$show_pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

launcher_title="lumafest 2011 - tirrel 20"

fail() {
  echo "FAIL: $*" >&2
  if [[ -s "$work/stderr" ]]; then
    echo "--- standard error of the show:" >&2
    cat "$work/stderr" >&2
  fi
  exit 1
}

# Starts the show in the background; its standard error goes to $work/stderr.
start_show() {
  "$program" 2>"$work/stderr" &
  show_pid=$!
}

# Prints the id of the first window whose name matches the pattern, waiting up to 20 seconds.
wait_window() {
  local pattern=$1 id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1 || true)
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    kill -0 "$show_pid" 2>/dev/null || fail "the show ended while waiting for a window named '$pattern'"
    sleep 0.1
  done
  fail "no window named '$pattern'"
}

# Prints "x y width height" of a window's client area in screen pixels.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                           /^  Width:/ {w=$2} /^  Height:/ {h=$2} END {print x, y, w, h}'
}

# Prints the X11 class (second string of WM_CLASS) of a window.
window_class() {
  xprop -id "$1" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"/\1/p'
}

# Clicks at client coordinates of a window, then lets the show draw a few frames.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.4
}

# Presses a key in the focused window.
press() {
  xdotool key "$1"
  sleep 0.2
}

# Takes a screenshot of a window's client area ("root" for the whole screen) into a file.
screenshot() {
  import -window "$1" "$2"
}

# Prints "r,g,b" of one pixel of a screenshot.
pixel() {
  convert "$1" -format "%[pixel:p{$2,$3}]" info: | sed 's/^srgb(\(.*\))$/\1/'
}

# Waits up to $1 seconds for the show to end and sets exit_status to its exit status.
wait_exit() {
  local seconds=$1
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$show_pid" 2>/dev/null; then
      exit_status=0
      wait "$show_pid" || exit_status=$?
      show_pid=
      return 0
    fi
    sleep 0.1
  done
  fail "the show did not end within $seconds seconds"
}

# Checks that standard error holds (or, with "not", does not hold) a whole line.
expect_line() {
  if [[ "$1" == not ]]; then
    ! grep -qxF "$2" "$work/stderr" || fail "standard error holds '$2'"
  else
    grep -qxF "$1" "$work/stderr" || fail "standard error lacks '$1'"
  fi
}

# Sends a window the request a window manager's close box sends.
close_box() {
  "$build/tests/close-window" "$1" || fail "could not send the close request"
}
