#!/usr/bin/env bash
# Unticking "fullscreen", picking "640x480 (4:3)" and pressing "launch" opens the demo window
# "oru" (class "vesk") with a 640 x 480 client area centred on the screen; Escape ends the show
# with status 0 and "Trace stopped.".
source "$(dirname "$0")/launcher-common.bash"

start_show
launcher=$(wait_window "^$launcher_title\$")
sleep 0.3
click "$launcher" 20 160   # the "fullscreen" box
click "$launcher" 90 105   # opens the list; it opens over the controls, the first entry at y 69
click "$launcher" 60 69    # "640x480 (4:3)"
click "$launcher" 97 37    # "launch"

demo=$(wait_window "^oru\$")
[[ "$(window_class "$demo")" == vesk ]] || fail "demo window class is '$(window_class "$demo")'"
read -r x y width height < <(geometry "$demo")
[[ "$width x $height" == "640 x 480" ]] || fail "demo client area is $width x $height"
[[ "$x,$y" == "640,360" ]] || fail "demo window at $x,$y, not centred"
[[ -z "$(xdotool search --onlyvisible --name "^$launcher_title\$" 2>/dev/null || true)" ]] ||
  fail "the launcher is still shown"

press Escape
wait_exit 30
[[ "$exit_status" == 0 ]] || fail "exit status $exit_status"
expect_line "INFO (trace): Trace stopped."
echo "PASS"
