#!/usr/bin/env bash
# Full screen on a 1920 x 1200 screen whose only display mode is its own size: "launch" with
# the defaults (1680 x 1050) is refused and gives a borderless window of that size at the
# top-left; "1920x1200 (16:10)" is accepted and covers the screen.
source "$(dirname "$0")/launcher-common.bash"

while read -r entry_y size; do
  start_show
  launcher=$(wait_window "^$launcher_title\$")
  sleep 0.3
  if [[ "$entry_y" != - ]]; then
    click "$launcher" 90 105
    click "$launcher" 60 "$entry_y"
  fi
  click "$launcher" 97 37
  demo=$(wait_window "^oru\$")
  read -r x y width height < <(geometry "$demo")
  [[ "$x,$y $width x $height" == "0,0 $size" ]] || fail "$size: demo window is $width x $height at $x,$y"
  press Escape
  wait_exit 30
  [[ "$exit_status" == 0 ]] || fail "$size: exit status $exit_status"
done <<'CASES'
- 1680 x 1050
189 1920 x 1200
CASES
echo "PASS"
